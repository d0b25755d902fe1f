#include "bars/build_bars.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <vector>

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

namespace varn {
namespace {

TEST(RunBars, ReportsLinesUsedAndSkipped) {
    std::string text = "Date Open High Low Close\n";
    text += Daily(1, 1, 4, 30);  // 120 lines
    text += "05/01/2001 1 2\n";
    JobReport report;
    BarChoices choices = Settings(5);
    choices.date_layout.reset();  // detected
    choices.time_layout.reset();
    const Bars bars = BuildBars(Lines(text), choices, {}, &report);
    EXPECT_EQ(bars.size(), 4U);
    EXPECT_EQ(report.lines_read, 122);
    EXPECT_EQ(report.lines_used, 120);
    EXPECT_EQ(report.lines_skipped, 1);
    EXPECT_EQ(report.header_lines, 1);  // named the columns: no record, and not skipped
    EXPECT_EQ(report.bars_written, 4);
    EXPECT_EQ(report.lines_written, 4);
    EXPECT_FALSE(report.stopped);
    ASSERT_TRUE(report.layouts.has_value());
    EXPECT_EQ(*report.layouts,
              (UsedLayouts{DateLayout::MMDDYYYYSlash, TimeLayout::NotIndicated, true}));
    EXPECT_EQ(report.fitting_lines, 100);
    ASSERT_EQ(report.first_skipped.size(), 1U);
    EXPECT_EQ(report.first_skipped[0], (SkippedLine{122, "fewer than four prices"}));
}

TEST(RunBars, KeepsOnlyTheFirstReasons) {
    std::string text;
    for (int i = 0; i < 20; ++i) text += "bad line\n";
    text += "01/02/2001 1.5 1.6 1.4 1.55\n";
    JobReport report;
    BuildBars(Lines(text), Settings(3), {}, &report);
    EXPECT_EQ(report.lines_skipped, 20);
    EXPECT_EQ(report.lines_used, 1);
    ASSERT_EQ(report.first_skipped.size(), JobReport::KeptSkips);
    EXPECT_EQ(report.first_skipped.back().line, static_cast<std::int64_t>(JobReport::KeptSkips));
}

TEST(RunBars, UndetectedLayoutsFailWithTheReason) {
    struct Row {
        const char* name;
        std::string text;
        const char* reason;
    };
    const Row rows[] = {
        {"short file", Daily(1, 1, 1, 31), "100 lines or fewer are not examined"},
        {"nothing fits", std::string(150, '\n'),
         "no date and time layout fits 96 of the first 100 lines"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        const std::string out = dir.Write("out.txt", "precious");
        BarChoices choices;
        const JobReport report = RunBars(LineSource::File(dir.Write("in.txt", row.text)),
                                         Destination::File(out), choices);
        ASSERT_FALSE(report.ok());
        EXPECT_EQ(report.status.error.message(), row.reason);
        // Only a pair that was tried and fell short is told, never as detected.
        EXPECT_TRUE(!report.layouts || !report.layouts->detected);
        EXPECT_EQ(ReadAll(out), "precious");
    }
}

// The bars of lines parsed and built one at a time, without batches or
// threads: what the batched job must give.
Bars OneLineAtATime(const std::vector<std::string>& lines, const BarChoices& choices) {
    const BarSettings settings{*choices.date_layout, *choices.time_layout, choices.period,
                               choices.delimiter};
    const DateNames names(choices.names);
    Bars bars;
    BarBuilder builder(settings, [&bars](std::string_view bar) { bars.emplace_back(bar); });
    for (const std::string& line : lines) {
        ParsedBarLine parsed;
        parsed.ok = ParseBarPrices(settings.date_layout, settings.time_layout, settings.period,
                                   line, names, parsed.date, parsed.bar);
        builder.AddParsed(parsed);
    }
    builder.Finish();
    return bars;
}

TEST(RunBars, BatchesGiveTheBarsOfOneLineAtATime) {
    // Minute lines with a new hour every 60 lines, so bars close just before,
    // at and after each batch boundary; every 97th line does not read.
    std::vector<std::string> lines;
    const std::size_t count = 3 * 8192 + 61;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t minutes = i;
        char line[80];
        std::snprintf(line, sizeof line, "%02zu/%02zu/2001,%02zu:%02zu,%zu.5,%zu.75,%zu.25,%zu.5",
                      minutes / 1440 / 28 + 1, minutes / 1440 % 28 + 1, minutes / 60 % 24,
                      minutes % 60, i % 1000, i % 1000, i % 1000, i % 1000);
        lines.push_back(i % 97 == 5 ? std::string("broken ") + line : std::string(line));
    }
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    TempDir dir;
    const std::string in = dir.Write("in.txt", text);
    for (const BarPeriod period : {BarPeriod::FiveMinutes, BarPeriod::Hour, BarPeriod::Day}) {
        SCOPED_TRACE(Number(period));
        BarChoices choices = Settings(Number(period));
        choices.time_layout = TimeLayout::SemicolonHms;
        const Bars want = OneLineAtATime(lines, choices);
        ASSERT_GT(want.size(), 10U);
        EXPECT_EQ(BuildBars(Lines(text), choices), want) << "lines in memory";
        Bars streamed;
        const JobReport report =
            RunBars(LineSource::File(in), Destination::Lines(streamed), choices);
        EXPECT_TRUE(report.ok());
        EXPECT_EQ(streamed, want) << "lines from a file";
        EXPECT_EQ(report.lines_read, static_cast<std::int64_t>(count));
        EXPECT_EQ(report.lines_skipped, static_cast<std::int64_t>((count - 5 + 96) / 97));
    }
}

TEST(RunDetect, SaysWhatFitsWithoutWriting) {
    TempDir dir;
    BarChoices choices;
    const JobReport report =
        RunDetect(LineSource::File(dir.Write("in.txt", Daily(1, 1, 6, 30))), choices);
    ASSERT_TRUE(report.ok()) << report.status.Message();
    EXPECT_EQ(report.lines_read, static_cast<std::int64_t>(DetectFirstLines));
    EXPECT_EQ(*report.layouts,
              (UsedLayouts{DateLayout::MMDDYYYYSlash, TimeLayout::NotIndicated, true}));
    EXPECT_EQ(report.fitting_lines, 100);
}

}  // namespace
}  // namespace varn
