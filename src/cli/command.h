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
#include <string>
#include <string_view>

#include "io/job.h"
#include "io/job_status.h"
#include "io/line_output.h"

namespace varn::cli {

inline constexpr int ExitOk = 0;
inline constexpr int ExitFailure = 1;
inline constexpr int ExitUsage = 2;

// How much a successful job says on standard error: Quiet nothing, Normal a
// warning when lines were skipped, Verbose a summary line always.
enum class Verbosity { Quiet, Normal, Verbose };

struct Streams {
    std::ostream& out;
    std::ostream& err;
    Verbosity verbosity = Verbosity::Normal;
};

// What a parsed subcommand does; set by the subcommand's registration.
using CommandRun = std::function<int(Streams&)>;

// Turns a job's status into an exit code, printing the error line.
int Finish(const JobStatus& status, Streams& streams);

// Prints "varn: <message>" and the hint to --help, and returns ExitUsage.
int UsageError(const std::string& message, Streams& streams);

// Prints "varn: <message>" and returns ExitFailure.
int Fail(const std::string& message, Streams& streams);

// Turns a job's report into an exit code and the lines standard error shows.
// name is the input as the user gave it; written says what the job writes
// ("bars" or "lines"); unread_as ends "no line reads ..." when the job read
// lines but used none ("as a bar under date layout 5 (...) and time layout 0
// (...)"); output, when not empty, is named in the verbose summary.
int FinishJob(const JobReport& report, const std::string& name, std::string_view written,
              const std::string& unread_as, Streams& streams, const std::string& output = {});

// Options more than one command takes, declared in one place:
// --threads N (1 to 256; 0, the default, one for each core) ...
void AddThreadsOption(CLI::App& cmd, int& threads, const std::string& what);
// ... and --eol crlf|lf, how output lines end.
void AddLineEndOption(CLI::App& cmd, std::string& eol);
LineEnd LineEndOf(const std::string& eol);

// "date layout 5 (MM/DD/YYYY  OHLC Vol O.I.) and time layout 0 (Not Indicated)"
std::string LayoutsText(const UsedLayouts& layouts);

// Why the layouts of name were not detected, in words; the report is that of
// a failed RunDetect or RunBars.
std::string DetectionFailureText(const JobReport& report, const std::string& name);

void AddConvertCommand(CLI::App& app, CommandRun& run);
void AddTruncateCommand(CLI::App& app, CommandRun& run);
void AddCountCommand(CLI::App& app, CommandRun& run);
void AddBarsCommand(CLI::App& app, CommandRun& run);
void AddDetectCommand(CLI::App& app, CommandRun& run);
void AddLayoutsCommand(CLI::App& app, CommandRun& run);

}  // namespace varn::cli
