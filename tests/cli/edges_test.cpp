// The edges of the command line, run as the real binary in a fresh temporary
// folder: destinations that are not plain files, signals mid-job, closed and
// failing standard streams, option values and file names in error lines,
// standard input read from where it stands, and running out of memory.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cli/app.h"
#include "cli/command.h"
#include "cli/count_option.h"
#include "cli_support.h"
#include "test_support.h"

extern char** environ;

namespace varn::cli {
namespace {

using varn::testing::ReadAll;
using varn::testing::TempDir;

using testing::Outcome;
// The shell (its tools and varn speaking the C locale, so the reasons read as
// written here under any locale of the test run), and this process.
Outcome RunShell(const TempDir& dir, const std::string& command) {
    return testing::Shell(dir, "export LC_ALL=C; " + command);
}
constexpr auto& RunInProcess = testing::RunCli;

using testing::kVarn;

// Makes a copy of a device node in dir; false when the system refuses.
bool MakeDevice(const TempDir& dir, const std::string& name, unsigned major, unsigned minor) {
    return mknod(dir.Path(name).c_str(), S_IFCHR | 0666, makedev(major, minor)) == 0;
}

// Whether the folder holds a temporary file of a job.
bool HasTemporaryFile(const TempDir& dir) {
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        if (entry.path().filename().string().rfind(".varn-", 0) == 0) return true;
    }
    return false;
}

constexpr char kPriceLine[] = "1971,1,4,4.318\n";
constexpr char kConverted[] = "1/4/1971   4.318\r\n";

TEST(VarnEdges, WritesEveryKindOfDestination) {
    struct Row {
        const char* fault;    // what went wrong before
        const char* setup;    // shell commands run first
        const char* command;  // the varn arguments
        const char* check;    // shell commands whose output is compared
        std::string expected;
    };
    const Row rows[] = {
        {"a copy of the null device was replaced by a regular file", "mknod n c 1 3",
         "convert --format 0 in.txt n", "stat -c %F n; ls -A | tr '\\n' ' '",
         "character special file\nin.txt n "},
        {"a FIFO was replaced and its reader got nothing",
         "mkfifo ff; cat ff > got & echo $! > reader", "convert --format 0 in.txt ff",
         "wait $(cat reader) 2>/dev/null; sleep 0.2; "
         "stat -c %F ff; tr -d '\\r' < got",
         "fifo\n1/4/1971   4.318\n"},
        {"a link to a link was replaced by a regular file, its target left stale",
         "echo old > t; ln -s t l1; ln -s l1 l2", "convert --format 0 in.txt l2",
         "stat -c %F l2 l1 t; cat t | tr -d '\\r'",
         "symbolic link\nsymbolic link\nregular file\n1/4/1971   4.318\n"},
        {"a dangling link was replaced instead of creating its target",
         "mkdir sub; ln -s sub/new dangling", "convert --format 0 in.txt dangling",
         "stat -c %F dangling; tr -d '\\r' < sub/new", "symbolic link\n1/4/1971   4.318\n"},
        {"truncating a link onto itself replaced the link", "seq 20 > t; ln -s t link",
         "truncate --lines 10 link link", "stat -c %F link; tr -d '\\r' < t | tr '\\n' ' '",
         "symbolic link\n11 12 13 14 15 16 17 18 19 20 "},
        {"a link to standard output's descriptor was replaced by a file",
         "ln -s /proc/self/fd/1 so", "convert --format 0 in.txt so > piped",
         "stat -c %F so; tr -d '\\r' < piped", "symbolic link\n1/4/1971   4.318\n"},
        {"a link that leads round in a circle was not reported", "ln -s c1 c2; ln -s c2 c1",
         "convert --format 0 in.txt c1 || echo failed", "ls -A | tr '\\n' ' '", "c1 c2 in.txt "},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fault);
        TempDir dir;
        dir.Write("in.txt", kPriceLine);
        const Outcome setup = RunShell(dir, row.setup);
        if (setup.code != 0 && std::string(row.setup).rfind("mknod", 0) == 0) {
            GTEST_SKIP() << "mknod refused here: " << setup.err;
        }
        ASSERT_EQ(setup.code, 0) << setup.err;
        const Outcome got = RunShell(dir, "timeout 20 " + kVarn + " " + row.command);
        EXPECT_EQ(got.code, 0) << got.err;
        EXPECT_EQ(RunShell(dir, row.check).out, row.expected);
    }
}

