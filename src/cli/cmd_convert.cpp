// varn convert --format N [--threads N] [--eol crlf|lf] INPUT [OUTPUT]
// varn convert --format N [options] --out-dir DIR INPUT...
//
// Converts a price file by one of the five conversions; "-" is standard input
// or output, and a missing OUTPUT is standard output. With --out-dir, each
// input is written to DIR/<name>-<N>.txt. The output is written through a
// temporary file.
#include <memory>

#include "cli/command.h"
#include "cli/count_option.h"
#include "cli/file_jobs.h"
#include "convert/conversions.h"

namespace varn::cli {

void AddConvertCommand(CLI::App& app, CommandRun& run) {
    struct Args {
        int format = -1;
        int threads = 0;
        std::string eol = "crlf";
        FileArgs files;
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
        ->transform(CountValidator(0, ConversionCount - 1));
    AddThreadsOption(*cmd, args->threads, "threads converting lines");
    AddLineEndOption(*cmd, args->eol);
    AddFileArgs(*cmd, args->files);
    cmd->callback([args, &run] {
        run = [args](Streams& s) {
            const auto job = [args](const FileJob& files, int threads, Streams& streams) {
                ConversionChoices choices;
                choices.conversion = *ConversionOf(args->format);
                choices.threads = threads;
                choices.line_end = LineEndOf(args->eol);
                const JobReport report =
                    RunConversion(files.Source(), Destination::FromArgument(files.output), choices);
                const std::string unread_as =
                    "as conversion " + std::to_string(args->format) + " (" +
                    std::string(ConversionItems[static_cast<std::size_t>(args->format)]) + ")";
                const std::string shown = args->files.out_dir.empty() ? "" : files.output;
                return FinishJob(report, files.input, "lines", unread_as, streams, shown);
            };
            return RunFileJobs(args->files, std::to_string(args->format), args->threads, job, s);
        };
    });
}

}  // namespace varn::cli
