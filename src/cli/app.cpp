#include "cli/app.h"

#include <algorithm>

#include "cli/command.h"

#ifndef VARN_VERSION
#define VARN_VERSION "0"
#endif

namespace varn::cli {

int Finish(const JobStatus& status, Streams& streams) {
    if (status.ok()) return ExitOk;
    // The reader of standard output went away (varn ... - | head): not an error.
    if (status.error == std::errc::broken_pipe) return ExitOk;
    streams.err << "varn: " << status.Message() << '\n';
    return ExitFailure;
}

int Fail(const std::string& message, Streams& streams) {
    streams.err << "varn: " << message << '\n';
    return ExitFailure;
}

int RunVarn(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CLI::App app{"varn: converts price files, builds open-high-low-close bars, keeps last lines",
                 "varn"};
    app.set_version_flag("--version", std::string("varn ") + VARN_VERSION);
    app.require_subcommand(1);
    // The options of the whole program may also follow the subcommand.
    app.fallthrough();
    bool quiet = false;
    bool verbose = false;
    app.add_flag("-q,--quiet", quiet, "say nothing on success, not even about skipped lines");
    app.add_flag("-v,--verbose", verbose,
                 "after each job, a summary of the lines read, used, skipped and written");

    CommandRun run;
    AddConvertCommand(app, run);
    AddTruncateCommand(app, run);
    AddCountCommand(app, run);
    AddBarsCommand(app, run);
    AddDetectCommand(app, run);
    AddLayoutsCommand(app, run);

    Streams streams{out, err, Verbosity::Normal};
    try {
        // CLI11 takes the arguments last first.
        std::vector<std::string> reversed(args.rbegin(), args.rend());
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return ExitOk;
    } catch (const CLI::CallForAllHelp&) {
        out << app.help("", CLI::AppFormatMode::All);
        return ExitOk;
    } catch (const CLI::CallForVersion&) {
        out << "varn " << VARN_VERSION << '\n';
        return ExitOk;
    } catch (const CLI::ParseError& e) {
        err << "varn: " << e.what() << '\n' << "Run 'varn --help' for usage.\n";
        return ExitUsage;
    }
    if (quiet && verbose) {
        err << "varn: --quiet and --verbose exclude each other\nRun 'varn --help' for usage.\n";
        return ExitUsage;
    }
    streams.verbosity = quiet ? Verbosity::Quiet : verbose ? Verbosity::Verbose : Verbosity::Normal;
    if (!run) {
        err << "varn: no command given\nRun 'varn --help' for usage.\n";
        return ExitUsage;
    }
    return run(streams);
}

}  // namespace varn::cli