TEST(VarnEdges, ReplacedFileKeepsOwnerGroupAndMode) {
    if (geteuid() != 0) GTEST_SKIP() << "changing a file's owner needs root";
    TempDir dir;
    dir.Write("in.txt", kPriceLine);
    const std::string out = dir.Write("out.txt", "precious");
    ASSERT_EQ(chown(out.c_str(), 65534, 65534), 0);
    ASSERT_EQ(chmod(out.c_str(), 0640), 0);
    const Outcome got = RunShell(dir, kVarn + " convert --format 0 in.txt out.txt");
    ASSERT_EQ(got.code, 0) << got.err;
    struct stat info {};
    ASSERT_EQ(stat(out.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 65534U) << "root left the user's file root's";
    EXPECT_EQ(info.st_gid, 65534U);
    EXPECT_EQ(info.st_mode & 07777, 0640U);
    EXPECT_EQ(ReadAll(out), kConverted);
}

// Starts varn with args, the three signals at their default action.
pid_t Spawn(const std::vector<std::string>& args) {
    std::vector<std::string> full = {VARN_BIN};
    full.insert(full.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : full) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (const int sig : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&defaults, sig);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], nullptr, &attr, argv.data(), environ) != 0) pid = -1;
    posix_spawnattr_destroy(&attr);
    return pid;
}

TEST(VarnEdges, SignalMidJobRemovesTemporaryFile) {
    TempDir dir;
    // Enough lines that the job is still running when the signal comes.
    ASSERT_EQ(RunShell(dir,
                       "awk 'BEGIN { for (i = 0; i < 2500000; ++i) "
                       "printf \"19%02d,%d,%d,%d.25\\n\", i % 100, i % 12 + 1, i % 28 + 1, i }' "
                       "> in.csv")
                  .code,
              0);
    const std::string in = dir.Path("in.csv");
    const std::string out = dir.Write("out.txt", "precious");
    struct Row {
        const char* fault;
        int sig;
        std::vector<std::string> args;
    };
    const Row rows[] = {
        {"Ctrl-C left a hidden temporary file of tens of MB",
         SIGINT,
         {"convert", "--format", "0", in, out}},
        {"a kill left the temporary file", SIGTERM, {"convert", "--format", "0", in, out}},
        {"a hang-up during truncate left the temporary file",
         SIGHUP,
         {"truncate", "--lines", "2400000", in, out}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fault);
        const pid_t pid = Spawn(row.args);
        ASSERT_GT(pid, 0);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!HasTemporaryFile(dir) && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        const bool started = HasTemporaryFile(dir);
        kill(pid, row.sig);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(started) << "the job never created its temporary file";
        ASSERT_TRUE(WIFSIGNALED(status))
            << "the job ended before the signal; exit " << WEXITSTATUS(status);
        EXPECT_EQ(WTERMSIG(status), row.sig) << "ended by the signal, shown as 128 + signal";
        EXPECT_EQ(dir.Listing(), "in.csv out.txt ");
        EXPECT_EQ(ReadAll(dir.Path("out.txt")), "precious");
    }
}

