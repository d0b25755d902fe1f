#include "bars/build_bars.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "bars/bar_input.h"
#include "test_support.h"

namespace varn {
namespace {

using testing::ReadAll;
using testing::TempDir;

const RegionalNames kNames = EnglishRegionalNames();

BarInputLines Lines(const std::string& text) {
    BarInputLines lines;
    lines.Assign(text);
    return lines;
}

// Daily lines from month/day first to last of 2001, price = day of year.
std::string Daily(int first_month, int first_day, int last_month, int last_day) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    std::string text;
    int n = 0;
    for (int m = 1; m <= 12; ++m) {
        for (int d = 1; d <= days[m - 1]; ++d) {
            ++n;
            if (m < first_month || (m == first_month && d < first_day)) continue;
            if (m > last_month || (m == last_month && d > last_day)) return text;
            text += std::to_string(m) + "/" + std::to_string(d) + "/2001 " + std::to_string(n) +
                    " " + std::to_string(n + 1) + " " + std::to_string(n - 1) + " " +
                    std::to_string(n) + "\n";
        }
    }
    return text;
}

BarChoices Settings(int period, Delimiter delimiter = Delimiter::Space) {
    BarChoices choices;
    choices.date_layout = DateLayout::MMDDYYYYSlash;
    choices.time_layout = TimeLayout::NotIndicated;
    choices.period = static_cast<BarPeriod>(period);
    choices.delimiter = delimiter;
    choices.names = kNames;
    return choices;
}

using Bars = std::vector<std::string>;

// The bars of lines in memory, as the window builds them.
Bars BuildBars(const BarInputLines& lines, const BarChoices& choices,
               const JobCallbacks& callbacks = {}, JobReport* report = nullptr) {
    Bars bars;
    const JobReport got =
        RunBars(LineSource::Lines(lines, "lines"), Destination::Lines(bars), choices, callbacks);
    EXPECT_TRUE(got.ok()) << got.status.Message();
    if (report != nullptr) *report = got;
    return bars;
}

TEST(RunBars, GivesABarForEveryPeriodIncludingFirstAndLast) {
    struct Row {
        const char* name;
        std::string text;
        int period;
        Bars want;
    };
    const Row rows[] = {
        {"15 January to 3 April, monthly",
         Daily(1, 15, 4, 3),
         5,
         {"1.31.2001 15.00 32.00 14.00 31.00", "2.28.2001 32.00 60.00 31.00 59.00",
          "3.31.2001 60.00 91.00 59.00 90.00", "4.3.2001 91.00 94.00 90.00 93.00"}},
        {"last line alone in its month",
         Daily(2, 27, 3, 1),
         5,
         {"2.28.2001 58.00 60.00 57.00 59.00", "3.1.2001 60.00 61.00 59.00 60.00"}},
        {"one line", "01/02/2001 1.5 1.6 1.4 1.55\n", 3, {"1.2.2001 1.5000 1.6000 1.4000 1.5500"}},
        {"no lines", "", 3, {}},
        {"one key", Daily(1, 1, 1, 3), 7, {"1.3.2001 1.0000 4.0000 0.00000 3.0000"}},
        {"quarters",
         Daily(3, 30, 4, 2),
         6,
         {"3.31.2001 89.00 91.00 88.00 90.00", "4.2.2001 91.00 93.00 90.00 92.00"}},
        {"a failing line is skipped whole",
         "01/30/2001 1 5 1 2\n01/31/2001 2 9 0.5 3\nxx/01/2001 9 99 0.01 9\n02/01/2001 4 6 3 5\n",
         5,
         {"1.31.2001 1.0000 9.0000 0.5000 3.0000", "2.1.2001 4.0000 6.0000 3.0000 5.0000"}},
        {"a change of month on a failing line still splits",
         "01/31/2001 1 2 0.5 1.5\n02/01/2001 broken\n02/02/2001 3 4 2 3.5\n",
         5,
         {"1.31.2001 1.0000 2.0000 0.5000 1.5000", "2.2.2001 3.0000 4.0000 2.0000 3.5000"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(BuildBars(Lines(row.text), Settings(row.period)), row.want);
    }
}

TEST(RunBars, WritesTheCommaDelimiter) {
    const Bars bars =
        BuildBars(Lines("01/02/2001 1271.75 1273.5 1271 0.5\n"), Settings(3, Delimiter::Comma));
    EXPECT_EQ(bars, (Bars{"1.2.2001, 1271.75, 1273.50, 1271.00, 0.5000"}));
}

TEST(RunBars, StopKeepsTheClosedBarsAndDropsTheOpenOne) {
    const BarInputLines lines = Lines(Daily(1, 1, 12, 31));
    int asked = 0;
    std::vector<int> steps;
    JobCallbacks progress;
    progress.step = [&steps](int percent) { steps.push_back(percent); };
    // Stop while reading March (line 70 of the year).
    progress.stop_requested = [&asked] { return ++asked > 70; };
    JobReport report;
    const Bars bars = BuildBars(lines, Settings(5), progress, &report);
    EXPECT_TRUE(report.stopped);
    ASSERT_EQ(bars.size(), 2U);
    EXPECT_EQ(bars[1].substr(0, 9), "2.28.2001");
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(steps.front(), 0);

    // Run to the end, the progress reaches 100.
    steps.clear();
    progress.stop_requested = [] { return false; };
    EXPECT_EQ(BuildBars(lines, Settings(5), progress, &report).size(), 12U);
    EXPECT_FALSE(report.stopped);
    EXPECT_EQ(steps.back(), 100);
    EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end()));
}

TEST(RunBars, StreamsTheSameBarsToAFile) {
    TempDir dir;
    const std::string text = Daily(1, 15, 4, 3);
    const std::string in = dir.Write("in.txt", text);
    ASSERT_TRUE(
        RunBars(LineSource::File(in), Destination::File(dir.Path("out.txt")), Settings(5)).ok());
    std::string want;
    for (const std::string& bar : BuildBars(Lines(text), Settings(5))) want += bar + "\r\n";
    EXPECT_EQ(ReadAll(dir.Path("out.txt")), want);
}

TEST(BarInputLines, EditsLinesInPlace) {
    BarInputLines lines;
    lines.Assign("a\r\nb\rc\n");
    ASSERT_EQ(lines.Count(), 3U);
    lines.Replace(1, "B");
    lines.Insert(0, "first");
    lines.Append("last");
    lines.Remove(3);
    // Replacing a line by a view of another line of the store itself.
    lines.Replace(0, lines.Line(1));
    std::vector<std::string> got;
    for (std::size_t i = 0; i < lines.Count(); ++i) got.emplace_back(lines.Line(i));
    EXPECT_EQ(got, (std::vector<std::string>{"a", "a", "B", "last"}));
}

}  // namespace
}  // namespace varn
