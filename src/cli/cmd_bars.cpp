// varn bars [--date-layout N|auto] [--time-layout N|auto] [--period P]
//           [--delimiter space|comma] INPUT OUTPUT
//
// Builds open-high-low-close bars. With "auto" (the default) the layouts are
// detected from the first 100 lines, which needs a file of more than 100
// lines; a layout given by number stays fixed while the other is detected.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bars/build_bars.h"
#include "calendar/date_layouts.h"
#include "cli/command.h"
#include "cli/layout_options.h"

namespace varn::cli {
namespace {

struct BarsArgs {
    std::string date_layout = "auto";
    std::string time_layout = "auto";
    std::string period = "month";
    std::string delimiter = "space";
    std::string input;
    std::string output;
};

int RunBars(const BarsArgs& args, Streams& streams) {
    const std::optional<int> date = ParseLayoutOption(args.date_layout);
    const std::optional<int> time = ParseLayoutOption(args.time_layout);
    BarSettings settings;
    settings.period = *ParsePeriodOption(args.period);
    settings.delimiter = std::string(DelimiterText(args.delimiter == "comma" ? 1 : 0));

    LineReader reader;
    if (args.input == "-") {
        reader.OpenStandardInput(LineRules::List);
    } else if (JobStatus status = reader.Open(args.input, LineRules::List); !status) {
        return Finish(status, streams);
    }
    const DateNames names(RegionalNamesFromLocale());
    std::vector<std::string> first;
    ReadFirstLines(reader, DetectLineCount + 1, first);
    if (!reader.status().ok()) return Finish(reader.status(), streams);
    if (date && time) {
        settings.date_layout = *date;
        settings.time_layout = *time;
    } else {
        const std::optional<LayoutPair> pair = DetectFirstLines(first, names, date, time);
        if (!pair) {
            return Fail(args.input + ": cannot detect the date and time layouts; give " +
                            "--date-layout and --time-layout",
                        streams);
        }
        settings.date_layout = pair->date_layout;
        settings.time_layout = pair->time_layout;
    }

    AtomicFile writer;
    if (args.output == "-") {
        writer.OpenStandardOutput();
    } else if (JobStatus status = writer.Open(args.output); !status) {
        return Finish(status, streams);
    }
    if (JobStatus status = BuildBarsStream(first, reader, writer, settings, names); !status) {
        return Finish(status, streams);
    }
    return Finish(writer.Commit(), streams);
}

}  // namespace

void AddBarsCommand(CLI::App& app, CommandRun& run) {
    auto args = std::make_shared<BarsArgs>();
    CLI::App* cmd = app.add_subcommand("bars", "Build open-high-low-close bars from price lines");
    cmd->add_option("-d,--date-layout", args->date_layout,
                    "date layout 0-21 or auto (see varn layouts)")
        ->check(LayoutValidator(DateLayoutCount));
    cmd->add_option("-t,--time-layout", args->time_layout, "time layout 0-7 or auto")
        ->check(LayoutValidator(TimeLayoutCount));
    cmd->add_option("-p,--period", args->period,
                    "0-7 or 5min, 15min, hour, day, week, month, quarter, year (default month)")
        ->check(PeriodValidator());
    cmd->add_option("--delimiter", args->delimiter, "space (default) or comma")
        ->check(CLI::IsMember({"space", "comma"}));
    cmd->add_option("INPUT", args->input, "input file, - for standard input")->required();
    cmd->add_option("OUTPUT", args->output, "output file, - for standard output")->required();
    cmd->callback([args, &run] { run = [args](Streams& s) { return RunBars(*args, s); }; });
}

}  // namespace varn::cli
