// The further options of `varn bars` and the form line of `varn detect`, in
// process and as the real binary.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "cli/app.h"
#include "cli/command.h"
#include "cli/layout_options.h"
#include "cli_support.h"
#include "test_support.h"

namespace varn::cli {
namespace {

using varn::testing::ReadAll;
using varn::testing::TempDir;

using Result = testing::Outcome;
constexpr auto& Varn = testing::RunCli;

TEST(VarnBars, RejectsBadOptionValuesWithExitTwo) {
    struct Row {
        const char* name;
        std::vector<std::string> args;
    };
    const Row rows[] = {
        {"7 minutes", {"bars", "--period", "7min", "a", "b"}},
        {"0 minutes", {"bars", "--period", "0min", "a", "b"}},
        {"two days of minutes", {"bars", "--period", "2880min", "a", "b"}},
        {"5 hours", {"bars", "--period", "5h", "a", "b"}},
        {"minutes without a number", {"bars", "--period", "min", "a", "b"}},
        {"prices two", {"bars", "--prices", "two", "a", "b"}},
        {"session start 24:00", {"bars", "--session-start", "24:00", "a", "b"}},
        {"session start 9:5", {"bars", "--session-start", "9:5", "a", "b"}},
        {"session start without minutes", {"bars", "--session-start", "9", "a", "b"}},
        {"stamp unix", {"bars", "--stamp", "unix", "a", "b"}},
        {"order sorted", {"bars", "--order", "sorted", "a", "b"}},
        {"split with an OUTPUT", {"bars", "--split", "d", "a", "b"}},
        {"split with two inputs and out-dir", {"bars", "--split", "d", "--out-dir", "e", "a", "b"}},
        {"stamp time middle", {"bars", "--stamp-time", "middle", "a", "b"}},
        {"11 decimals", {"bars", "--decimals", "11", "a", "b"}},
        {"decimals -1", {"bars", "--decimals", "-1", "a", "b"}},
        {"decimals 2.5", {"bars", "--decimals", "2.5", "a", "b"}},
        {"decimals as written", {"bars", "--decimals", "written", "a", "b"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const Result got = Varn(row.args);
        EXPECT_EQ(got.code, ExitUsage);
        EXPECT_EQ(got.err.rfind("varn: ", 0), 0U) << got.err;
    }
}

TEST(ParseBarPeriodOption, TakesTheListAndLengthsInMinutesOrHours) {
    struct Row {
        const char* text;
        bool reads;
        BarPeriod period;
        int minutes;
    };
    const Row rows[] = {
        {"5min", true, BarPeriod::FiveMinutes, 0},
        {"0", true, BarPeriod::FiveMinutes, 0},
        {"15min", true, BarPeriod::FifteenMinutes, 0},
        {"hour", true, BarPeriod::Hour, 0},
        {"1h", true, BarPeriod::Hour, 0},
        {"60min", true, BarPeriod::Hour, 0},
        {"week", true, BarPeriod::Week, 0},
        {"7", true, BarPeriod::Year, 0},
        {"1min", true, BarPeriod::Month, 1},
        {"20min", true, BarPeriod::Month, 20},
        {"4h", true, BarPeriod::Month, 240},
        {"24h", true, BarPeriod::Month, 1440},
        {"7min", false, BarPeriod::Month, 0},
        {"8", false, BarPeriod::Month, 0},
        {"fortnight", false, BarPeriod::Month, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        const std::optional<PeriodOption> got = ParseBarPeriodOption(row.text);
        ASSERT_EQ(got.has_value(), row.reads);
        if (!got) continue;
        EXPECT_EQ(got->period, row.period);
        EXPECT_EQ(got->minutes, row.minutes);
    }
}

// Five-minute lines "MM/DD/YYYY,HH:MM,o,h,l,c,volume,oi" from Sunday 7 January
// 2001 15:00, count of them: line i has prices i, i + 1, i, i, volume 10 and
// open interest 100 + i, except every seventh line, which has none.
std::string FiveMinuteLines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        const int minutes = 15 * 60 + 5 * i;
        char line[96];
        std::snprintf(line, sizeof line, "01/%02d/2001,%02d:%02d,%d,%d,%d,%d,10,%s\n",
                      7 + minutes / 1440, minutes / 60 % 24, minutes % 60, i, i + 1, i, i,
                      i % 7 == 0 ? "" : std::to_string(100 + i).c_str());
        text += line;
    }
    return text;
}

TEST(VarnBars, WritesTheChosenColumnsAndBars) {
    TempDir dir;
    // Lines 0 to 308, to Monday 16:40; line 308 has no open interest.
    const std::string in = dir.Write("in.txt", FiveMinuteLines(309));
    const std::string out = dir.Path("out.txt");
    struct Row {
        const char* name;
        std::vector<std::string> options;
        std::string want;  // the whole output
    };
    const Row rows[] = {
        {"daily from 17:00, volume and open interest",
         {"-p", "day", "--session-start", "-07:00", "--volume", "--open-interest"},
         "1.7.2001 16:55 0.00000 24.00 0.00000 23.00 240 123\r\n"
         "1.8.2001 16:40 24.00 309.00 24.00 308.00 2850 407\r\n"},
        {"the same with = and a header",
         {"-p", "day", "--session-start=-07:00", "--header", "--delimiter", "comma"},
         "date time, open, high, low, close\r\n"
         "1.7.2001 16:55, 0.00000, 24.00, 0.00000, 23.00\r\n"
         "1.8.2001 16:40, 24.00, 309.00, 24.00, 308.00\r\n"},
        {"12 hours, iso",
         {"-p", "12h", "--stamp", "iso", "--open-interest"},
         "2001-01-07T23:55:00 0.00000 108.00 0.00000 107.00 207\r\n"
         "2001-01-08T11:55:00 108.00 252.00 108.00 251.00 351\r\n"
         "2001-01-08T16:40:00 252.00 309.00 252.00 308.00 407\r\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<std::string> args = {"bars", "-d", "5", "-t", "6"};
        args.insert(args.end(), row.options.begin(), row.options.end());
        args.push_back(in);
        args.push_back(out);
        const Result got = Varn(args);
        ASSERT_EQ(got.code, ExitOk) << got.err;
        EXPECT_EQ(ReadAll(out), row.want);
    }
}

// Runs the varn binary through the shell in dir; its exit code and output.
// varn with command line through the shell in dir.
Result Shell(const TempDir& dir, const std::string& command) {
    return testing::Shell(dir, testing::kVarn + " " + command);
}

TEST(VarnBinary, DetectsOnePriceLinesAndBuildsTheirBars) {
    TempDir dir;
    std::string ticks = "Date Time Price Volume\n";
    for (int i = 0; i < 150; ++i) {
        ticks += "2001/01/02 " + std::to_string(10 + i / 60) + ":" + std::to_string(i % 60 / 10) +
                 std::to_string(i % 10) + ":30 " + std::to_string(i) + ".5 " +
                 (i % 50 == 0 ? "" : std::to_string(i % 3)) + "\n";
    }
    dir.Write("ticks.txt", ticks);
    Result got = Shell(dir, "detect ticks.txt");
    EXPECT_EQ(got.code, 0);
    EXPECT_NE(got.out.find("\nprices: single\n"), std::string::npos) << got.out;

    got = Shell(dir, "bars -p 90min --volume ticks.txt -");
    EXPECT_EQ(got.code, 0);
    EXPECT_EQ(got.out,
              "1.2.2001 10:29 0.5000 29.50 0.5000 29.50 30\r\n"
              "1.2.2001 11:59 30.50 119.50 30.50 119.50 87\r\n"
              "1.2.2001 12:29 120.50 149.50 120.50 149.50 30\r\n");

    // Four prices asked for: nothing fits.
    got = Shell(dir, "bars --prices ohlc ticks.txt out.txt 2>/dev/null");
    EXPECT_EQ(got.code, 1);
    EXPECT_EQ(dir.Listing(), "ticks.txt ");
}

TEST(VarnBinary, ListsRefusesChoosesAndSplitsSymbols) {
    TempDir dir;
    std::string lines = "symbol;date;time;price\n";
    for (int i = 0; i < 120; ++i) {
        lines += std::string(i % 3 == 0 ? "ES" : "NQ/Z4") +
                 ";2024-01-02;09:" + std::to_string(10 + i / 3) + ":00;" + std::to_string(100 + i) +
                 "\n";
    }
    dir.Write("two.csv", lines);
    Result got = Shell(dir, "detect two.csv");
    EXPECT_EQ(got.code, 0);
    EXPECT_NE(got.out.find("symbols: ES (40 lines), NQ/Z4 (80 lines)"), std::string::npos)
        << got.out;

    got = Shell(dir, "bars -p day two.csv out.txt");
    EXPECT_EQ(got.code, 1);
    EXPECT_NE(got.err.find("two.csv: 2 symbols: ES, NQ/Z4; choose one with --symbol"),
              std::string::npos)
        << got.err;
    got = Shell(dir, "bars -p day --symbol NQ/Z4 two.csv -");
    EXPECT_EQ(got.out, "1.2.2024 9:49 101.00 219.00 101.00 219.00\r\n");

    got = Shell(dir, "bars -p day --split split two.csv && cat split/ES.txt split/NQ_Z4.txt");
    EXPECT_EQ(got.code, 0) << got.err;
    EXPECT_EQ(got.out,
              "1.2.2024 9:49 100.00 217.00 100.00 217.00\r\n"
              "1.2.2024 9:49 101.00 219.00 101.00 219.00\r\n");
    EXPECT_EQ(dir.Listing(), "split two.csv ");
}

}  // namespace
}  // namespace varn::cli
