#pragma once
// The pieces every subcommand of `varn` shares: where it prints, how a job's
// status becomes an exit code, and the registration of each subcommand.
//
// Exit codes: 0 success (also when the reader of standard output went away),
// 1 a file or data error ("varn: <path>: <reason>" on standard error), 2 a
// usage error.

#include <CLI/CLI.hpp>
#include <functional>
#include <ostream>

#include "io/job_status.h"

namespace varn::cli {

inline constexpr int ExitOk = 0;
inline constexpr int ExitFailure = 1;
inline constexpr int ExitUsage = 2;

struct Streams {
    std::ostream& out;
    std::ostream& err;
};

// What a parsed subcommand does; set by the subcommand's registration.
using CommandRun = std::function<int(Streams&)>;

// Turns a job's status into an exit code, printing the error line.
int Finish(const JobStatus& status, Streams& streams);

// Prints "varn: <message>" and returns ExitFailure.
int Fail(const std::string& message, Streams& streams);

void AddConvertCommand(CLI::App& app, CommandRun& run);
void AddTruncateCommand(CLI::App& app, CommandRun& run);
void AddCountCommand(CLI::App& app, CommandRun& run);
void AddBarsCommand(CLI::App& app, CommandRun& run);
void AddDetectCommand(CLI::App& app, CommandRun& run);
void AddLayoutsCommand(CLI::App& app, CommandRun& run);

}  // namespace varn::cli
