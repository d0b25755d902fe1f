// varn convert --format N [--threads N] INPUT OUTPUT
//
// Converts a price file by one of the five conversions; "-" is standard input
// or output. The output is written through a temporary file.
#include <memory>

#include "cli/command.h"
#include "cli/member_option.h"
#include "convert/conversions.h"

namespace varn::cli {

void AddConvertCommand(CLI::App& app, CommandRun& run) {
    struct Args {
        int format = -1;
        int threads = 0;
        std::string member;
        std::string input;
        std::string output;
    };
    auto args = std::make_shared<Args>();
    std::string formats = "conversion number:";
    for (int n = 0; n < ConversionCount; ++n) {
        formats += "\n  " + std::to_string(n) + "  " +
                   std::string(ConversionItems[static_cast<std::size_t>(n)]);
    }
    CLI::App* cmd = app.add_subcommand("convert", "Convert a price file to another layout");
    cmd->add_option("-f,--format", args->format, formats)
        ->required()
        ->check(CLI::Range(0, ConversionCount - 1));
    cmd->add_option("--threads", args->threads,
                    "threads converting lines (default: one for each core)")
        ->check(CLI::Range(1, 256));
    AddMemberOption(cmd, args->member);
    cmd->add_option("INPUT", args->input, "input file, - for standard input")->required();
    cmd->add_option("OUTPUT", args->output, "output file, - for standard output")->required();
    cmd->callback([args, &run] {
        run = [args](Streams& s) {
            ConversionChoices choices;
            choices.conversion = *ConversionOf(args->format);
            choices.threads = args->threads;
            const JobReport report =
                RunConversion(LineSource::FromArgument(args->input).WithMember(args->member),
                              Destination::FromArgument(args->output), choices);
            const std::string unread_as =
                "as conversion " + std::to_string(args->format) + " (" +
                std::string(ConversionItems[static_cast<std::size_t>(args->format)]) + ")";
            return FinishJob(report, args->input, "lines", unread_as, s);
        };
    });
}

}  // namespace varn::cli
