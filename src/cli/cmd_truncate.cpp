// varn truncate --lines N INPUT [OUTPUT]
//
// Writes the last N lines of INPUT to OUTPUT (standard output when left out),
// every line ended by CR LF. A regular input file is read from its end;
// OUTPUT may be INPUT itself.
#include <cstdint>
#include <memory>

#include "cli/command.h"
#include "cli/count_option.h"
#include "cli/member_option.h"
#include "truncate/truncate.h"

namespace varn::cli {

void AddTruncateCommand(CLI::App& app, CommandRun& run) {
    struct Args {
        std::int64_t lines = 0;
        std::string member;
        std::string input;
        std::string output = "-";
    };
    auto args = std::make_shared<Args>();
    CLI::App* cmd = app.add_subcommand("truncate", "Write the last N lines of a file");
    cmd->add_option("-n,--lines", args->lines, "how many of the last lines to keep (1 or more)")
        ->required()
        ->transform(PositiveCountValidator());
    AddMemberOption(cmd, args->member);
    cmd->add_option("INPUT", args->input, "input file, - for standard input")->required();
    cmd->add_option("OUTPUT", args->output, "output file, - for standard output (the default)");
    cmd->callback([args, &run] {
        run = [args](Streams& s) {
            return Finish(
                RunTruncate(LineSource::FromArgument(args->input).WithMember(args->member),
                            Destination::FromArgument(args->output), TruncateChoices{args->lines})
                    .status,
                s);
        };
    });
}

}  // namespace varn::cli
