#pragma once
// The files of a command that reads INPUT and writes OUTPUT, one pair or
// many: OUTPUT may be left out for standard output, and with --out-dir DIR
// every argument is an input, written to DIR/<name>-<suffix>.txt (the name
// the window proposes: "prices.csv" by monthly bars gives "DIR/prices-month.txt").
//
//   varn bars in.csv                     bars of in.csv on standard output
//   varn bars in.csv out.txt             bars of in.csv in out.txt
//   varn bars --out-dir bars a.csv b.csv bars/a-month.txt and bars/b-month.txt
//
// Files are worked on side by side when the threads allow; a failed file is
// reported and the others go on; the exit code is 1 when any failed.

#include <CLI/CLI.hpp>
#include <functional>
#include <string>
#include <vector>

#include "cli/command.h"
#include "io/job.h"

namespace varn::cli {

struct FileArgs {
    std::vector<std::string> files;  // INPUT [OUTPUT], or the inputs with out_dir
    std::string out_dir;
    std::string member;  // the member of a zip input to read
};

// Declares INPUT [OUTPUT], --out-dir DIR and --member NAME on cmd.
void AddFileArgs(CLI::App& cmd, FileArgs& args);

// One input and where its output goes.
struct FileJob {
    std::string input;
    std::string output;
    std::string member;  // of a zip input, when chosen

    // The input as a job reads it.
    LineSource Source() const { return LineSource::FromArgument(input).WithMember(member); }
};

// Runs one job and reports it on the streams given; returns its exit code.
// threads is the job's share of the threads asked for.
using FileJobRun = std::function<int(const FileJob& job, int threads, Streams& streams)>;

// Runs run for each file of args (suffix names the outputs in --out-dir),
// sharing threads (0: one for each core) between files worked on at once. The
// lines each job prints are printed in the order of the inputs. Returns the
// exit code: ExitUsage (with a message) for files that do not make jobs,
// ExitFailure when any job failed.
int RunFileJobs(const FileArgs& args, const std::string& suffix, int threads, const FileJobRun& run,
                Streams& streams);

}  // namespace varn::cli
