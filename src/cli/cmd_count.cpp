// varn count INPUT...
//
// Prints "<C> lines" for one input: lines end at CR LF, LF or a lone CR, and
// a final line break adds no line. For several inputs, as wc -l does, one
// line "<C> <name>" each and "<total> total"; a file that cannot be read is
// reported and counted as nothing, and the exit code is then 1.
#include <cstdint>
#include <memory>
#include <vector>

#include "cli/command.h"
#include "cli/member_option.h"
#include "truncate/truncate.h"

namespace varn::cli {

void AddCountCommand(CLI::App& app, CommandRun& run) {
    auto inputs = std::make_shared<std::vector<std::string>>();
    auto member = std::make_shared<std::string>();
    CLI::App* cmd = app.add_subcommand("count", "Count the lines of files");
    AddMemberOption(cmd, *member);
    cmd->add_option("INPUT", *inputs, "input files, - for standard input")
        ->required()
        ->expected(1, -1);
    cmd->callback([inputs, member, &run] {
        run = [inputs, member](Streams& s) {
            const auto source = [&member](const std::string& input) {
                return LineSource::FromArgument(input).WithMember(*member);
            };
            if (inputs->size() == 1) {
                const JobReport report = RunCount(source(inputs->front()));
                if (!report.ok()) return Finish(report.status, s);
                s.out << report.lines_read << " lines\n";
                return ExitOk;
            }
            int code = ExitOk;
            std::int64_t total = 0;
            for (const std::string& input : *inputs) {
                const JobReport report = RunCount(source(input));
                if (!report.ok()) {
                    s.out.flush();
                    if (Finish(report.status, s) != ExitOk) code = ExitFailure;
                    continue;
                }
                total += report.lines_read;
                s.out << report.lines_read << ' ' << EscapeControls(input) << '\n';
            }
            s.out << total << " total\n";
            return code;
        };
    });
}

}  // namespace varn::cli
