// varn detect INPUT
//
// Prints the date and time layouts that fit the first 100 lines, and how many
// of them fit:
//   date layout: 5 (MM/DD/YYYY  OHLC Vol O.I.)
//   time layout: 0 (Not Indicated)
//   fits: 100 of 100 lines
//   prices: ohlc
// "prices: single" when the lines hold one price each rather than four.
// Reads only the first 101 lines: a file of 100 lines or fewer is not examined.
// When nothing fits, says which pair came nearest.
#include <memory>

#include "bars/build_bars.h"
#include "bars/detect.h"
#include "calendar/date_layouts.h"
#include "cli/command.h"
#include "cli/member_option.h"

namespace varn::cli {

void AddDetectCommand(CLI::App& app, CommandRun& run) {
    auto input = std::make_shared<std::string>();
    auto member = std::make_shared<std::string>();
    CLI::App* cmd = app.add_subcommand("detect", "Detect the date and time layouts of a file");
    AddMemberOption(cmd, *member);
    cmd->add_option("INPUT", *input, "input file, - for standard input")->required();
    cmd->callback([input, member, &run] {
        run = [input, member](Streams& s) {
            BarChoices choices;
            choices.names = RegionalNamesFromLocale();
            choices.prices = PriceForm::Auto;
            const JobReport report =
                RunDetect(LineSource::FromArgument(*input).WithMember(*member), choices);
            if (!report.ok()) {
                if (report.status.error.category() !=
                    DetectionError(Detection::Outcome::NoFit).category()) {
                    return Finish(report.status, s);
                }
                return Fail(DetectionFailureText(report, *input), s);
            }
            s.out << "date layout: " << Number(report.layouts->date) << " ("
                  << DateLayoutItem(report.layouts->date) << ")\n"
                  << "time layout: " << Number(report.layouts->time) << " ("
                  << TimeLayoutItem(report.layouts->time) << ")\n"
                  << "fits: " << report.fitting_lines << " of " << DetectLineCount << " lines\n"
                  << "prices: " << (report.layouts->prices == PriceForm::Single ? "single" : "ohlc")
                  << "\n";
            return ExitOk;
        };
    });
}

}  // namespace varn::cli
