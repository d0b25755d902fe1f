// varn count INPUT
//
// Prints "<C> lines": lines end at CR LF, LF or a lone CR, and a final line
// break adds no line.
#include <memory>

#include "cli/command.h"
#include "cli/member_option.h"
#include "truncate/truncate.h"

namespace varn::cli {

void AddCountCommand(CLI::App& app, CommandRun& run) {
    auto input = std::make_shared<std::string>();
    auto member = std::make_shared<std::string>();
    CLI::App* cmd = app.add_subcommand("count", "Count the lines of a file");
    AddMemberOption(cmd, *member);
    cmd->add_option("INPUT", *input, "input file, - for standard input")->required();
    cmd->callback([input, member, &run] {
        run = [input, member](Streams& s) {
            const JobReport report = RunCount(LineSource::FromArgument(*input).WithMember(*member));
            if (!report.ok()) return Finish(report.status, s);
            s.out << report.lines_read << " lines\n";
            return ExitOk;
        };
    });
}

}  // namespace varn::cli
