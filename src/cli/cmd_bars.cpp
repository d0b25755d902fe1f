// varn bars [--date-layout N|auto] [--time-layout N|auto] [--period P]
//           [--delimiter space|comma] [--volume] [--open-interest]
//           [--prices auto|ohlc|single] [--session-start [-]HH:MM]
//           [--stamp classic|iso] [--header] [--threads N] INPUT OUTPUT
//
// Builds open-high-low-close bars. With "auto" (the default) the layouts are
// detected from the first 100 lines, which needs a file of more than 100
// lines; a layout given by number stays fixed while the other is detected.
// Detection also decides whether lines hold four prices or one, unless
// --prices says. P is 0-7, a period name, Nmin or Nh ("20min", "4h").
#include <memory>
#include <string>

#include "bars/build_bars.h"
#include "bars/detect.h"
#include "cli/command.h"
#include "cli/layout_options.h"
#include "cli/member_option.h"

namespace varn::cli {

void AddBarsCommand(CLI::App& app, CommandRun& run) {
    struct Args {
        std::string date_layout = "auto";
        std::string time_layout = "auto";
        std::string period = "month";
        std::string delimiter = "space";
        bool volume = false;
        bool open_interest = false;
        std::string prices = "auto";
        std::string session_start = "00:00";
        std::string stamp = "classic";
        bool header = false;
        int threads = 0;
        std::string member;
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
                    "0-7, 5min, 15min, hour, day, week, month, quarter, year (default month), "
                    "or Nmin (N dividing 1440), Nh (N dividing 24)")
        ->check(PeriodValidator());
    cmd->add_option("--delimiter", args->delimiter, "space (default) or comma")
        ->check(CLI::IsMember({"space", "comma"}));
    cmd->add_flag("--volume", args->volume, "add the summed volume after the close");
    cmd->add_flag("--open-interest", args->open_interest,
                  "add the open interest of the bar's last line that has one");
    cmd->add_option("--prices", args->prices,
                    "auto (default: as detected), ohlc (four prices) or single (one price)")
        ->check(CLI::IsMember({"auto", "ohlc", "single"}));
    cmd->add_option("--session-start", args->session_start,
                    "time of day minute to week bars begin, [-]HH:MM (default 00:00)")
        ->check(SessionStartValidator());
    cmd->add_option("--stamp", args->stamp, "classic (default, 1.2.2001 16:0) or iso")
        ->check(CLI::IsMember({"classic", "iso"}));
    cmd->add_flag("--header", args->header, "write a first line naming the columns");
    cmd->add_option("--threads", args->threads,
                    "threads reading lines (default: one for each core)")
        ->check(CLI::Range(1, 256));
    AddMemberOption(cmd, args->member);
    cmd->add_option("INPUT", args->input, "input file, - for standard input")->required();
    cmd->add_option("OUTPUT", args->output, "output file, - for standard output")->required();
    cmd->callback([args, &run] {
        run = [args](Streams& s) {
            BarChoices choices;
            choices.date_layout = ParseDateLayoutOption(args->date_layout);
            choices.time_layout = ParseTimeLayoutOption(args->time_layout);
            const PeriodOption period = *ParseBarPeriodOption(args->period);
            choices.period = period.period;
            choices.period_minutes = period.minutes;
            choices.delimiter = args->delimiter == "comma" ? Delimiter::Comma : Delimiter::Space;
            choices.volume = args->volume;
            choices.open_interest = args->open_interest;
            choices.prices = args->prices == "ohlc"     ? PriceForm::Ohlc
                             : args->prices == "single" ? PriceForm::Single
                                                        : PriceForm::Auto;
            choices.session_offset_minutes = *ReadSessionStart(args->session_start);
            choices.stamp = args->stamp == "iso" ? StampStyle::Iso : StampStyle::Classic;
            choices.header = args->header;
            choices.threads = args->threads;
            choices.names = RegionalNamesFromLocale();
            const JobReport report =
                RunBars(LineSource::FromArgument(args->input).WithMember(args->member),
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
