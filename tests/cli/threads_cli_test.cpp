// `--threads N` of `varn convert` and `varn bars`: bad counts are usage
// errors, and any count gives the same output through files and pipes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/command.h"
#include "cli_support.h"
#include "test_support.h"

namespace varn::cli {
namespace {

using varn::testing::ReadAll;
using varn::testing::TempDir;

TEST(VarnThreads, RejectsACountBelowOneOrNotANumber) {
    struct Row {
        const char* name;
        std::vector<std::string> args;
    };
    const Row rows[] = {
        {"convert 0 threads", {"convert", "-f", "0", "--threads", "0", "a", "b"}},
        {"convert negative", {"convert", "-f", "4", "--threads", "-2", "a", "b"}},
        {"convert a word", {"convert", "-f", "1", "--threads", "many", "a", "b"}},
        {"convert a fraction", {"convert", "-f", "0", "--threads", "1.5", "a", "b"}},
        {"convert no count", {"convert", "-f", "0", "a", "b", "--threads"}},
        {"bars 0 threads", {"bars", "--threads", "0", "a", "b"}},
        {"bars too many", {"bars", "--threads", "100000", "a", "b"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const testing::Outcome got = testing::RunCli(row.args);
        EXPECT_EQ(got.code, ExitUsage);
        EXPECT_EQ(got.err.rfind("varn: ", 0), 0U) << got.err;
    }
}

TEST(VarnThreads, AnyCountGivesTheSameOutput) {
    TempDir dir;
    std::string julian;
    std::string minutes;
    for (int i = 0; i < 30000; ++i) {
        julian += i % 997 == 3 ? "Date Price\r\n" : std::to_string(40000 + i / 96) + ".5 1.5\n";
        minutes += "01/" + std::to_string(i / 1440 % 28 + 10) + "/2001," +
                   std::to_string(i / 60 % 24 + 10) + ":" + std::to_string(i % 60 / 10) +
                   std::to_string(i % 10) + ",1." + std::to_string(i % 97) + ",2,0.5,1.25\r\n";
    }
    dir.Write("tjul.txt", julian);
    dir.Write("minutes.csv", minutes);
    struct Row {
        const char* name;
        std::string command;  // {T} is the thread option
    };
    const Row rows[] = {
        {"convert 4, files", "varn convert -f 4 {T} tjul.txt out.txt && cat out.txt"},
        {"convert 4, pipes", "cat tjul.txt | varn convert -f 4 {T} - -"},
        {"bars by the hour, files", "varn bars -p hour {T} minutes.csv out.txt && cat out.txt"},
        {"bars by the day, pipes", "cat minutes.csv | varn bars -p day {T} - -"},
    };
    for (const Row& row : rows) {
        std::string want;
        for (const std::string threads : {"--threads 1", "--threads 2", "--threads 7", ""}) {
            SCOPED_TRACE(std::string(row.name) + ", " + threads);
            std::string command = row.command;
            command.replace(command.find("{T}"), 3, threads);
            command.replace(command.find("varn"), 4, testing::kVarn);
            const testing::Outcome got = testing::Shell(dir, command);
            EXPECT_EQ(got.code, 0) << got.err;
            ASSERT_GT(got.out.size(), 500U);
            if (want.empty()) {
                want = got.out;
            } else {
                EXPECT_EQ(got.out, want);
            }
        }
    }
    EXPECT_NE(ReadAll(dir.Path("out.txt")).find("\r\n"), std::string::npos);
}

TEST(VarnThreads, ThreadsThatCannotStartAreDoneWithout) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer cannot run under a memory limit";
#endif
    TempDir dir;
    std::string daily;
    for (int i = 0; i < 3000; ++i) {
        daily += "2001," + std::to_string(i % 12 + 1) + "," + std::to_string(i % 28 + 1) + ",1." +
                 std::to_string(i) + "\n";
    }
    dir.Write("in.csv", daily);
    const testing::Outcome serial =
        testing::Shell(dir, testing::kVarn + " convert -f 0 --threads 1 in.csv -");
    ASSERT_EQ(serial.code, 0) << serial.err;
    // Too little address space for sixteen threads' stacks: a thread that
    // could not start aborted the job and left its temporary file.
    const testing::Outcome got = testing::Shell(
        dir, "ulimit -v 120000; " + testing::kVarn + " convert -f 0 --threads 16 in.csv out.txt");
    EXPECT_EQ(got.code, 0) << got.err;
    EXPECT_EQ(got.err, "");
    EXPECT_EQ(ReadAll(dir.Path("out.txt")), serial.out);
    EXPECT_EQ(dir.Listing(), "in.csv out.txt ");
}

}  // namespace
}  // namespace varn::cli
