#include "cli/app.h"

#include <algorithm>
#include <new>
#include <string_view>

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
    // A file name in the message may hold a line break: the line stays one.
    streams.err << "varn: " << EscapeControls(message) << '\n';
    return ExitFailure;
}

namespace {

// Whether args ask for help before a "--" that ends the options.
bool AsksForHelp(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg == "--") return false;
        if (arg == "-h" || arg == "--help") return true;
    }
    return false;
}

// The subcommand named in args, or nullptr.
const CLI::App* NamedSubcommand(const CLI::App& app, const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg == "--") break;
        for (const CLI::App* sub : app.get_subcommands({})) {
            if (sub->get_name() == arg) return sub;
        }
    }
    return nullptr;
}

// What the chosen subcommand reads, for an error that has no file of its own.
std::string InputOf(const CLI::App& app) {
    for (const CLI::App* sub : app.get_subcommands()) {
        const CLI::Option* input = sub->get_option_no_throw("INPUT");
        if (input != nullptr && input->count() > 0) return input->results().front();
    }
    return {};
}

// The first argument that is not an option: the command. The options of the
// whole program before it take no value.
const std::string* CommandWord(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg == "--") return nullptr;
        if (arg.empty() || arg[0] != '-') return &arg;
    }
    return nullptr;
}

}  // namespace

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
    // "varn help [COMMAND]" is "varn [COMMAND] --help"; a word that names no
    // command is said to be one.
    if (const std::string* word = CommandWord(args)) {
        if (*word == "help") {
            std::vector<std::string> rest(std::find(args.begin(), args.end(), *word) + 1,
                                          args.end());
            const CLI::App* sub = NamedSubcommand(app, rest);
            out << (sub != nullptr ? sub->help("varn") : app.help());
            return ExitOk;
        }
        if (NamedSubcommand(app, {*word}) == nullptr) {
            err << "varn: unknown command '" << EscapeControls(*word) << "'\n"
                << "Run 'varn --help' for usage.\n";
            return ExitUsage;
        }
    }
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
        // Help asked for on the same line wins over a value it could not take.
        if (AsksForHelp(args)) {
            const CLI::App* sub = NamedSubcommand(app, args);
            out << (sub != nullptr ? sub->help("varn") : app.help());
            return ExitOk;
        }
        err << "varn: " << EscapeControls(e.what()) << '\n' << "Run 'varn --help' for usage.\n";
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
    try {
        return run(streams);
    } catch (const std::bad_alloc&) {
        // A line or a list too large for the memory left: the writers' temporary
        // files went with the unwinding, and the input is named.
        const std::string input = InputOf(app);
        const JobStatus status = JobStatus::Failure(
            input, std::make_error_code(std::errc::not_enough_memory), "cannot read");
        if (input.empty()) return Fail(status.error.message(), streams);
        return Finish(status, streams);
    }
}

}  // namespace varn::cli
