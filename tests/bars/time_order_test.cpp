// Bars by time whatever the order of the lines: newest first, shuffled,
// overlapping downloads and lines written twice all give the bars of the
// sorted file; keep gives the runs of before; several symbols are refused,
// chosen from or split.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "bars/bar_input.h"
#include "bars/build_bars.h"
#include "test_support.h"

namespace varn {
namespace {

using ::testing::HasSubstr;
using Lines = std::vector<std::string>;
using Bars = std::vector<std::string>;

BarChoices Minutes(BarPeriod period, int minutes = 0) {
    BarChoices choices;
    choices.date_layout = DateLayout::MMDDYYYYSlash;
    choices.time_layout = TimeLayout::SemicolonHms;
    choices.period = period;
    choices.period_minutes = minutes;
    choices.volume = true;
    return choices;
}

// Three days of minute lines, 09:30 to 11:29, prices wandering so that no two
// neighbours agree, volumes all different; one line in 23 has its prices
// written with 4 decimals, the others with 2.
Lines SortedMinutes() {
    Lines lines;
    std::mt19937 random(7);
    double price = 100;
    for (int day = 2; day <= 4; ++day) {
        for (int minute = 9 * 60 + 30; minute < 11 * 60 + 30; ++minute) {
            price += static_cast<int>(random() % 21) * 0.25 - 2.5;
            char line[96];
            const int digits = lines.size() % 23 == 5 ? 4 : 2;
            std::snprintf(line, sizeof line, "01/%02d/2024,%02d:%02d:00,%.*f,%.*f,%.*f,%.*f,%d",
                          day, minute / 60, minute % 60, digits, price, digits, price + 1, digits,
                          price - 1, digits, price + 0.5, static_cast<int>(lines.size()) + 1);
            lines.emplace_back(line);
        }
    }
    return lines;
}

JobReport Build(const Lines& lines, const BarChoices& choices, Bars& bars) {
    BarInputLines store;
    for (const std::string& line : lines) store.Append(line);
    return RunBars(LineSource::Lines(store, "lines"), Destination::Lines(bars), choices);
}

struct OrderRow {
    const char* name;
    Lines (*arrange)(const Lines&);
    const char* note;  // a note the report must carry ("" for none)
    int duplicates;    // lines counted once
};

const OrderRow kOrders[] = {
    {"sorted", [](const Lines& l) { return l; }, "", 0},
    {"newest first", [](const Lines& l) { return Lines(l.rbegin(), l.rend()); },
     "read newest first", 0},
    {"shuffled",
     [](const Lines& l) {
         Lines out = l;
         std::shuffle(out.begin(), out.end(), std::mt19937(11));
         return out;
     },
     "lines out of time order", 0},
    {"two downloads overlapping by 100 lines",
     [](const Lines& l) {
         Lines out(l.begin(), l.begin() + 250);
         out.insert(out.end(), l.begin() + 150, l.end());
         return out;
     },
     "100 duplicate lines counted once", 100},
    {"neighbours swapped and every 50th line doubled",
     [](const Lines& l) {
         Lines out;
         for (std::size_t i = 0; i < l.size(); ++i) {
             out.push_back(l[i]);
             if (i % 50 == 7) out.push_back(l[i]);
         }
         for (std::size_t i = 20; i + 1 < out.size(); i += 40) std::swap(out[i], out[i + 1]);
         return out;
     },
     "8 duplicate lines counted once", 8},
};

TEST(TimeOrder, AnyArrangementGivesTheBarsOfTheSortedFile) {
    const Lines sorted = SortedMinutes();
    // Prices with as many decimals as their bar's lines, stamps of the
    // periods' starts: the most decimals of a bar's lines, whichever came first.
    BarChoices digits = Minutes(BarPeriod::Hour, 15);
    digits.decimals = DecimalsAsInput;
    digits.stamp_time = StampTime::Start;
    const BarChoices periods[] = {Minutes(BarPeriod::Day), Minutes(BarPeriod::Hour),
                                  Minutes(BarPeriod::Hour, 15), Minutes(BarPeriod::Month), digits};
    for (const BarChoices& base : periods) {
        Bars want;
        ASSERT_TRUE(Build(sorted, base, want).ok());
        for (const OrderRow& row : kOrders) {
            // One thread and blocks of a few lines, or the default blocks on
            // two threads: a line going back is found between blocks and inside.
            for (const std::size_t block_bytes : {std::size_t{0}, std::size_t{97}}) {
                SCOPED_TRACE(std::string(row.name) + ", minutes " +
                             std::to_string(base.period_minutes) + ", block bytes " +
                             std::to_string(block_bytes));
                BarChoices choices = base;
                choices.block_bytes = block_bytes;
                choices.threads = block_bytes == 0 ? 2 : 1;
                Bars got;
                const JobReport report = Build(row.arrange(sorted), choices, got);
                ASSERT_TRUE(report.ok()) << report.status.Message();
                EXPECT_EQ(got, want);
                EXPECT_EQ(report.duplicate_lines, row.duplicates);
                if (*row.note == '\0') {
                    EXPECT_TRUE(report.notes.empty()) << report.notes.front();
                } else {
                    EXPECT_THAT(report.notes, ::testing::Contains(HasSubstr(row.note)));
                }
            }
        }
    }
}

TEST(TimeOrder, KeepMakesRunsAsTheyStand) {
    const Lines sorted = SortedMinutes();
    BarChoices keep = Minutes(BarPeriod::Day);
    keep.order = TimeOrder::Keep;
    Bars by_time;
    Bars runs;
    ASSERT_TRUE(Build(sorted, Minutes(BarPeriod::Day), by_time).ok());
    ASSERT_TRUE(Build(sorted, keep, runs).ok());
    EXPECT_EQ(runs, by_time);  // a sorted file gives the same bars either way

    // Newest first under keep: a bar a day, newest first, opening at the
    // day's last line and closing at its first, as earlier versions did.
    const Lines newest = {"01/03/2024,10:00:00,5,5,5,5,1", "01/03/2024,09:00:00,4,4,4,4,1",
                          "01/02/2024,10:00:00,3,3,3,3,1", "01/02/2024,10:00:00,3,3,3,3,1",
                          "01/02/2024,09:00:00,2,2,2,2,1"};
    Bars kept;
    ASSERT_TRUE(Build(newest, keep, kept).ok());
    EXPECT_THAT(kept, ::testing::ElementsAre("1.3.2024 9:0 5.0000 5.0000 4.0000 4.0000 2",
                                             "1.2.2024 9:0 3.0000 3.0000 2.0000 2.0000 3"));
    Bars sorted_bars;
    ASSERT_TRUE(Build(newest, Minutes(BarPeriod::Day), sorted_bars).ok());
    EXPECT_THAT(sorted_bars, ::testing::ElementsAre("1.2.2024 10:0 2.0000 3.0000 2.0000 3.0000 2",
                                                    "1.3.2024 10:0 4.0000 5.0000 4.0000 5.0000 2"));
}

TEST(TimeOrder, LinesOfOneMomentWithOtherPricesAllCount) {
    const Lines lines = {"01/02/2024,09:00:00,2,2,2,2,10", "01/02/2024,09:00:00,7,7,7,7,20",
                         "01/02/2024,09:00:00,1,1,1,1,30", "01/02/2024,09:00:00,7,7,7,7,20"};
    Bars bars;
    const JobReport report = Build(lines, Minutes(BarPeriod::Day), bars);
    ASSERT_TRUE(report.ok());
    EXPECT_THAT(bars, ::testing::ElementsAre("1.2.2024 9:0 2.0000 7.0000 1.0000 1.0000 60"));
    EXPECT_EQ(report.duplicate_lines, 1);

    // Many lines of one moment, every third written twice, shuffled or not.
    Lines many;
    for (int i = 1; i <= 60; ++i) {
        const std::string price = std::to_string(i);
        many.push_back("01/02/2024,09:00:00," + price + "," + price + "," + price + "," + price +
                       ",1");
        if (i % 3 == 0) many.push_back(many.back());
    }
    for (const bool shuffle : {false, true}) {
        if (shuffle) std::shuffle(many.begin() + 1, many.end() - 2, std::mt19937(5));
        const JobReport counted = Build(many, Minutes(BarPeriod::Day), bars);
        ASSERT_TRUE(counted.ok());
        EXPECT_THAT(bars, ::testing::ElementsAre("1.2.2024 9:0 1.0000 60.00 1.0000 60.00 60"));
        EXPECT_EQ(counted.duplicate_lines, 20);
    }
}

TEST(TimeOrder, ARepeatWithMoreZerosCountsOnceWithItsDecimals) {
    // In time order, among the inner bars of a block or in blocks of a line,
    // and newest first.
    Lines lines = {"01/01/2024,09:00:00,1,1,1,1,1", "01/02/2024,09:00:00,2,2,2,2,10",
                   "01/02/2024,09:00:00,2,2,2,2.000,10", "01/02/2024,09:01:00,1.5,1.5,1.5,1.5,1",
                   "01/03/2024,09:00:00,1,1,1,1,1"};
    BarChoices choices = Minutes(BarPeriod::Day);
    choices.decimals = DecimalsAsInput;
    for (int pass = 0; pass < 4; ++pass, std::reverse(lines.begin(), lines.end())) {
        SCOPED_TRACE(pass);
        choices.block_bytes = pass < 2 ? 0 : 1;
        Bars bars;
        EXPECT_EQ(Build(lines, choices, bars).duplicate_lines, 1);
        EXPECT_EQ(bars.at(1), "1.2.2024 9:1 2.000 2.000 1.500 1.500 11");
    }
}

TEST(TimeOrder, StandardInputReadNewestFirstIsReadAgain) {
    const Lines sorted = SortedMinutes();
    std::string text;
    for (auto line = sorted.rbegin(); line != sorted.rend(); ++line) text += *line + "\n";
    Bars want;
    ASSERT_TRUE(Build(sorted, Minutes(BarPeriod::Hour), want).ok());
    testing::PipedStandardInput piped(text, 333);
    Bars got;
    const JobReport report =
        RunBars(LineSource::StandardInput(), Destination::Lines(got), Minutes(BarPeriod::Hour));
    ASSERT_TRUE(report.ok()) << report.status.Message();
    EXPECT_EQ(got, want);
}

// Lines "SYMBOL,MM/DD/YYYY,HH:MM:SS,o,h,l,c,v" after a header naming them.
Lines WithSymbol(const Lines& lines, const char* symbol) {
    Lines out;
    for (const std::string& line : lines) out.push_back(std::string(symbol) + "," + line);
    return out;
}

TEST(TimeOrder, SymbolsAreRefusedChosenOrSplit) {
    const Lines sorted = SortedMinutes();
    const Lines aaa = WithSymbol(Lines(sorted.begin(), sorted.begin() + 200), "AAA");
    const Lines bbb = WithSymbol(Lines(sorted.begin() + 100, sorted.end()), "B/B");
    Lines mixed = {"Ticker,Date,Time,Open,High,Low,Close,Volume"};
    for (std::size_t i = 0; i < std::max(aaa.size(), bbb.size()); ++i) {
        if (i < bbb.size()) mixed.push_back(bbb[i]);
        if (i < aaa.size()) mixed.push_back(aaa[i]);
    }
    const BarChoices base = Minutes(BarPeriod::Hour);
    const auto alone = [&](const Lines& lines) {
        Lines with_header = {mixed.front()};
        with_header.insert(with_header.end(), lines.begin(), lines.end());
        Bars bars;
        EXPECT_TRUE(Build(with_header, base, bars).ok());
        return bars;
    };

    Bars none;
    const JobReport refused = Build(mixed, base, none);
    EXPECT_EQ(refused.status.error, ReadingError(ReadingFault::ManySymbols));
    EXPECT_THAT(refused.status.Message(),
                HasSubstr("2 symbols: B/B, AAA; choose one with --symbol or write one file "
                          "each with --split DIR"));
    EXPECT_TRUE(none.empty());

    BarChoices one = base;
    one.symbol = "AAA";
    Bars chosen;
    ASSERT_TRUE(Build(mixed, one, chosen).ok());
    EXPECT_EQ(chosen, alone(aaa));

    one.symbol = "ZZZ";
    EXPECT_EQ(Build(mixed, one, chosen).status.error, ReadingError(ReadingFault::NoSymbol));

    testing::TempDir dir;
    BarChoices split = base;
    split.split_dir = dir.path().string();
    Bars unused;
    ASSERT_TRUE(Build(mixed, split, unused).ok());
    EXPECT_EQ(dir.Listing(), "AAA.txt B_B.txt ");
    const auto text = [](const Bars& bars) {
        std::string all;
        for (const std::string& bar : bars) all += bar + "\r\n";
        return all;
    };
    EXPECT_EQ(testing::ReadAll(dir.Path("AAA.txt")), text(alone(aaa)));
    EXPECT_EQ(testing::ReadAll(dir.Path("B_B.txt")), text(alone(bbb)));
}

}  // namespace
}  // namespace varn
