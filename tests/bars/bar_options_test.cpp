// The bar job's further choices end to end: volume and open interest columns,
// one-price lines, bar lengths in minutes, session starts, stamp styles and
// the header; and every choice at its default giving the bars of before.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bars/bar_input.h"
#include "bars/build_bars.h"
#include "test_support.h"
#include "text/numbers.h"

namespace varn {
namespace {

const RegionalNames kNames = EnglishRegionalNames();
using Bars = std::vector<std::string>;
using Lines = std::vector<std::string>;

// Lines "MM/DD/YYYY,HH:MM:SS,..." read with date layout 5 and time layout 1.
BarChoices Timed(BarPeriod period) {
    BarChoices choices;
    choices.date_layout = DateLayout::MMDDYYYYSlash;
    choices.time_layout = TimeLayout::SemicolonHms;
    choices.period = period;
    choices.names = kNames;
    return choices;
}

// Lines "MM/DD/YYYY ..." without times.
BarChoices Daily(BarPeriod period) {
    BarChoices choices = Timed(period);
    choices.time_layout = TimeLayout::NotIndicated;
    return choices;
}

Bars BuildOf(const Lines& lines, const BarChoices& choices, JobReport* report = nullptr) {
    BarInputLines store;
    for (const std::string& line : lines) store.Append(line);
    Bars bars;
    const JobReport got =
        RunBars(LineSource::Lines(store, "lines"), Destination::Lines(bars), choices);
    EXPECT_TRUE(got.ok()) << got.status.Message();
    if (report != nullptr) *report = got;
    return bars;
}

// A line at a moment whose four prices are all n (so each bar's open and
// close tell its first and last line).
std::string At(const char* moment, int n) {
    const std::string p = std::to_string(n);
    return std::string(moment) + "," + p + "," + p + "," + p + "," + p;
}

struct JobRow {
    const char* name;
    Lines lines;
    BarChoices choices;
    std::function<void(BarChoices&)> set;
    Bars want;
};

void Check(const JobRow& row) {
    SCOPED_TRACE(row.name);
    BarChoices choices = row.choices;
    if (row.set) row.set(choices);
    EXPECT_EQ(BuildOf(row.lines, choices), row.want);
}

TEST(RunBars, AddsVolumeAndOpenInterestColumns) {
    const Lines daily = {
        "01/30/2001 1 5 1 2 1200 30", "01/31/2001 2 9 0.5 3 24000 41", "02/01/2001 4 6 3 5 0.25",
        "02/02/2001 4 6 3 5 0.125 -", "02/05/2001 4 6 3 5 1e3 12.5",   "03/01/2001 1 1 1 1",
        "03/xx/2001 1 1 1 1 1 1",  // a broken line
    };
    const JobRow rows[] = {
        {"volume, comma",
         daily,
         Daily(BarPeriod::Month),
         [](BarChoices& c) {
             c.volume = true;
             c.delimiter = Delimiter::Comma;
         },
         {"1.31.2001, 1.0000, 9.0000, 0.5000, 3.0000, 25200",
          "2.5.2001, 4.0000, 6.0000, 3.0000, 5.0000, 1000.375",
          "3.1.2001, 1.0000, 1.0000, "
          "1.0000, 1.0000, 0"}},
        {"open interest of the last line with one",
         daily,
         Daily(BarPeriod::Month),
         [](BarChoices& c) { c.open_interest = true; },
         {"1.31.2001 1.0000 9.0000 0.5000 3.0000 41", "2.5.2001 4.0000 6.0000 3.0000 5.0000 12.5",
          "3.1.2001 1.0000 1.0000 1.0000 1.0000 0"}},
        {"both",
         daily,
         Daily(BarPeriod::Year),
         [](BarChoices& c) {
             c.volume = true;
             c.open_interest = true;
         },
         {"3.1.2001 1.0000 9.0000 0.5000 1.0000 26200.375 12.5"}},
        {"a later line without open interest keeps the earlier one",
         {"01/30/2001 1 1 1 1 5 7", "01/31/2001 1 1 1 1 5"},
         Daily(BarPeriod::Month),
         [](BarChoices& c) { c.open_interest = true; },
         {"1.31.2001 1.0000 1.0000 1.0000 1.0000 7"}},
        {"sums to eight decimals, no float noise",
         {"01/30/2001 1 1 1 1 0.1", "01/31/2001 1 1 1 1 0.2", "02/01/2001 1 1 1 1 0.000000001",
          "03/01/2001 1 1 1 1 -3.5"},
         Daily(BarPeriod::Month),
         [](BarChoices& c) { c.volume = true; },
         {"1.31.2001 1.0000 1.0000 1.0000 1.0000 0.3", "2.1.2001 1.0000 1.0000 1.0000 1.0000 0",
          "3.1.2001 1.0000 1.0000 1.0000 1.0000 -3.5"}},
    };
    for (const JobRow& row : rows) Check(row);
}

TEST(RunBars, CountsLinesWithoutVolume) {
    JobReport report;
    BarChoices choices = Daily(BarPeriod::Month);
    choices.volume = true;
    BuildOf({"01/30/2001 1 1 1 1 5", "01/31/2001 1 1 1 1", "02/01/2001 1 1 1 1 x",
             "02/02/2001 1 1 1", "02/03/2001 1 1 1 1 0"},
            choices, &report);
    EXPECT_EQ(report.lines_used, 4);
    EXPECT_EQ(report.lines_skipped, 1);
    EXPECT_EQ(report.lines_without_volume, 2) << "the broken line is not counted";

    // Without the volume column nothing is counted.
    choices.volume = false;
    BuildOf({"01/31/2001 1 1 1 1"}, choices, &report);
    EXPECT_EQ(report.lines_without_volume, 0);
}

TEST(RunBars, ReadsOnePriceLines) {
    const Lines ticks = {
        "01/02/2001,09:00:01,1.5,200",  "01/02/2001,09:00:30,1.75",
        "01/02/2001,09:04:59,1.25,100", "01/02/2001,09:05:00,1.5,1.5,1.5,1.5,9",
        "01/02/2001,09:06:00",
    };
    const JobRow rows[] = {
        {"five-minute bars with volume",
         ticks,
         Timed(BarPeriod::FiveMinutes),
         [](BarChoices& c) {
             c.prices = PriceForm::Single;
             c.volume = true;
         },
         {"1.2.2001 9:4 1.5000 1.7500 1.2500 1.2500 300",
          "1.2.2001 9:5 1.5000 1.5000 1.5000 "
          "1.5000 1.5"}},
        {"no open interest in the single form",
         ticks,
         Timed(BarPeriod::Day),
         [](BarChoices& c) {
             c.prices = PriceForm::Single;
             c.open_interest = true;
         },
         {"1.2.2001 9:5 1.5000 1.7500 1.2500 1.5000 0"}},
        {"Auto reads four prices when the layouts are given",
         ticks,
         Timed(BarPeriod::Day),
         [](BarChoices& c) { c.prices = PriceForm::Auto; },
         {"1.2.2001 9:5 1.5000 1.5000 1.5000 1.5000"}},
    };
    for (const JobRow& row : rows) Check(row);
}

TEST(RunBars, BarsOfMinutesBeginOnTheirBoundaries) {
    const JobRow rows[] = {
        {"20 minutes across midnight",
         {At("01/01/2001,23:39:59", 1), At("01/01/2001,23:40:00", 2), At("01/01/2001,23:59:59", 3),
          At("01/02/2001,00:00:00", 4), At("01/02/2001,00:19:00", 5), At("01/02/2001,00:20:00", 6)},
         Timed(BarPeriod::Month),
         [](BarChoices& c) { c.period_minutes = 20; },
         {"1.1.2001 23:39 1.0000 1.0000 1.0000 1.0000",
          "1.1.2001 23:59 2.0000 3.0000 2.0000 3.0000", "1.2.2001 0:19 4.0000 5.0000 4.0000 5.0000",
          "1.2.2001 0:20 6.0000 6.0000 6.0000 6.0000"}},
        {"20 minutes across the epoch: the bar before it is its own",
         {At("09/08/1850,23:40:00", 1), At("09/08/1850,23:59:59", 2), At("09/09/1850,00:00:00", 3),
          At("09/09/1850,00:19:59", 4)},
         Timed(BarPeriod::Month),
         [](BarChoices& c) { c.period_minutes = 20; },
         {"9.8.1850 23:59 1.0000 2.0000 1.0000 2.0000",
          "9.9.1850 0:19 3.0000 4.0000 3.0000 4.0000"}},
        {"90 minutes",
         {At("01/02/2001,01:29:00", 1), At("01/02/2001,01:30:00", 2), At("01/02/2001,02:59:00", 3),
          At("01/02/2001,03:00:00", 4)},
         Timed(BarPeriod::Month),
         [](BarChoices& c) { c.period_minutes = 90; },
         {"1.2.2001 1:29 1.0000 1.0000 1.0000 1.0000", "1.2.2001 2:59 2.0000 3.0000 2.0000 3.0000",
          "1.2.2001 3:0 4.0000 4.0000 4.0000 4.0000"}},
        {"4 hours with a session start at 09:30",
         {At("01/02/2001,09:29:00", 1), At("01/02/2001,09:30:00", 2), At("01/02/2001,13:29:00", 3),
          At("01/02/2001,13:30:00", 4)},
         Timed(BarPeriod::Month),
         [](BarChoices& c) {
             c.period_minutes = 240;
             c.session_offset_minutes = 570;
         },
         {"1.2.2001 9:29 1.0000 1.0000 1.0000 1.0000", "1.2.2001 13:29 2.0000 3.0000 2.0000 3.0000",
          "1.2.2001 13:30 4.0000 4.0000 4.0000 4.0000"}},
    };
    for (const JobRow& row : rows) Check(row);
}

TEST(RunBars, SessionStartMovesMinuteToWeekBars) {
    // 5 January 2001 is a Friday, the 7th a Sunday, the 8th a Monday.
    const Lines around_sunday = {
        At("01/05/2001,16:59:00", 1), At("01/05/2001,17:00:00", 2), At("01/07/2001,16:59:00", 3),
        At("01/07/2001,17:00:00", 4), At("01/08/2001,16:59:00", 5), At("01/08/2001,17:00:00", 6),
    };
    const auto from_17 = [](BarChoices& c) { c.session_offset_minutes = -420; };
    const JobRow rows[] = {
        {"hourly bars from 09:30",
         {At("01/02/2001,09:00:00", 1), At("01/02/2001,09:29:59", 2), At("01/02/2001,09:30:00", 3),
          At("01/02/2001,10:29:00", 4), At("01/02/2001,10:30:00", 5)},
         Timed(BarPeriod::Hour),
         [](BarChoices& c) { c.session_offset_minutes = 570; },
         {"1.2.2001 9:29 1.0000 2.0000 1.0000 2.0000", "1.2.2001 10:29 3.0000 4.0000 3.0000 4.0000",
          "1.2.2001 10:30 5.0000 5.0000 5.0000 5.0000"}},
        {"days from 17:00 the day before",
         around_sunday,
         Timed(BarPeriod::Day),
         from_17,
         {"1.5.2001 16:59 1.0000 1.0000 1.0000 1.0000", "1.5.2001 17:0 2.0000 2.0000 2.0000 2.0000",
          "1.7.2001 16:59 3.0000 3.0000 3.0000 3.0000",
          "1.8.2001 16:59 4.0000 5.0000 4.0000 5.0000",  // Sunday evening is Monday's
          "1.8.2001 17:0 6.0000 6.0000 6.0000 6.0000"}},
        {"weeks from Sunday 17:00",
         around_sunday,
         Timed(BarPeriod::Week),
         from_17,
         {"1.7.2001 16:59 1.0000 3.0000 1.0000 3.0000",
          "1.8.2001 17:0 4.0000 6.0000 4.0000 6.0000"}},
        {"weeks from Monday 00:00 without it",
         around_sunday,
         Timed(BarPeriod::Week),
         {},
         {"1.7.2001 17:0 1.0000 4.0000 1.0000 4.0000",
          "1.8.2001 17:0 5.0000 6.0000 5.0000 6.0000"}},
        {"months keep their calendar keys",
         {At("01/31/2001,20:00:00", 1), At("02/01/2001,01:00:00", 2)},
         Timed(BarPeriod::Month),
         from_17,
         {"1.31.2001 20:0 1.0000 1.0000 1.0000 1.0000",
          "2.1.2001 1:0 2.0000 2.0000 2.0000 2.0000"}},
    };
    for (const JobRow& row : rows) Check(row);
}

TEST(RunBars, WritesIsoStampsAndTheHeader) {
    const Lines timed = {At("01/02/2001,16:00:05", 1), At("01/03/2001,09:05:00", 2)};
    const JobRow rows[] = {
        {"iso with times",
         timed,
         Timed(BarPeriod::Day),
         [](BarChoices& c) { c.stamp = StampStyle::Iso; },
         {"2001-01-02T16:00:05 1.0000 1.0000 1.0000 1.0000",
          "2001-01-03T09:05:00 2.0000 2.0000 2.0000 2.0000"}},
        {"iso without a time layout",
         {"01/02/0950 1 1 1 1", "01/03/2001 2 2 2 2"},
         Daily(BarPeriod::Day),
         [](BarChoices& c) { c.stamp = StampStyle::Iso; },
         {"0950-01-02 1.0000 1.0000 1.0000 1.0000", "2001-01-03 2.0000 2.0000 2.0000 2.0000"}},
        {"header, comma",
         timed,
         Timed(BarPeriod::Year),
         [](BarChoices& c) {
             c.header = true;
             c.delimiter = Delimiter::Comma;
         },
         {"date time, open, high, low, close", "1.3.2001 9:5, 1.0000, 2.0000, 1.0000, 2.0000"}},
        {"header with every column, and no bars",
         {},
         Timed(BarPeriod::Year),
         [](BarChoices& c) {
             c.header = true;
             c.volume = true;
             c.open_interest = true;
         },
         {"date time open high low close volume open_interest"}},
    };
    for (const JobRow& row : rows) Check(row);

    JobReport report;
    BarChoices choices = Timed(BarPeriod::Day);
    choices.header = true;
    BuildOf(timed, choices, &report);
    EXPECT_EQ(report.lines_written, 3);
    EXPECT_EQ(report.bars_written, 2) << "the header is not a bar";
}

// More than 100 one-price lines, after a header.
std::string TickFile(int count) {
    std::string text = "Date,Time,Price,Volume\n";
    for (int i = 0; i < count; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "01/02/2001,%02d:%02d:00,%d.25,%d\n", 9 + i / 60, i % 60,
                      i, 10 * i);
        text += line;
    }
    return text;
}

TEST(RunBars, DetectionChoosesTheFormOfPrices) {
    struct DetectRow {
        const char* name;
        std::string text;
        PriceForm asked;
        bool detected;
        PriceForm used;
    };
    std::string four = "Date,Time,O,H,L,C\n";
    for (int i = 0; i < 120; ++i) {
        four += "01/02/2001," + std::to_string(10 + i / 60) + ":" + std::to_string(10 + i % 50) +
                ":00,1,2,0.5,1.5,7\n";
    }
    const DetectRow rows[] = {
        {"four prices", four, PriceForm::Auto, true, PriceForm::Ohlc},
        {"one price", TickFile(120), PriceForm::Auto, true, PriceForm::Single},
        {"one price, asked for", TickFile(120), PriceForm::Single, true, PriceForm::Single},
        {"one price where four are asked for", TickFile(120), PriceForm::Ohlc, false,
         PriceForm::Ohlc},
    };
    for (const DetectRow& row : rows) {
        SCOPED_TRACE(row.name);
        testing::TempDir dir;
        BarChoices choices;
        choices.prices = row.asked;
        const JobReport report =
            RunDetect(LineSource::File(dir.Write("in.txt", row.text)), choices);
        ASSERT_EQ(report.ok(), row.detected) << report.status.Message();
        if (!row.detected) continue;
        EXPECT_EQ(*report.layouts, (UsedLayouts{DateLayout::MMDDYYYYSlash, TimeLayout::SemicolonHm,
                                                true, row.used}));
    }

    // The job then reads the lines as detected.
    BarInputLines store;
    store.Assign(TickFile(120));
    BarChoices choices;
    choices.period = BarPeriod::Hour;
    choices.volume = true;
    Bars bars;
    const JobReport report =
        RunBars(LineSource::Lines(store, "ticks"), Destination::Lines(bars), choices);
    ASSERT_TRUE(report.ok()) << report.status.Message();
    EXPECT_EQ(report.layouts->prices, PriceForm::Single);
    EXPECT_EQ(bars, (Bars{"1.2.2001 9:59 0.2500 59.25 0.2500 59.25 17700",
                          "1.2.2001 10:59 60.25 119.25 60.25 119.25 53700"}));
}

TEST(RunBars, RefusesLengthsAndStartsOutOfRange) {
    struct BadRow {
        const char* name;
        int minutes;
        int offset;
    };
    const BadRow rows[] = {
        {"7 minutes", 7, 0},           {"a negative length", -5, 0}, {"two days", 2880, 0},
        {"a start of 24:00", 0, 1440}, {"-24:00", 0, -1440},
    };
    for (const BadRow& row : rows) {
        SCOPED_TRACE(row.name);
        testing::TempDir dir;
        const std::string out = dir.Write("out.txt", "precious");
        BarChoices choices = Daily(BarPeriod::Day);
        choices.period_minutes = row.minutes;
        choices.session_offset_minutes = row.offset;
        const JobReport report =
            RunBars(LineSource::File(dir.Write("in.txt", "01/02/2001 1 1 1 1\n")),
                    Destination::File(out), choices);
        EXPECT_FALSE(report.ok());
        EXPECT_EQ(report.status.error, std::make_error_code(std::errc::invalid_argument));
        EXPECT_EQ(testing::ReadAll(out), "precious");
    }
}

TEST(RunBars, HandsEveryBarToTheCallback) {
    std::vector<BuiltBar> got;
    std::vector<std::string> texts;
    BarChoices choices = Daily(BarPeriod::Month);
    choices.volume = true;
    choices.on_bar = [&](const BuiltBar& bar) {
        got.push_back(bar);
        texts.emplace_back(bar.stamp);
        texts.emplace_back(bar.line);
    };
    const Bars bars =
        BuildOf({"01/30/2001 1 5 1 2 10", "01/31/2001 2 9 0.5 3 5", "02/01/2001 4 6 3 5"}, choices);
    ASSERT_EQ(got.size(), 2U);
    EXPECT_EQ(texts, (std::vector<std::string>{"1.31.2001", bars[0], "2.1.2001", bars[1]}));
    EXPECT_EQ(got[0].date.day, 31);
    EXPECT_EQ(got[0].open, 1);
    EXPECT_EQ(got[0].high, 9);
    EXPECT_EQ(got[0].low, 0.5);
    EXPECT_EQ(got[0].close, 3);
    EXPECT_EQ(got[0].volume, 15);
    EXPECT_EQ(got[1].volume, 0);
    EXPECT_EQ(got[1].open_interest, 0);
}

// The bars of lines parsed and built one at a time by the four-price reader
// and the builder with only the first four settings: the bars as they were
// before any further choice existed.
Bars AsBefore(const Lines& lines, const BarChoices& choices) {
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

TEST(RunBars, EveryChoiceAtItsDefaultGivesTheBarsOfBefore) {
    // Minute lines over four days from a Sunday evening, with every sixth
    // line missing its volume and every 97th broken.
    Lines minutes;
    for (int i = 0; i < 4 * 1440; i += 7) {
        char line[96];
        std::snprintf(line, sizeof line, "01/%02d/2001,%02d:%02d:%02d,%d.5,%d.75,%d.25,%d.5%s",
                      7 + (17 * 60 + i) / 1440, (17 + i / 60) % 24, i % 60, i % 13, i % 100,
                      i % 100 + 1, i % 100, i % 100, i % 6 == 0 ? "" : ",1200,35");
        minutes.push_back(i % 97 == 3 ? std::string("x") + line : std::string(line));
    }
    Lines days;
    for (int d = 1; d <= 28; ++d) {
        days.push_back("02/" + std::to_string(d) + "/2001 " + std::to_string(d) + " " +
                       std::to_string(d + 2) + " " + std::to_string(d - 1) + " 1.25 99");
    }
    // Ways of asking for what the defaults give.
    const std::function<void(BarChoices&)> same_ways[] = {
        [](BarChoices&) {},
        [](BarChoices& c) { c.prices = PriceForm::Ohlc; },
        [](BarChoices& c) {
            c.volume = false;
            c.open_interest = false;
            c.header = false;
            c.stamp = StampStyle::Classic;
            c.session_offset_minutes = 0;
            c.period_minutes = 0;
        },
    };
    for (const Delimiter delimiter : {Delimiter::Space, Delimiter::Comma}) {
        for (int p = 0; p < BarPeriodCount; ++p) {
            const auto period = static_cast<BarPeriod>(p);
            SCOPED_TRACE(std::to_string(p) + (delimiter == Delimiter::Comma ? " comma" : ""));
            BarChoices timed = Timed(period);
            timed.delimiter = delimiter;
            BarChoices daily = Daily(period);
            daily.delimiter = delimiter;
            const Bars want_timed = AsBefore(minutes, timed);
            const Bars want_daily = AsBefore(days, daily);
            ASSERT_FALSE(want_timed.empty());
            for (const auto& same : same_ways) {
                BarChoices t = timed;
                same(t);
                EXPECT_EQ(BuildOf(minutes, t), want_timed);
                BarChoices d = daily;
                same(d);
                EXPECT_EQ(BuildOf(days, d), want_daily);
            }
        }
    }
    // Lengths the list has give its periods' bars.
    const struct {
        int minutes;
        BarPeriod period;
    } lengths[] = {{5, BarPeriod::FiveMinutes},
                   {15, BarPeriod::FifteenMinutes},
                   {60, BarPeriod::Hour},
                   {1440, BarPeriod::Day}};
    for (const auto& length : lengths) {
        SCOPED_TRACE(length.minutes);
        BarChoices choices = Timed(BarPeriod::Year);
        choices.period_minutes = length.minutes;
        EXPECT_EQ(BuildOf(minutes, choices), AsBefore(minutes, Timed(length.period)));
    }
    // And a known case of before, byte for byte.
    EXPECT_EQ(BuildOf(days, Daily(BarPeriod::Week)).front(),
              "2.4.2001 1.0000 6.0000 0.00000 1.2500");
}

}  // namespace
}  // namespace varn

