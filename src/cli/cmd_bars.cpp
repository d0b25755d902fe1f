// varn bars [--date-layout N|auto] [--time-layout N|auto] [--period P]
//           [--delimiter space|comma|tab|csv] [--volume] [--open-interest]
//           [--prices auto|ohlc|single] [--session-start [-]HH:MM]
//           [--stamp classic|iso] [--stamp-time last|start|end]
//           [--decimals N|input] [--header] [--eol crlf|lf] [--threads N]
//           [--columns LIST] [--decimal-comma] [--strict] [--member NAME]
//           [--zone-in ZONE] [--zone-out ZONE] [--order auto|keep]
//           [--symbol NAME] INPUT [OUTPUT]
// varn bars [options] --split DIR INPUT
// varn bars [options] --out-dir DIR INPUT...
//
// Builds open-high-low-close bars. With "auto" (the default) the layouts are
// detected from the first 100 lines, which needs a file of more than 100
// lines; a layout given by number stays fixed while the other is detected.
// Detection also decides whether lines hold four prices or one, unless
// --prices says. Before that, the separator, a header naming the columns and
// the decimal mark are found from the first lines (--columns and
// --decimal-comma fix them); --strict refuses a file with a line that does
// not read or whose prices are out of order. P is 0-7, a period name, Nmin or
// Nh ("20min", "4h"). --zone-out makes the bars in a time zone, from times
// written in --zone-in (or in the zone their word names, or with offsets). A
// --stamp-time names the moment a stamp stands for, --decimals how prices are
// written (by default as FormatPrice rounds them). A missing OUTPUT is
// standard output; with --out-dir each input is written to
// DIR/<name>-<period>.txt.
#include <memory>
#include <string>
#include <vector>

#include "bars/build_bars.h"
#include "bars/detect.h"
#include "cli/command.h"
#include "cli/file_jobs.h"
#include "cli/layout_options.h"
#include "cli/reading_options.h"

