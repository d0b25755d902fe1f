// varn count INPUT
//
// Prints "<C> lines": lines end at CR LF, LF or a lone CR, and a final line
// break adds no line.
#include <memory>

#include "cli/command.h"
#include "truncate/truncate.h"

namespace varn::cli {

void AddCountCommand(CLI::App& app, CommandRun& run) {
    auto input = std::make_shared<std::string>();
    CLI::App* cmd = app.add_subcommand("count", "Count the lines of a file");
    cmd->add_option("INPUT", *input, "input file, - for standard input")->required();
    cmd->callback([input, &run] {
        run = [input](Streams& s) {
            const JobReport report = RunCount(LineSource::FromArgument(*input));
            if (!report.ok()) return Finish(report.status, s);
            s.out << report.lines_read << " lines\n";
            return ExitOk;
        };
    });
}

}  // namespace varn::cli
