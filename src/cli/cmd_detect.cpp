// varn detect [--json] [--columns LIST] [--decimal-comma] [--member NAME]
//             [--zone-in ZONE] [--zone-out ZONE] INPUT
//
// Prints the date and time layouts that fit the first 100 lines, how many of
// them fit, and how the lines are cut and read:
//   date layout: 5 (MM/DD/YYYY  OHLC Vol O.I.)
//   time layout: 0 (Not Indicated)
//   fits: 100 of 100 lines
//   prices: ohlc
//   separator: comma
//   decimal: point
// then, when there are, "header: line 1", "columns: date, open, ...", the zone
// word after the times, the zones with --zone-out ("zone in: Europe/London",
// "zone out: America/New_York", or the refusal bars would meet), and notes
// ("note: dates fit month-first and day-first; ..."). "prices: single" when
// the lines hold one price each rather than four. With
// --json the same as one JSON object on one line:
//   {"date_layout": 5, "date_layout_name": "MM/DD/YYYY  OHLC Vol O.I.", ...}
// Reads the first lines only, and on where they leave the day order open: a
// file of 100 lines or fewer is not examined. When nothing fits, says which
// pair came nearest, what was seen, and what to do.
#include <memory>

#include "bars/build_bars.h"
#include "bars/detect.h"
#include "calendar/date_layouts.h"
#include "cli/command.h"
#include "cli/json_object.h"
#include "cli/member_option.h"
#include "cli/reading_options.h"

namespace varn::cli {

void AddDetectCommand(CLI::App& app, CommandRun& run) {
    struct Args {
        bool json = false;
        ReadingArgs reading;
        ZoneArgs zones;
        std::string member;
        std::string input;
    };
    auto args = std::make_shared<Args>();
    CLI::App* cmd = app.add_subcommand("detect", "Detect the date and time layouts of a file");
    cmd->add_flag("--json", args->json, "print the detection as one JSON object");
    AddReadingOptions(*cmd, args->reading);
    AddZoneOptions(*cmd, args->zones);
    AddMemberOption(cmd, args->member);
    cmd->add_option("INPUT", args->input, "input file, - for standard input")->required();
    cmd->callback([args, &run] {
        run = [args](Streams& s) {
            BarChoices choices;
            choices.names = RegionalNamesFromLocale();
            choices.prices = PriceForm::Auto;
            ApplyReadingArgs(args->reading, choices);
            ApplyZoneArgs(args->zones, choices);
            const JobReport report =
                RunDetect(LineSource::FromArgument(args->input).WithMember(args->member), choices);
            if (!report.ok()) return FinishDetectionFailure(report, args->input, s, false);
            const auto reading = ReadingFields(report);
            const UsedLayouts& found = *report.layouts;
            const char* const prices = found.prices == PriceForm::Single ? "single" : "ohlc";
            if (args->json) {
                JsonObject json;
                json.Add("date_layout", Number(found.date))
                    .Add("date_layout_name", DateLayoutItem(found.date))
                    .Add("time_layout", Number(found.time))
                    .Add("time_layout_name", TimeLayoutItem(found.time))
                    .Add("fits", report.fitting_lines)
                    .Add("lines_examined", DetectLineCount)
                    .Add("prices", prices);
                if (report.reading) {
                    const InputReading& read = *report.reading;
                    json.Add("separator", read.separator)
                        .Add("decimal", read.decimal_comma ? "comma" : "point");
                    if (read.header_line > 0) json.Add("header_line", read.header_line);
                    if (!read.columns.empty()) json.Add("columns", read.columns);
                    if (!read.zone_word.empty()) json.Add("zone", read.zone_word);
                    if (!read.zone_out.empty()) {
                        json.Add("zone_in", read.zone_in).Add("zone_out", read.zone_out);
                    }
                }
                std::string notes;
                for (const std::string& note : report.notes) {
                    notes += (notes.empty() ? "" : "; ") + note;
                }
                if (!notes.empty()) json.Add("notes", notes);
                s.out << json.Text() << '\n';
                return ExitOk;
            }
            s.out << "date layout: " << Number(report.layouts->date) << " ("
                  << DateLayoutItem(report.layouts->date) << ")\n"
                  << "time layout: " << Number(report.layouts->time) << " ("
                  << TimeLayoutItem(report.layouts->time) << ")\n"
                  << "fits: " << report.fitting_lines << " of " << DetectLineCount << " lines\n"
                  << "prices: " << prices << "\n";
            for (const auto& [name, value] : reading) s.out << name << ": " << value << '\n';
            return ExitOk;
        };
    });
}

}  // namespace varn::cli
