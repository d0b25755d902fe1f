// varn bars [--date-layout N|auto] [--time-layout N|auto] [--period P]
//           [--delimiter space|comma] INPUT OUTPUT
//
// Builds open-high-low-close bars. With "auto" (the default) the layouts are
// detected from the first 100 lines, which needs a file of more than 100
// lines; a layout given by number stays fixed while the other is detected.
#include <memory>
#include <string>

#include "bars/build_bars.h"
#include "bars/detect.h"
#include "cli/command.h"
#include "cli/layout_options.h"

namespace varn::cli {

void AddBarsCommand(CLI::App& app, CommandRun& run) {
    struct Args {
        std::string date_layout = "auto";
        std::string time_layout = "auto";
        std::string period = "month";
        std::string delimiter = "space";
        std::string input;
        std::string output;
    };
    auto args = std::make_shared<Args>();
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
    cmd->callback([args, &run] {
        run = [args](Streams& s) {
            BarChoices choices;
            choices.date_layout = ParseDateLayoutOption(args->date_layout);
            choices.time_layout = ParseTimeLayoutOption(args->time_layout);
            choices.period = *ParsePeriodOption(args->period);
            choices.delimiter = args->delimiter == "comma" ? Delimiter::Comma : Delimiter::Space;
            choices.names = RegionalNamesFromLocale();
            const JobReport report = RunBars(LineSource::FromArgument(args->input),
                                             Destination::FromArgument(args->output), choices);
            if (!report.ok() && report.status.error.category() ==
                                    DetectionError(Detection::Outcome::NoFit).category()) {
                // Detection failed: say why and how near it came, and what to give.
                if (report.layouts) {
                    Fail(DetectionFailureText(report, args->input), s);
                } else {
                    Finish(report.status, s);
                }
                s.err << "varn: give --date-layout and --time-layout\n";
                return ExitFailure;
            }
            if (!report.layouts) return Finish(report.status, s);
            const std::string unread_as = "as a bar under " + LayoutsText(*report.layouts);
            return FinishJob(report, args->input, "bars", unread_as, s);
        };
    });
}

}  // namespace varn::cli
