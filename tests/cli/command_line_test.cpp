// What people expect of a command line: commands and numbers named in errors,
// OUTPUT left out for standard output, many files at once, counts like wc -l,
// and output for other tools (tab and CSV fields, LF line ends, a header that
// names the fields, detection as JSON).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/json_object.h"
#include "cli_support.h"
#include "test_support.h"

namespace varn::cli {
namespace {

using testing::kVarn;
using testing::Outcome;
using testing::RunCli;
using varn::testing::ReadAll;
using varn::testing::TempDir;

// varn through the shell in dir, under the C locale.
Outcome InC(const TempDir& dir, const std::string& command) {
    return testing::Shell(dir, "export LC_ALL=C; " + command);
}

TEST(RunVarn, NamesTheWordItCannotTake) {
    struct Row {
        std::vector<std::string> args;
        const char* err;  // the first line of standard error
    };
    const Row rows[] = {
        {{"frobnicate"}, "varn: unknown command 'frobnicate'"},
        {{"-q", "frobnicate", "a"}, "varn: unknown command 'frobnicate'"},
        {{"convert", "--threads", "abc", "-f", "0", "a"}, "varn: --threads: abc is not a number"},
        {{"convert", "--format", "abc", "a"}, "varn: --format: abc is not a number"},
        {{"convert", "--format", "5", "a"}, "varn: --format: 5 is too large (at most 4)"},
        {{"bars", "--threads", "0", "a"}, "varn: --threads: 0 is below 1"},
        {{"bars", "--threads", "0x10", "a"}, "varn: --threads: 0x10 is not a number"},
        {{"truncate", "--lines", "0x10", "a"}, "varn: --lines: 0x10 is not a number"},
        {{"bars", "--threads", " 4", "a"}, "varn: --threads:  4 is not a number"},
        {{"convert", "-f", "0", "a", "b", "c"},
         "varn: one INPUT and one OUTPUT at most; give --out-dir DIR for several inputs"},
        {{"convert", "-f", "0", "--out-dir", "d", "a", "-"},
         "varn: --out-dir takes files, not standard input"},
        {{"bars", "--out-dir", "d", "x/a.csv", "y/a.txt"},
         "varn: x/a.csv and y/a.txt would both be written to d/a-month.txt"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.err);
        const Outcome got = RunCli(row.args);
        EXPECT_EQ(got.code, ExitUsage);
        EXPECT_EQ(got.err.substr(0, got.err.find('\n')), row.err);
    }
    // The same number forms as --lines: leading zeros are decimal.
    TempDir dir;
    const std::string in = dir.Write("in.csv", "1971,1,4,4.318\n");
    const Outcome got = RunCli({"convert", "-f", "00", "--threads", "010", in, dir.Path("out")});
    EXPECT_EQ(got.code, ExitOk) << got.err;
    EXPECT_EQ(ReadAll(dir.Path("out")), "1/4/1971   4.318\r\n");
}

TEST(RunVarn, HelpIsACommandToo) {
    EXPECT_EQ(RunCli({"help"}).out, RunCli({"--help"}).out);
    const Outcome bars = RunCli({"help", "bars"});
    EXPECT_EQ(bars.code, ExitOk);
    EXPECT_EQ(bars.out, RunCli({"bars", "--help"}).out);
    EXPECT_NE(bars.out.find("--out-dir"), std::string::npos);
}

// 150 minute lines of 2 January 2001 from 10:00, then one of 3 January.
std::string MinuteLines() {
    std::string text;
    for (int i = 0; i <= 150; ++i) {
        const int day = i == 150 ? 14 : 13;
        text += "01/" + std::to_string(day) + "/2001," + std::to_string(10 + i / 60) + ":" +
                std::to_string(i % 60 / 10) + std::to_string(i % 10) + "," +
                std::to_string(100 + i) + ",400,50," + std::to_string(150 + i) + ",7\n";
    }
    return text;
}

TEST(VarnBinary, WritesStandardOutputWhenOutputIsLeftOut) {
    TempDir dir;
    dir.Write("in.csv", "1971,1,4,4.318\n1971,1,5,4.3117\n");
    dir.Write("minutes.csv", MinuteLines());
    for (const std::string command :
         {"convert -f 0 in.csv", "truncate -n 1 in.csv", "bars -p day minutes.csv"}) {
        SCOPED_TRACE(command);
        const Outcome left_out = InC(dir, kVarn + " " + command);
        const Outcome dash = InC(dir, kVarn + " " + command + " -");
        EXPECT_EQ(left_out.code, 0) << left_out.err;
        EXPECT_GT(left_out.out.size(), 10U);
        EXPECT_EQ(left_out.out, dash.out);
    }
}

TEST(VarnBinary, WritesManyFilesIntoAFolder) {
    TempDir dir;
    dir.Write("a.csv", MinuteLines());
    dir.Write("b.txt", MinuteLines().substr(0, 6000));
    dir.Write("bad.csv", "not a price\n");
    dir.Write("c.csv", "1971,1,4,4.318\n");
    ASSERT_EQ(InC(dir, "mkdir out one").code, 0);
    struct Row {
        const char* name;
        std::string command;  // run in dir; {T} is the thread option
        const char* listing;  // of out/ afterwards
        int code;
        const char* err;
        std::string single;  // the same job on its own, whose output must match
        const char* output;  // the output compared
    };
    const Row rows[] = {
        {"bars, a failed file among them", "bars -p hour {T} --out-dir out a.csv bad.csv b.txt",
         "a-hour.txt b-hour.txt", 1, "varn: bad.csv: the file has 100 lines or fewer",
         "bars -p hour b.txt one/b.txt", "b-hour.txt"},
        {"bars of 20 minutes, said for each file", "-v bars -p 20min {T} --out-dir out a.csv",
         "a-20min.txt", 0,
         "varn: a.csv: 151 lines read, 151 used, 0 skipped; 9 bars written to out/a-20min.txt",
         "bars -p 20min a.csv one/a.txt", "a-20min.txt"},
        {"conversions, named by number", "convert -f 0 {T} --out-dir out c.csv bad.csv", "c-0.txt",
         1, "varn: bad.csv: no line reads as conversion 0", "convert -f 0 c.csv one/c.txt",
         "c-0.txt"},
    };
    for (const Row& row : rows) {
        for (const std::string threads : {"--threads 1", "--threads 3", ""}) {
            SCOPED_TRACE(std::string(row.name) + ", " + threads);
            ASSERT_EQ(InC(dir, "rm -f out/* one/*").code, 0);
            std::string command = row.command;
            command.replace(command.find("{T}"), 3, threads);
            const Outcome got = InC(dir, kVarn + " " + command);
            EXPECT_EQ(got.code, row.code);
            EXPECT_EQ(got.err.rfind(row.err, 0), 0U) << got.err;
            EXPECT_EQ(InC(dir, "ls out | tr '\\n' ' '").out, std::string(row.listing) + " ");
            ASSERT_EQ(InC(dir, kVarn + " -q " + row.single).code, 0);
            const std::string single = InC(dir, "cat one/*").out;
            EXPECT_GT(single.size(), 10U);
            EXPECT_EQ(ReadAll(dir.Path("out/") + row.output), single);
        }
    }
}

TEST(VarnBinary, CountsManyFilesLikeWc) {
    TempDir dir;
    dir.Write("a.txt", "1\n2\n3\n");
    dir.Write("b.txt", "x\r\ny");
    const Outcome got = InC(dir, kVarn + " count a.txt missing.txt b.txt");
    EXPECT_EQ(got.code, 1);
    EXPECT_EQ(got.out, "3 a.txt\n2 b.txt\n5 total\n");
    EXPECT_EQ(got.err, "varn: missing.txt: cannot open for reading: No such file or directory\n");
    EXPECT_EQ(InC(dir, kVarn + " count a.txt").out, "3 lines\n") << "one file as before";
}

TEST(VarnBinary, WritesFieldsAndLineEndsForOtherTools) {
    TempDir dir;
    dir.Write("minutes.csv", MinuteLines());
    const std::string bars = kVarn + " bars -p day minutes.csv ";
    struct Row {
        const char* options;
        const char* want;  // the first two lines
    };
    const Row rows[] = {
        {"", "1.13.2001 12:29 100.00 400.00 50.00 299.00\r\n1.14.2001 12:30 "},
        {"--delimiter space --eol crlf",
         "1.13.2001 12:29 100.00 400.00 50.00 299.00\r\n1.14.2001 "},
        {"--header", "date time open high low close\r\n1.13.2001 12:29 100.00 "},
        {"--header --delimiter tab --volume --eol lf",
         "date time\topen\thigh\tlow\tclose\tvolume\n1.13.2001 12:29\t100.00\t400.00\t50.00\t"},
        {"--header --delimiter csv", "date time,open,high,low,close\r\n1.13.2001 12:29,100.00,"},
        {"--header --delimiter comma --stamp iso",
         "date, open, high, low, close\r\n2001-01-13T12:29:00, 100.00, "},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.options);
        const Outcome got = InC(dir, bars + row.options);
        EXPECT_EQ(got.code, 0) << got.err;
        EXPECT_EQ(got.out.substr(0, std::string(row.want).size()), row.want);
    }
    dir.Write("daily.csv", "1971,1,4,4.318\n1971,1,5,4.3117\n");
    for (const char* threads : {"1", "2"}) {
        const Outcome lf =
            InC(dir, kVarn + " convert -f 0 --eol lf --threads " + threads + " daily.csv");
        EXPECT_EQ(lf.out, "1/4/1971   4.318\n1/5/1971   4.3117\n");
    }
}

TEST(VarnBinary, PrintsTheDetectionAsJson) {
    TempDir dir;
    dir.Write("minutes.csv", MinuteLines());
    const Outcome got = InC(dir, kVarn + " detect --json minutes.csv");
    EXPECT_EQ(got.code, 0) << got.err;
    EXPECT_EQ(got.out,
              "{\"date_layout\": 5, \"date_layout_name\": \"MM/DD/YYYY  OHLC Vol O.I.\", "
              "\"time_layout\": 6, \"time_layout_name\": \"DATE;21:45\", \"fits\": 100, "
              "\"lines_examined\": 100, \"prices\": \"ohlc\", \"separator\": \"comma\", "
              "\"decimal\": \"point\"}\n");
}

TEST(JsonObject, EscapesWhatJsonRequires) {
    for (const auto& [text, want] : {std::pair{"plain", R"({"k": "plain"})"},
                                     {"a \"quoted\" word", R"({"k": "a \"quoted\" word"})"},
                                     {"back\\slash", R"({"k": "back\\slash"})"},
                                     {"tab\there\n", R"({"k": "tab\u0009here\u000a"})"}}) {
        EXPECT_EQ(JsonObject().Add("k", text).Text(), want);
    }
    EXPECT_EQ(JsonObject().Add("a", -3).Add("b", "").Text(), R"({"a": -3, "b": ""})");
}

}  // namespace
}  // namespace varn::cli
