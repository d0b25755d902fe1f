// varn detect INPUT
//
// Prints the date and time layouts that fit the first 100 lines:
//   date layout: 5 (MM/DD/YYYY  OHLC Vol O.I.)
//   time layout: 0 (Not Indicated)
// Reads only the first 101 lines: a file of 100 lines or fewer is not examined.
#include <memory>
#include <vector>

#include "bars/build_bars.h"
#include "calendar/date_layouts.h"
#include "cli/command.h"
#include "cli/layout_options.h"

namespace varn::cli {

void AddDetectCommand(CLI::App& app, CommandRun& run) {
    auto input = std::make_shared<std::string>();
    CLI::App* cmd = app.add_subcommand("detect", "Detect the date and time layouts of a file");
    cmd->add_option("INPUT", *input, "input file, - for standard input")->required();
    cmd->callback([input, &run] {
        run = [input](Streams& s) {
            LineReader reader;
            if (*input == "-") {
                reader.OpenStandardInput(LineRules::List);
            } else if (JobStatus status = reader.Open(*input, LineRules::List); !status) {
                return Finish(status, s);
            }
            std::vector<std::string> first;
            ReadFirstLines(reader, DetectLineCount + 1, first);
            if (!reader.status().ok()) return Finish(reader.status(), s);
            if (first.size() <= static_cast<std::size_t>(DetectLineCount)) {
                return Fail(*input + ": 100 lines or fewer are not examined", s);
            }
            const auto pair =
                DetectFirstLines(first, RegionalNamesFromLocale(), std::nullopt, std::nullopt);
            if (!pair)
                return Fail(*input + ": no date and time layout fits 96 of the first 100 lines", s);
            s.out << "date layout: " << pair->date_layout << " ("
                  << DateLayoutItem(pair->date_layout) << ")\n"
                  << "time layout: " << pair->time_layout << " ("
                  << TimeLayoutItems[static_cast<std::size_t>(pair->time_layout)] << ")\n";
            return ExitOk;
        };
    });
}

}  // namespace varn::cli