TEST(VarnEdges, StandardStreamsClosedOrFailing) {
    struct Row {
        const char* fault;
        const char* command;  // after "varn"; "full" is a copy of the full device
        int code;
        const char* err;  // the start of standard error
    };
    const Row rows[] = {
        {"a lost count was reported as success", " count in.txt > full", 1,
         "varn: standard output: cannot write: No space left on device\n"},
        {"lost layouts were reported as success", " layouts > full", 1,
         "varn: standard output: cannot write: No space left on device\n"},
        {"lost help was reported as success", " --help > full", 1,
         "varn: standard output: cannot write: No space left on device\n"},
        {"a lost version was reported as success", " --version > full", 1,
         "varn: standard output: cannot write: No space left on device\n"},
        {"a reader that went away became an error", " count in.txt | head -c 0; exit $?", 0, ""},
        {"closed standard output: the count was lost without a word", " count in.txt >&-", 1,
         "varn: standard output: cannot write: Bad file descriptor\n"},
        {"closed standard output: the converted lines were lost without a word",
         " convert -f 0 in.txt - >&-", 1,
         "varn: standard output: cannot write: Bad file descriptor\n"},
        {"a lost conversion named standard output \"-\"", " convert -f 0 in.txt - > full", 1,
         "varn: standard output: cannot write: No space left on device\n"},
        {"closed standard output and error: the file is still written",
         " convert -f 0 in.txt out.txt >&- 2>&- && tr -d '\\r' < out.txt", 0, ""},
        {"closed standard input: the temporary file took its number",
         " truncate --lines 1 - out.txt <&- && test -f out.txt && ! test -s out.txt", 0, ""},
    };
    TempDir dir;
    dir.Write("in.txt", kPriceLine);
    if (!MakeDevice(dir, "full", 1, 7)) GTEST_SKIP() << "mknod refused here";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fault);
        const Outcome got = RunShell(dir, kVarn + row.command);
        EXPECT_EQ(got.code, row.code) << got.err;
        EXPECT_EQ(got.err, row.err);
        EXPECT_EQ(ReadAll(dir.Path("in.txt")), kPriceLine);
    }
}

TEST(VarnEdges, OptionValuesAndNamesInErrorLines) {
    struct Row {
        const char* fault;
        std::vector<std::string> args;
        int code;
        std::string err;  // the whole of standard error, or its first line
        const char* out;  // text standard output holds
    };
    const Row rows[] = {
        {"a count too large to hold meant all lines",
         {"truncate", "--lines", "99999999999999999999", "a", "b"},
         ExitUsage,
         "varn: --lines: 99999999999999999999 is too large (at most 9223372036854775807)",
         ""},
        {"2k was said to be out of range",
         {"truncate", "--lines", "2k", "a", "b"},
         ExitUsage,
         "varn: --lines: 2k is not a number",
         ""},
        {"a hexadecimal count was taken",
         {"truncate", "--lines", "0x10", "a", "b"},
         ExitUsage,
         "varn: --lines: 0x10 is not a number",
         ""},
        {"a newline in a value split the error line",
         {"truncate", "--lines", "1\n2", "a", "b"},
         ExitUsage,
         "varn: --lines: $'1\\n2' is not a number",
         ""},
        {"an empty file name showed as a standard stream",
         {"count", ""},
         ExitFailure,
         "varn: '': cannot open for reading: No such file or directory",
         ""},
        {"a newline in a file name split the error line",
         {"count", "no\nsuch"},
         ExitFailure,
         "varn: $'no\\nsuch': cannot open for reading: No such file or directory",
         ""},
        {"a control character in a file name was printed raw",
         {"count", "a\x1b[2Jb"},
         ExitFailure,
         "varn: $'a\\x1B[2Jb': cannot open for reading: No such file or directory",
         ""},
        {"an invalid value won over --help",
         {"truncate", "--lines", "2k", "--help", "a", "b"},
         ExitOk,
         "",
         "Usage: varn truncate"},
        {"an invalid value won over a later --help",
         {"convert", "--format", "9", "a", "b", "--help"},
         ExitOk,
         "",
         "Usage: varn convert"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fault);
        const Outcome got = RunInProcess(row.args);
        EXPECT_EQ(got.code, row.code);
        EXPECT_EQ(got.err.substr(0, got.err.find('\n')), row.err);
        EXPECT_NE(got.out.find(row.out), std::string::npos) << got.out;
    }
    // A message of a job's own about a file whose name holds a line break.
    TempDir dir;
    const std::string short_file = dir.Write("short\nfile", "1\n2\n");
    const Outcome got = RunInProcess({"detect", short_file});
    EXPECT_EQ(got.code, ExitFailure);
    EXPECT_EQ(
        got.err,
        "varn: " + dir.path().string() +
            "/short\\nfile: the file has 100 lines or fewer, too few to detect its layouts\n");
}

