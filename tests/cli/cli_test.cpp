// The command line, in-process (usage and exit codes) and as the real binary
// run in a fresh temporary folder (files, pipes and standard streams).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "cli/app.h"
#include "cli/command.h"
#include "cli_support.h"
#include "test_support.h"

namespace varn::cli {
namespace {

using varn::testing::ReadAll;
using varn::testing::TempDir;

using testing::kVarn;
using testing::Outcome;
using testing::RunCli;
using testing::Shell;

TEST(RunVarn, RejectsBadUsageWithExitTwo) {
    struct Row {
        const char* name;
        std::vector<std::string> args;
    };
    const Row rows[] = {
        {"no command", {}},
        {"unknown command", {"frobnicate"}},
        {"unknown option", {"convert", "--format", "0", "--fast", "a", "b"}},
        {"missing format", {"convert", "a", "b"}},
        {"format not a number", {"convert", "--format", "x", "a", "b"}},
        {"format above 4", {"convert", "--format", "5", "a", "b"}},
        {"format below 0", {"convert", "--format", "-1", "a", "b"}},
        {"three files without --out-dir", {"convert", "--format", "0", "a", "b", "c"}},
        {"missing lines", {"truncate", "a", "b"}},
        {"lines below 1", {"truncate", "--lines", "0", "a", "b"}},
        {"lines not a number", {"truncate", "--lines", "ten", "a", "b"}},
        {"count without input", {"count"}},
        {"date layout 24", {"bars", "--date-layout", "24", "a", "b"}},
        {"time layout 9", {"bars", "--time-layout", "9", "a", "b"}},
        {"period 8", {"bars", "--period", "8", "a", "b"}},
        {"unknown period", {"bars", "--period", "fortnight", "a", "b"}},
        {"unknown delimiter", {"bars", "--delimiter", "pipe", "a", "b"}},
        {"unknown line end", {"convert", "-f", "0", "--eol", "cr", "a", "b"}},
        {"detect without input", {"detect"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const Outcome got = RunCli(row.args);
        EXPECT_EQ(got.code, ExitUsage);
        EXPECT_EQ(got.err.rfind("varn: ", 0), 0U) << got.err;
        EXPECT_NE(got.err.find("--help"), std::string::npos) << "a hint";
    }
}

TEST(RunVarn, PrintsHelpAndVersion) {
    const Outcome help = RunCli({"--help"});
    EXPECT_EQ(help.code, ExitOk);
    for (const char* command : {"convert", "truncate", "count"}) {
        EXPECT_NE(help.out.find(command), std::string::npos) << command;
    }
    const Outcome version = RunCli({"--version"});
    EXPECT_EQ(version.code, ExitOk);
    EXPECT_EQ(version.out.rfind("varn ", 0), 0U);
}

TEST(RunVarn, ReportsFileErrorsWithExitOne) {
    TempDir dir;
    const Outcome got = RunCli({"count", dir.Path("missing.txt")});
    EXPECT_EQ(got.code, ExitFailure);
    EXPECT_EQ(got.err, "varn: " + dir.Path("missing.txt") +
                           ": cannot open for reading: No such file or directory\n");
}

TEST(VarnBinary, ConvertsFilesAndStandardStreams) {
    TempDir dir;
    dir.Write("in.csv",
              "1971,1,4,4.318\r\n1971,1,5,4.3117\r1\n\x1a"
              "ignored\n");
    Outcome got = Shell(dir, kVarn + " convert --format 0 in.csv out.txt");
    EXPECT_EQ(got.code, 0) << got.err;
    EXPECT_EQ(got.out, "");
    EXPECT_EQ(ReadAll(dir.Path("out.txt")), "1/4/1971   4.318\r\n1/5/1971   4.31171\r\n");

    got = Shell(dir, "printf '060523,0930,1,2,3,4,5\\n' | " + kVarn + " convert -f 1 - -");
    EXPECT_EQ(got.code, 0) << got.err;
    EXPECT_EQ(got.out, "05/23/2006  09:30  1  2  3  4  5  \r\n");
}

TEST(VarnBinary, RunsTheWholeFileConversions) {
    TempDir dir;
    struct Row {
        const char* name;
        int format;
        std::string input;
        std::string want;
    };
    const Row rows[] = {
        {"monthly: header skipped, same-month runs, last month kept", 2,
         "Date,Price\r\n01/30/2004 10\r\n01/31/2004 11\r\n02/27/2004 12\r\n02/28/2004 13\r\n",
         "01/31/2004 11\r\n02/28/2004 13\r\n"},
        {"monthly: one month only", 2, "03/01/2004 1\n03/02/2004 2\n", "03/02/2004 2\r\n"},
        {"dated prices: a blank line skipped, keeping its date", 3, "4.318\n\n4.3113\n",
         "01.01.1000   4.318\r\n01.03.1000   4.3113\r\n"},
        {"truncated Julian: header and blank line skipped", 4,
         "Day Price\n52275.5 1.234\n\n53371.25 7\n",
         "1/1/2002 12:00:00  1.234\r\n1/1/2005 6:00:00  7\r\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        dir.Write("in.txt", row.input);
        const Outcome got = Shell(
            dir, kVarn + " convert --format " + std::to_string(row.format) + " in.txt out.txt");
        EXPECT_EQ(got.code, 0) << got.err;
        EXPECT_EQ(ReadAll(dir.Path("out.txt")), row.want);
    }
}

TEST(VarnBinary, EmptyInputGivesEmptyOutput) {
    TempDir dir;
    dir.Write("empty.txt", "");
    for (const char* command :
         {" convert -f 0 empty.txt out.txt", " truncate -n 3 empty.txt out.txt"}) {
        SCOPED_TRACE(command);
        const Outcome got = Shell(dir, kVarn + command);
        EXPECT_EQ(got.code, 0) << got.err;
        EXPECT_EQ(ReadAll(dir.Path("out.txt")), "");
    }
    EXPECT_EQ(Shell(dir, kVarn + " count empty.txt").out, "0 lines\n");
}

TEST(VarnBinary, MissingInputLeavesNoOutput) {
    TempDir dir;
    dir.Write("out.txt", "precious");
    const Outcome got = Shell(dir, kVarn + " convert -f 0 missing.txt out.txt");
    EXPECT_EQ(got.code, 1);
    // The reason is the system's, in the language of the locale the test runs under.
    // One line; the reason is the system's, in the language of the locale.
    const std::string prefix = "varn: missing.txt: cannot open for reading: ";
    EXPECT_EQ(got.err.rfind(prefix, 0), 0U) << got.err;
    EXPECT_GT(got.err.size(), prefix.size() + 1);
    EXPECT_EQ(std::count(got.err.begin(), got.err.end(), '\n'), 1);
    EXPECT_EQ(ReadAll(dir.Path("out.txt")), "precious");
    EXPECT_EQ(dir.Listing(), "out.txt ");
}

TEST(VarnBinary, UnwritableDestinationLeavesExistingFileUntouched) {
    TempDir dir;
    dir.Write("in.txt", "1971,1,4,4.318\n");
    std::filesystem::create_directory(dir.Path("locked"));
    dir.Write("locked/out.txt", "precious");
    std::filesystem::permissions(dir.Path("locked"), std::filesystem::perms::owner_read |
                                                         std::filesystem::perms::owner_exec);
    const Outcome got = Shell(dir, kVarn + " convert -f 0 in.txt locked/out.txt");
    std::filesystem::permissions(dir.Path("locked"), std::filesystem::perms::owner_all);
    if (got.code == 0) GTEST_SKIP() << "running with permission to write anywhere (root)";
    EXPECT_EQ(got.code, 1);
    EXPECT_NE(got.err.find("locked/out.txt"), std::string::npos) << got.err;
    EXPECT_EQ(ReadAll(dir.Path("locked/out.txt")), "precious");
}

TEST(VarnBinary, FailedWriteLeavesExistingFileUntouched) {
    // A file size limit makes the writes fail part-way, even for root.
    TempDir dir;
    std::string text;
    for (int i = 0; i < 20000; ++i) text += "1971,1,4,4.318\n";
    dir.Write("in.txt", text);
    dir.Write("out.txt", "precious");
    const Outcome got = Shell(dir, "ulimit -f 64; " + kVarn + " convert -f 0 in.txt out.txt");
    EXPECT_EQ(got.code, 1);
    EXPECT_EQ(got.err.rfind("varn: out.txt: cannot write: ", 0), 0U) << got.err;
    EXPECT_EQ(ReadAll(dir.Path("out.txt")), "precious");
    EXPECT_EQ(dir.Listing(), "in.txt out.txt ") << "no temporary file left";
}

TEST(VarnBinary, TruncatesAFileOntoItself) {
    TempDir dir;
    std::string text;
    for (int i = 1; i <= 100; ++i) text += std::to_string(i) + (i % 3 == 0 ? "\r" : "\n");
    dir.Write("data.txt", text);
    const Outcome got = Shell(dir, kVarn + " truncate --lines 10 data.txt data.txt");
    EXPECT_EQ(got.code, 0) << got.err;
    std::string want;
    for (int i = 91; i <= 100; ++i) want += std::to_string(i) + "\r\n";
    EXPECT_EQ(ReadAll(dir.Path("data.txt")), want);
    EXPECT_EQ(Shell(dir, kVarn + " count data.txt").out, "10 lines\n");
    EXPECT_EQ(Shell(dir, "printf 'a\\nb\\nc' | " + kVarn + " truncate -n 2 - -").out, "b\r\nc\r\n");
}

TEST(VarnBinary, ClosedOutputPipeEndsQuietly) {
    TempDir dir;
    std::string text;
    for (int i = 0; i < 400000; ++i) text += "1971,1,4,4.318\n";
    dir.Write("big.csv", text);
    const Outcome got =
        Shell(dir, "{ " + kVarn + " convert -f 0 big.csv -; echo $? >rc; } | head -n 1");
    EXPECT_EQ(ReadAll(dir.Path("rc")), "0\n");
    EXPECT_EQ(got.err, "");
    EXPECT_EQ(got.out, "1/4/1971   4.318\r\n");
}

// 120 daily lines from 1 January 2001, MM/DD/YYYY, one header line first.
std::string DailyFile() {
    std::string text = "Date Open High Low Close\n";
    for (int i = 0; i < 120; ++i) {
        const int month = i / 28 + 1;
        const int day = i % 28 + 1;
        text += (month < 10 ? "0" : "") + std::to_string(month) + "/" + (day < 10 ? "0" : "") +
                std::to_string(day) + "/2001 1.5 1.6 1.4 1.55\r\n";
    }
    return text;
}

TEST(VarnBinary, DetectsLayoutsAndBuildsBars) {
    TempDir dir;
    dir.Write("daily.txt", DailyFile());
    Outcome got = Shell(dir, kVarn + " detect daily.txt");
    EXPECT_EQ(got.code, 0) << got.err;
    EXPECT_EQ(got.out,
              "date layout: 5 (MM/DD/YYYY  OHLC Vol O.I.)\ntime layout: 0 (Not Indicated)\n"
              "fits: 100 of 100 lines\n"
              "prices: ohlc\nseparator: spaces\ndecimal: point\nheader: line 1\n"
              "columns: date, open, high, low, close (by the header)\n");

    got = Shell(dir, kVarn + " bars daily.txt monthly.txt");
    EXPECT_EQ(got.code, 0) << got.err;
    const std::string monthly = ReadAll(dir.Path("monthly.txt"));
    EXPECT_EQ(monthly.substr(0, 38), "1.28.2001 1.5000 1.6000 1.4000 1.5500\r");
    EXPECT_EQ(std::count(monthly.begin(), monthly.end(), '\n'), 5);

    got = Shell(dir, "cat daily.txt | " + kVarn +
                         " bars --date-layout 5 --period year --delimiter comma - -");
    EXPECT_EQ(got.code, 0) << got.err;
    EXPECT_EQ(got.out, "5.8.2001, 1.5000, 1.6000, 1.4000, 1.5500\r\n");

    // With the date layout fixed to day first, only detection of the time runs.
    got = Shell(dir, kVarn + " bars -d 6 -p day daily.txt days.txt");
    EXPECT_EQ(got.code, 1);
    EXPECT_NE(got.err.find("by date layout 6 and time layout 0 (not line 13): is the layout "
                           "given the file's? varn detect tells"),
              std::string::npos)
        << got.err;
}

TEST(VarnBinary, RefusesToGuessShortFiles) {
    TempDir dir;
    std::string text;
    for (int i = 0; i < 100; ++i) text += "01/02/2001 1.5 1.6 1.4 1.55\n";
    dir.Write("short.txt", text);
    Outcome got = Shell(dir, kVarn + " detect short.txt");
    EXPECT_EQ(got.code, 1);
    EXPECT_EQ(got.out, "");
    got = Shell(dir, kVarn + " bars short.txt out.txt");
    EXPECT_EQ(got.code, 1);
    EXPECT_EQ(dir.Listing(), "short.txt ");
    got = Shell(dir, kVarn + " bars -d 5 -t 0 -p day short.txt out.txt");
    EXPECT_EQ(got.code, 0) << got.err;
    EXPECT_EQ(ReadAll(dir.Path("out.txt")), "1.2.2001 1.5000 1.6000 1.4000 1.5500\r\n");
}

TEST(VarnBinary, ReportsSkippedLinesAndFailsWhenNoneIsUsed) {
    TempDir dir;
    dir.Write("some.txt", "01/02/2001 1.5 1.6 1.4 1.55\nbad\n01/03/2001 1 2 0.5 1.5\n");
    dir.Write("none.txt", "bad\nworse\n");
    dir.Write("empty.txt", "");
    dir.Write("intraday.csv", "\"Date\",\"Time\"\n060523,0930,1,2,3,4,5\n");
    dir.Write("kept.txt", "precious");
    dir.Write("notes.txt", "this is line 1 of my notes,hello world\n1971,13,45,abc\n1971,1,4,4\n");
    const std::string bars = kVarn + " bars -d 5 -t 0 -p day ";
    struct Row {
        const char* name;
        std::string command;
        int code;
        std::string err;
    };
    const Row rows[] = {
        {"a skipped line is a warning", bars + "some.txt out.txt", 0,
         "varn: some.txt: 1 of 3 lines skipped (line 2: Can't extract Month string: BAD "
         "substring: BAD)\n"},
        {"--quiet drops the warning", bars + "--quiet some.txt out.txt", 0, ""},
        {"-q before the command", kVarn + " -q bars -d 5 -t 0 -p day some.txt out.txt", 0, ""},
        {"--verbose sums up", bars + "-v some.txt out.txt", 0,
         "varn: some.txt: 3 lines read, 2 used, 1 skipped; 2 bars written\n"},
        {"a conversion warns too", kVarn + " convert -f 1 intraday.csv out.txt", 0,
         "varn: intraday.csv: 1 of 2 lines skipped (line 1: not a YYMMDD,HHMM line)\n"},
        {"conversion 0 wrote prose as dates", kVarn + " convert -f 0 notes.txt out.txt", 0,
         "varn: notes.txt: 2 of 3 lines skipped (line 1: not a YYYY,MM,DD,PRICE line)\n"},
        {"conversion 3 dated any text", kVarn + " convert -f 3 -v notes.txt out.txt", 0,
         "varn: notes.txt: 3 lines read, 2 used, 1 skipped; 2 lines written\n"},
        {"conversion 2 passed odd lines through", kVarn + " convert -f 2 none.txt kept.txt", 1,
         "varn: none.txt: no line reads as conversion 2 (mm/dd/yyyy daily -> mm/dd/yyyy "
         "monthly) (line 1: no MM/DD/YYYY date)\n"},
        {"no line read as a bar", bars + "none.txt kept.txt", 1,
         "varn: none.txt: no line reads as a bar under date layout 5 (MM/DD/YYYY  OHLC Vol "
         "O.I.) and time layout 0 (Not Indicated) (line 1: Can't extract Month string: BAD "
         "substring: BAD)\n"},
        {"no line converted", kVarn + " convert -f 4 none.txt kept.txt", 1,
         "varn: none.txt: no line reads as conversion 4 (Truncated TJUL price (Tidal forces from "
         "Bern University)) (line 1: no truncated Julian day)\n"},
        {"an empty input is no error", bars + "-v empty.txt empty-out.txt", 0,
         "varn: empty.txt: 0 lines read, 0 used, 0 skipped; 0 bars written\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const Outcome got = Shell(dir, row.command);
        EXPECT_EQ(got.code, row.code);
        EXPECT_EQ(got.err, row.err);
    }
    EXPECT_EQ(ReadAll(dir.Path("kept.txt")), "precious")
        << "a job that used no line writes nothing";
    EXPECT_EQ(ReadAll(dir.Path("empty-out.txt")), "");
}

TEST(VarnBinary, DetectSaysHowSureItIs) {
    TempDir dir;
    std::string text;
    for (int i = 0; i < 150; ++i)
        text += i % 10 == 0 ? "header\n" : "01/02/2001 1.5 1.6 1.4 1.55\n";
    dir.Write("mixed.txt", text);
    Outcome got = Shell(dir, kVarn + " detect mixed.txt");
    EXPECT_EQ(got.code, 1);
    EXPECT_EQ(got.err,
              "varn: mixed.txt: no layout pair fits 96 of the first 100 lines (the nearest, date "
              "layout 5 (MM/DD/YYYY  OHLC Vol O.I.) and time layout 0 (Not Indicated), fits 90)\n"
              "varn: only 90 of the first 100 lines read as dates, by date layout 5 and time "
              "layout 0 (not line 1); to read the lines that do, give --date-layout and "
              "--time-layout\n");
    got = Shell(dir, kVarn + " bars mixed.txt out.txt");
    EXPECT_EQ(got.code, 1);
    EXPECT_NE(got.err.find("fits 90)\nvarn: only 90 of the first 100"), std::string::npos)
        << got.err;
}

TEST(RunVarn, ListsLayoutsPeriodsAndConversions) {
    const Outcome got = RunCli({"layouts"});
    EXPECT_EQ(got.code, ExitOk);
    for (const char* want :
         {"  21  MM,YYYY OHLC Vol O.I.\n", "  7  DATE;214515\n", "  5  month  1 month bar\n",
          "  4  Truncated TJUL price", "  00-50 are 2000-2050, 51-99 are 1951-1999\n"}) {
        EXPECT_NE(got.out.find(want), std::string::npos) << want;
    }
}

}  // namespace
}  // namespace varn::cli
