// varn detect [--json] INPUT
//
// Prints the date and time layouts that fit the first 100 lines, and how many
// of them fit:
//   date layout: 5 (MM/DD/YYYY  OHLC Vol O.I.)
//   time layout: 0 (Not Indicated)
//   fits: 100 of 100 lines
//   prices: ohlc
// "prices: single" when the lines hold one price each rather than four. With
// --json the same as one JSON object on one line:
//   {"date_layout": 5, "date_layout_name": "MM/DD/YYYY  OHLC Vol O.I.", ...}
// Reads only the first 101 lines: a file of 100 lines or fewer is not examined.
// When nothing fits, says which pair came nearest.
#include <memory>

#include "bars/build_bars.h"
#include "bars/detect.h"
#include "calendar/date_layouts.h"
#include "cli/command.h"
#include "cli/json_object.h"

namespace varn::cli {

void AddDetectCommand(CLI::App& app, CommandRun& run) {
    struct Args {
        bool json = false;
        std::string input;
    };
    auto args = std::make_shared<Args>();
    CLI::App* cmd = app.add_subcommand("detect", "Detect the date and time layouts of a file");
    cmd->add_flag("--json", args->json, "print the detection as one JSON object");
    cmd->add_option("INPUT", args->input, "input file, - for standard input")->required();
    cmd->callback([args, &run] {
        run = [args](Streams& s) {
            BarChoices choices;
            choices.names = RegionalNamesFromLocale();
            choices.prices = PriceForm::Auto;
            const JobReport report = RunDetect(LineSource::FromArgument(args->input), choices);
            if (!report.ok()) {
                if (report.status.error.category() !=
                    DetectionError(Detection::Outcome::NoFit).category()) {
                    return Finish(report.status, s);
                }
                return Fail(DetectionFailureText(report, args->input), s);
            }
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
                s.out << json.Text() << '\n';
                return ExitOk;
            }
            s.out << "date layout: " << Number(report.layouts->date) << " ("
                  << DateLayoutItem(report.layouts->date) << ")\n"
                  << "time layout: " << Number(report.layouts->time) << " ("
                  << TimeLayoutItem(report.layouts->time) << ")\n"
                  << "fits: " << report.fitting_lines << " of " << DetectLineCount << " lines\n"
                  << "prices: " << prices << "\n";
            return ExitOk;
        };
    });
}

}  // namespace varn::cli