TEST(VarnEdges, LineCountsReadAsPlainDecimal) {
    struct Row {
        const char* text;
        std::optional<std::int64_t> value;
    };
    const Row rows[] = {
        {"010", 10},  // not octal eight
        {"1", 1},
        {"9223372036854775807", INT64_MAX},
        {"000000000000000000000007", 7},  // leading zeros never overflow
        {"9223372036854775808", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"0", std::nullopt},
        {"", std::nullopt},
        {"-3", std::nullopt},
        {"+3", std::nullopt},
        {" 3", std::nullopt},
        {"3 ", std::nullopt},
        {"2k", std::nullopt},
        {"1e3", std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(ParsePositiveCount(row.text), row.value);
    }
    // The option itself hands "010" on as ten.
    TempDir dir;
    std::string lines;
    for (int i = 1; i <= 20; ++i) lines += std::to_string(i) + "\n";
    const std::string in = dir.Write("in.txt", lines);
    const Outcome got = RunInProcess({"truncate", "--lines", "010", in, dir.Path("out.txt")});
    ASSERT_EQ(got.code, ExitOk) << got.err;
    EXPECT_EQ(ReadAll(dir.Path("out.txt")).substr(0, 4), "11\r\n");
}

TEST(VarnEdges, TruncateStartsWhereSeekableInputStands) {
    struct Row {
        const char* fault;
        std::string command;
        std::string expected;
    };
    // seq 30: "1\n".."9\n" are 18 bytes, then 3 a line; 50 bytes in is "20"'s LF.
    const Row rows[] = {
        {"lines before the position were written again",
         "exec < seq30; dd bs=50 count=1 of=/dev/null status=none; " + kVarn +
             " truncate --lines 99999999 - -",
         "\r\n21\r\n22\r\n23\r\n24\r\n25\r\n26\r\n27\r\n28\r\n29\r\n30\r\n"},
        {"the last lines were not found from the position",
         "exec < seq30; dd bs=50 count=1 of=/dev/null status=none; " + kVarn +
             " truncate --lines 2 - -",
         "29\r\n30\r\n"},
        {"a position at the end gave lines",
         "exec < seq30; cat > /dev/null; " + kVarn + " truncate -n 5 - -", ""},
        {"a named file was not read whole", kVarn + " truncate -n 99 seq30 - | head -n 1", "1\r\n"},
    };
    TempDir dir;
    ASSERT_EQ(RunShell(dir, "seq 30 > seq30").code, 0);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fault);
        const Outcome got = RunShell(dir, row.command);
        EXPECT_EQ(got.code, 0) << got.err;
        EXPECT_EQ(got.out, row.expected) << got.err;
    }
}

TEST(VarnEdges, RunningOutOfMemoryIsAnError) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer cannot run under a memory limit";
#endif
    TempDir dir;
    // One line of 60 MB, under a limit of 100 MB of address space.
    ASSERT_EQ(RunShell(dir,
                       "head -c 60000000 /dev/zero | tr '\\0' a > long.txt; echo >> long.txt; "
                       "echo old > out.txt")
                  .code,
              0);
    struct Row {
        const char* fault;
        const char* command;
    };
    const Row rows[] = {
        {"convert aborted and left its temporary file", " convert --format 0 long.txt out.txt"},
        {"truncate aborted and left its temporary file", " truncate --lines 1 long.txt out.txt"},
        {"bars aborted and left its temporary file",
         " bars --date-layout 0 --time-layout 0 long.txt out.txt"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fault);
        const Outcome got = RunShell(dir, "ulimit -v 102400; " + kVarn + row.command);
        EXPECT_EQ(got.code, ExitFailure);
        EXPECT_EQ(got.err, "varn: long.txt: cannot read: Cannot allocate memory\n");
        EXPECT_EQ(dir.Listing(), "long.txt out.txt ");
        EXPECT_EQ(ReadAll(dir.Path("out.txt")), "old\n");
    }
}

}  // namespace
}  // namespace varn::cli