namespace varn::cli {
namespace {

// The options of `varn bars` as typed; one member for each option.
struct BarArgs {
    std::string date_layout = "auto";
    std::string time_layout = "auto";
    std::string period = "month";
    std::string delimiter = "space";
    bool volume = false;
    bool open_interest = false;
    std::string prices = "auto";
    std::string session_start = "00:00";
    std::string stamp = "classic";
    std::string stamp_time = "last";
    std::string decimals;  // empty: by magnitude
    bool header = false;
    std::string eol = "crlf";
    int threads = 0;
    ReadingArgs reading;
    ZoneArgs zones;
    bool strict = false;
    std::string order = "auto";
    std::string symbol;
    std::string split_dir;
    FileArgs files;
};

Delimiter DelimiterOf(const std::string& name) {
    if (name == "comma") return Delimiter::Comma;
    if (name == "tab") return Delimiter::Tab;
    if (name == "csv") return Delimiter::Csv;
    return Delimiter::Space;
}

// The choices of one bar job, from the options.
BarChoices ChoicesOf(const BarArgs& args, const PeriodOption& period) {
    BarChoices choices;
    choices.date_layout = ParseDateLayoutOption(args.date_layout);
    choices.time_layout = ParseTimeLayoutOption(args.time_layout);
    choices.period = period.period;
    choices.period_minutes = period.minutes;
    choices.delimiter = DelimiterOf(args.delimiter);
    choices.volume = args.volume;
    choices.open_interest = args.open_interest;
    choices.prices = args.prices == "ohlc"     ? PriceForm::Ohlc
                     : args.prices == "single" ? PriceForm::Single
                                               : PriceForm::Auto;
    choices.session_offset_minutes = *ReadSessionStart(args.session_start);
    choices.stamp = args.stamp == "iso" ? StampStyle::Iso : StampStyle::Classic;
    choices.stamp_time = args.stamp_time == "start" ? StampTime::Start
                         : args.stamp_time == "end" ? StampTime::End
                                                    : StampTime::Last;
    choices.decimals = ReadPriceDecimals(args.decimals).value_or(DecimalsByMagnitude);
    choices.header = args.header;
    choices.line_end = LineEndOf(args.eol);
    choices.names = RegionalNamesFromLocale();
    ApplyReadingArgs(args.reading, choices);
    ApplyZoneArgs(args.zones, choices);
    choices.strict = args.strict;
    choices.order = args.order == "keep" ? TimeOrder::Keep : TimeOrder::Auto;
    choices.symbol = args.symbol;
    choices.split_dir = args.split_dir;
    return choices;
}

int RunBarsJob(const BarArgs& args, const PeriodOption& period, const FileJob& files, int threads,
               Streams& s) {
    BarChoices choices = ChoicesOf(args, period);
    choices.threads = threads;
    const JobReport report =
        RunBars(files.Source(), Destination::FromArgument(files.output), choices);
    if (!report.ok() &&
        report.status.error.category() == DetectionError(Detection::Outcome::NoFit).category()) {
        // Detection failed: say why and how near it came, and what to do.
        return FinishDetectionFailure(report, files.input, s, true);
    }
    if (!report.layouts) return Finish(report.status, s);
    const std::string unread_as = "as a bar under " + LayoutsText(*report.layouts);
    const std::string shown = !args.split_dir.empty()      ? args.split_dir
                              : args.files.out_dir.empty() ? ""
                                                           : files.output;
    return FinishJob(report, files.input, "bars", unread_as, s, shown);
}

}  // namespace

void AddBarsCommand(CLI::App& app, CommandRun& run) {
    auto args = std::make_shared<BarArgs>();
    CLI::App* cmd = app.add_subcommand("bars", "Build open-high-low-close bars from price lines");
    cmd->add_option("-d,--date-layout", args->date_layout,
                    "date layout 0-23 or auto (see varn layouts)")
        ->check(LayoutValidator(DateLayoutCount));
    cmd->add_option("-t,--time-layout", args->time_layout, "time layout 0-8 or auto")
        ->check(LayoutValidator(TimeLayoutCount));
    cmd->add_option("-p,--period", args->period,
                    "0-7, 5min, 15min, hour, day, week, month, quarter, year (default month), "
                    "or Nmin (N dividing 1440), Nh (N dividing 24)")
        ->check(PeriodValidator());
    cmd->add_option("--delimiter", args->delimiter,
                    "space (default), comma (a comma and a blank), tab, or csv (a plain comma)")
        ->check(CLI::IsMember({"space", "comma", "tab", "csv"}));
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
    cmd->add_option("--stamp-time", args->stamp_time,
                    "the moment a stamp names: last (default, the bar's last line), start or "
                    "end of its period")
        ->check(
            CLI::IsMember(std::vector<std::string>(StampTimeNames.begin(), StampTimeNames.end())));
    cmd->add_option("--decimals", args->decimals,
                    "decimals of the prices, 0-10, or input (as many as the bar's prices had); "
                    "default 5 below 0.1, 4 below 10, else 2")
        ->check(CLI::Validator(
            [](std::string& text) -> std::string {
                return ReadPriceDecimals(text) ? "" : "must be a number from 0 to 10 or input";
            },
            "N|input"));
    cmd->add_flag("--header", args->header, "write a first line naming the columns");
    AddLineEndOption(*cmd, args->eol);
    AddReadingOptions(*cmd, args->reading);
    AddZoneOptions(*cmd, args->zones);
    cmd->add_flag("--strict", args->strict,
                  "fail, writing nothing, when a line does not read or its prices are out of "
                  "order");
    cmd->add_option("--order", args->order,
                    "auto (default: bars by time, whatever the order of the lines; exact repeats "
                    "count once) or keep (bars of runs of lines as they stand)")
        ->check(CLI::IsMember({"auto", "keep"}));
    cmd->add_option("--symbol", args->symbol,
                    "build the bars of this symbol only (the lines carry a symbol column)");
    cmd->add_option("--split", args->split_dir,
                    "write one file a symbol, DIR/<symbol>.txt, and no OUTPUT")
        ->type_name("DIR");
    AddThreadsOption(*cmd, args->threads, "threads reading lines");
    AddFileArgs(*cmd, args->files);
    cmd->callback([args, &run] {
        run = [args](Streams& s) {
            const PeriodOption period = *ParseBarPeriodOption(args->period);
            const std::string suffix =
                period.minutes != 0
                    ? std::to_string(period.minutes) + "min"
                    : std::string(BarPeriodNames[static_cast<std::size_t>(Number(period.period))]);
            const auto job = [args, period](const FileJob& files, int threads, Streams& streams) {
                return RunBarsJob(*args, period, files, threads, streams);
            };
            if (!args->split_dir.empty()) {
                // The files go into the folder, one a symbol: one INPUT only.
                if (args->files.files.size() != 1 || !args->files.out_dir.empty()) {
                    return UsageError("--split DIR takes one INPUT and no OUTPUT or --out-dir", s);
                }
                return job(FileJob{args->files.files.front(), "-", args->files.member},
                           args->threads, s);
            }
            return RunFileJobs(args->files, suffix, args->threads, job, s);
        };
    });
}

}  // namespace varn::cli