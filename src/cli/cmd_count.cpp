// varn count INPUT
//
// Prints "<C> lines": lines end at CR LF, LF or a lone CR, and a final line
// break adds no line.
#include <cstdint>
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
            std::int64_t count = 0;
            if (JobStatus status = CountLines(*input, count); !status) return Finish(status, s);
            s.out << count << " lines\n";
            return ExitOk;
        };
    });
}

}  // namespace varn::cli