namespace varn {
namespace {

TEST(ReadBarMinutes, TakesLengthsThatDivideADay) {
    struct Row {
        const char* text;
        std::optional<int> want;
    };
    const Row rows[] = {
        {"1min", 1},
        {"3min", 3},
        {"20min", 20},
        {"90min", 90},
        {"1440min", 1440},
        {"1h", 60},
        {"2h", 120},
        {"12h", 720},
        {"24h", 1440},
        {"7min", std::nullopt},
        {"0min", std::nullopt},
        {"2880min", std::nullopt},
        {"5h", std::nullopt},
        {"48h", std::nullopt},
        {"-5min", std::nullopt},
        {"5", std::nullopt},
        {"min", std::nullopt},
        {"5mins", std::nullopt},
        {"5 min", std::nullopt},
        {"", std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(ReadBarMinutes(row.text), row.want);
    }
}

TEST(ReadSessionStart, TakesSignedHoursAndMinutes) {
    struct Row {
        const char* text;
        std::optional<int> want;
    };
    const Row rows[] = {
        {"00:00", 0},
        {"09:30", 570},
        {"9:30", 570},
        {"-07:00", -420},
        {"23:59", 1439},
        {"-23:59", -1439},
        {"24:00", std::nullopt},
        {"12:60", std::nullopt},
        {"9:5", std::nullopt},
        {"093:00", std::nullopt},
        {"09:300", std::nullopt},
        {"+09:30", std::nullopt},
        {"--07:00", std::nullopt},
        {"0930", std::nullopt},
        {":30", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"a9:30", std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(ReadSessionStart(row.text), row.want);
    }
}

TEST(BarStamp, WritesIsoStamps) {
    struct Row {
        ParsedDate date;
        TimeLayout time;
        const char* want;
    };
    const Row rows[] = {
        {{2001, 1, 2, 16, 0, 0}, TimeLayout::SemicolonHms, "2001-01-02T16:00:00"},
        {{2001, 1, 2, 16, 0, 0}, TimeLayout::NotIndicated, "2001-01-02"},
        {{2001, 12, 31, 9, 5, 7}, TimeLayout::BlankAmPm, "2001-12-31T09:05:07"},
        {{850, 3, 4, 0, 0, 0}, TimeLayout::NotIndicated, "0850-03-04"},
        {{-44, 3, 15, 0, 0, 0}, TimeLayout::NotIndicated, "-0044-03-15"},
        {{INT32_MIN, 1, 1, 0, 0, 0}, TimeLayout::NotIndicated, "-2147483648-01-01"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.want);
        EXPECT_EQ(BarStamp(row.date, row.time, StampStyle::Iso), row.want);
        EXPECT_EQ(BarStamp(row.date, row.time, StampStyle::Classic), BarStamp(row.date, row.time));
    }
}

TEST(BarKey, SpansCountFromTheEpochMovedByTheSessionStart) {
    const auto at = [](int y, int mo, int d, int h, int mi) {
        return ParsedDate{y, mo, d, h, mi, 0};
    };
    struct Row {
        const char* name;
        BarSpan span;
        ParsedDate date;
        std::int64_t want;
    };
    const Row rows[] = {
        {"the epoch, 20 minutes", {BarPeriod::Month, 20, 0}, at(1850, 9, 9, 0, 0), 0},
        {"just before it", {BarPeriod::Month, 20, 0}, at(1850, 9, 8, 23, 59), -1},
        {"a day after, 1 minute", {BarPeriod::Month, 1, 0}, at(1850, 9, 10, 0, 0), 1440},
        {"day from 17:00, at 17:00 before the epoch",
         {BarPeriod::Day, 0, -420},
         at(1850, 9, 8, 17, 0),
         0},
        {"day from 17:00, a minute earlier", {BarPeriod::Day, 0, -420}, at(1850, 9, 8, 16, 59), -1},
        {"hour from 09:30", {BarPeriod::Hour, 0, 570}, at(1850, 9, 9, 9, 30), 0},
        {"hour from 09:30, 09:29", {BarPeriod::Hour, 0, 570}, at(1850, 9, 9, 9, 29), -1},
        {"week from Sunday 17:00", {BarPeriod::Week, 0, -420}, at(1850, 9, 15, 17, 0), 1},
        {"month ignores the start", {BarPeriod::Month, 0, -420}, at(2001, 1, 31, 20, 0), 200101},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(WideBarKey(row.span, row.date), row.want);
    }
    // With neither length nor start, the keys of the list's periods.
    for (int p = 0; p < BarPeriodCount; ++p) {
        const auto period = static_cast<BarPeriod>(p);
        const ParsedDate date = at(1999, 7, 4, 13, 47);
        EXPECT_EQ(WideBarKey(BarSpan{period, 0, 0}, date), WideBarKey(period, date)) << p;
    }
}

}  // namespace
}  // namespace varn

namespace varn {
namespace {

TEST(ReadBarFields, ReadsQuantitiesAsTheNumberReaderDoes) {
    const DateNames names(kNames);
    const char* const fields[] = {
        "0",
        "007",
        "123456",
        "123456789012345",
        "1234567890123456",
        "10000000000",
        "12a",
        "1e3",
        "-5",
        "+5",
        "2.5",
        "0x10",
        "$1F",
        ".",
        "1.",
        "99999999999999999999",
    };
    for (const char* field : fields) {
        SCOPED_TRACE(field);
        double want = Missing;
        (void)TextToDouble(field, want);
        // Beyond MaxQuantity a number is taken for a fault of the file.
        const bool reads = !(std::abs(want) >= MaxQuantity);
        for (const PriceForm form : {PriceForm::Ohlc, PriceForm::Single}) {
            BarReading reading;
            reading.form = form;
            reading.volume = true;
            reading.open_interest = true;
            const std::string prices = form == PriceForm::Single ? "1" : "1 1 1 1";
            ParsedDate date;
            BarLine bar;
            ASSERT_EQ(
                ReadBarFields(DateLayout::MMDDYYYYSlash, TimeLayout::NotIndicated, reading,
                              "01/02/2001 " + prices + " " + field + " " + field, names, date, bar),
                reads);
            if (!reads) continue;
            EXPECT_THAT(bar.volume, ::testing::NanSensitiveDoubleEq(want));
            EXPECT_THAT(bar.open_interest,
                        ::testing::NanSensitiveDoubleEq(form == PriceForm::Ohlc ? want : Missing));
        }
    }
}

}  // namespace
}  // namespace varn
