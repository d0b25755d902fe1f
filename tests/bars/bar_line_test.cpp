#include "bars/bar_line.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "calendar/calendar.h"
#include "test_support.h"
#include "text/fields.h"
#include "text/numbers.h"

namespace varn {
namespace {

using testing::Numbered;

const RegionalNames kNames = EnglishRegionalNames();

ParsedDate At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    ParsedDate date;
    date.year = y;
    date.month = mo;
    date.day = d;
    date.hours = h;
    date.minutes = mi;
    date.seconds = s;
    return date;
}

TEST(BarKey, PeriodsBeginExactlyAtTheirBoundaries) {
    struct Row {
        const char* name;
        int period;
        ParsedDate before;  // the last moment of one period
        ParsedDate after;   // the first moment of the next
    };
    const Row rows[] = {
        {"midnight", 3, At(2001, 1, 14, 23, 59, 59), At(2001, 1, 15)},
        {"midnight before the epoch", 3, At(1850, 9, 7, 23, 59, 59), At(1850, 9, 8)},
        {"midnight at the epoch", 3, At(1850, 9, 8, 23, 59, 59), At(1850, 9, 9)},
        {"Monday 00:00", 4, At(2001, 1, 14, 23, 59, 59), At(2001, 1, 15)},  // a Monday
        {"Monday before the epoch", 4, At(1850, 9, 1, 23, 59, 59), At(1850, 9, 2)},
        {"5 minute mark", 0, At(2001, 1, 15, 9, 34, 59), At(2001, 1, 15, 9, 35)},
        {"15 minute mark", 1, At(2001, 1, 15, 9, 44, 59), At(2001, 1, 15, 9, 45)},
        {"hour mark", 2, At(2001, 1, 15, 9, 59, 59), At(2001, 1, 15, 10)},
        {"5 minutes before the epoch", 0, At(1850, 9, 8, 23, 54, 59), At(1850, 9, 8, 23, 55)},
        {"reform", 3, At(1582, 10, 4, 23, 59, 59), At(1582, 10, 15)},
        {"month", 5, At(2001, 1, 31, 23, 59, 59), At(2001, 2, 1)},
        {"quarter", 6, At(2001, 3, 31), At(2001, 4, 1)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(BarKey(Numbered<BarPeriod>(row.period), row.after),
                  BarKey(Numbered<BarPeriod>(row.period), row.before) + 1);
    }
}

TEST(BarKey, SamePeriodSharesAKey) {
    struct Row {
        const char* name;
        int period;
        ParsedDate a;
        ParsedDate b;
    };
    const Row rows[] = {
        {"one day", 3, At(2001, 1, 15), At(2001, 1, 15, 23, 59, 59)},
        {"hour 24 is the next midnight", 3, At(2001, 1, 15, 24), At(2001, 1, 16)},
        {"minute 60 carries", 2, At(2001, 1, 15, 9, 60), At(2001, 1, 15, 10)},
        {"one week from Monday", 4, At(2001, 1, 15), At(2001, 1, 21, 23, 59, 59)},
        {"the epoch day", 3, At(1850, 9, 9), At(1850, 9, 9, 12)},
        {"the day before the epoch", 3, At(1850, 9, 8), At(1850, 9, 8, 12)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(BarKey(Numbered<BarPeriod>(row.period), row.a),
                  BarKey(Numbered<BarPeriod>(row.period), row.b));
    }
    // The epoch's day and the day before it do not share key 0.
    EXPECT_EQ(BarKey(Numbered<BarPeriod>(3), At(1850, 9, 9)), 0);
    EXPECT_EQ(BarKey(Numbered<BarPeriod>(3), At(1850, 9, 8, 12)), -1);
}

TEST(BarKey, CalendarPeriodsUseYearAndMonth) {
    EXPECT_EQ(BarKey(Numbered<BarPeriod>(5), At(2001, 1, 15)), 200101);
    EXPECT_EQ(BarKey(Numbered<BarPeriod>(6), At(2001, 5, 15)), 200101);
    EXPECT_EQ(BarKey(Numbered<BarPeriod>(6), At(2001, 12, 1)), 200103);
    EXPECT_EQ(BarKey(Numbered<BarPeriod>(6), At(2001, 0, 1)), 200100);
    EXPECT_EQ(BarKey(Numbered<BarPeriod>(7), At(2001, 5, 15)), 200100);
}

TEST(ParseBarLine, ReadsStampKeyAndNumbers) {
    struct Row {
        const char* line;
        int date_layout;
        int time_layout;
        int period;
        const char* stamp;
        std::int32_t key;
        double open, high, low, close, volume;
    };
    const Row rows[] = {
        {"01/15/2001 1.5 1.6 1.4 1.55", 5, 0, 5, "1.15.2001", 200101, 1.5, 1.6, 1.4, 1.55, Missing},
        {"01/05/2001,09:05,1,2,0.5,1.5,100", 5, 1, 5, "1.5.2001 9:5", 200101, 1, 2, 0.5, 1.5, 100},
        {"01/05/2001\t1;2;0.5;1.5", 5, 0, 7, "1.5.2001", 200100, 1, 2, 0.5, 1.5, Missing},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        BarLine bar;
        ASSERT_TRUE(ParseBarLine(Numbered<DateLayout>(row.date_layout),
                                 Numbered<TimeLayout>(row.time_layout),
                                 Numbered<BarPeriod>(row.period), row.line, kNames, bar));
        EXPECT_EQ(bar.stamp, row.stamp);
        EXPECT_EQ(bar.key, row.key);
        EXPECT_DOUBLE_EQ(bar.open, row.open);
        EXPECT_DOUBLE_EQ(bar.high, row.high);
        EXPECT_DOUBLE_EQ(bar.low, row.low);
        EXPECT_DOUBLE_EQ(bar.close, row.close);
        EXPECT_THAT(bar.volume, ::testing::NanSensitiveDoubleEq(row.volume));
        EXPECT_TRUE(IsMissing(bar.open_interest));
    }
}

TEST(ParseBarLine, RefusesLinesWithoutFourPrices) {
    const char* rows[] = {
        "01/15/2001 1.5 1.6 1.4",       "Date Open High Low Close",
        "01/15/2001 open 1.6 1.4 1.55", "",
        "13/15/2001 1.5 1.6 1.4 1.55",
    };
    for (const char* line : rows) {
        SCOPED_TRACE(line);
        BarLine bar;
        EXPECT_FALSE(ParseBarLine(DateLayout::MMDDYYYYSlash, TimeLayout::NotIndicated,
                                  BarPeriod::Day, line, kNames, bar));
        EXPECT_FALSE(
            LineFitsLayouts(DateLayout::MMDDYYYYSlash, TimeLayout::NotIndicated, line, kNames));
    }
}

TEST(ParseBarPrices, RefusesYearsFarOutsideTheCalendar) {
    struct Row {
        const char* name;
        const char* line;
        DateLayout date_layout;
        BarPeriod period;
        const char* reason;
    };
    const Row rows[] = {
        // year * 100 does not fit the month key
        {"month key of the lowest year", "01.02.-2147483648 1 1 1 1", DateLayout::MMDDYYYYDot,
         BarPeriod::Month, "year out of range"},
        {"5-minute key of the lowest year", "01.02.-2147483648 1 1 1 1", DateLayout::MMDDYYYYDot,
         BarPeriod::FiveMinutes, "year out of range"},
        // adding the century to a two-digit year wrapped into a negative year
        {"two-digit year window", "15 January, 2147483600 1 1 1 1", DateLayout::DayMonthNameYY,
         BarPeriod::Month, "the date or time does not read"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ParsedDate date;
        BarLine bar;
        ShortText reason;
        EXPECT_FALSE(ParseBarPrices(row.date_layout, TimeLayout::NotIndicated, row.period, row.line,
                                    kNames, date, bar, &reason));
        EXPECT_EQ(reason, row.reason);
    }
}

TEST(ParseBarPrices, GivesTheReasonOfARefusal) {
    struct Row {
        const char* line;
        const char* reason;
    };
    const Row rows[] = {
        {"13/15/2001 1.5 1.6 1.4 1.55", "Can't extract Month string: 13/15/2001 substring: 13"},
        {"01/15/2001 1.5 1.6 1.4", "fewer than four prices"},
        {"01/15/2001 1e308 1e308 1e308 1e308", "a price of 1e12 or more"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        ParsedDate date;
        BarLine bar;
        ShortText reason;
        EXPECT_FALSE(ParseBarPrices(DateLayout::MMDDYYYYSlash, TimeLayout::NotIndicated,
                                    BarPeriod::Day, row.line, kNames, date, bar, &reason));
        EXPECT_EQ(reason, row.reason);
    }
}

TEST(LineFitsLayouts, IntegerPricesAreNotTakenForTimes) {
    // The open reads as a time of layout 5, but then only three prices remain.
    const char* line = "01/02/2001 1000 1010 990 1005";
    EXPECT_FALSE(LineFitsLayouts(DateLayout::MMDDYYYYSlash, TimeLayout::BlankDigits, line, kNames));
    EXPECT_TRUE(LineFitsLayouts(DateLayout::MMDDYYYYSlash, TimeLayout::NotIndicated, line, kNames));
}

// What a line holds besides four plain prices: the old missing-number marker
// 1e10 is a price like any other, a zone word after the time is passed over,
// and prices out of order are read and flagged (detection does not count
// such a line as fitting).
TEST(ReadBarFields, ReadsEdgeNumbersZoneWordsAndPricesOutOfOrder) {
    struct Row {
        const char* line;
        int time_layout;
        double open, high, low, close, volume;
        bool out_of_order;
        const char* zone;
    };
    const Row rows[] = {
        {"01/02/2001 1e10 1e10 1e10 1e10 1e10", 0, 1e10, 1e10, 1e10, 1e10, 1e10, false, ""},
        {"01/02/2001 09:30:00 US/Eastern,1 2 0.5 1.5 10", 3, 1, 2, 0.5, 1.5, 10, false,
         "US/EASTERN"},
        {"01/02/2001,09:30,UTC+2,1,2,0.5,1.5", 6, 1, 2, 0.5, 1.5, Missing, false, "UTC+2"},
        {"01/02/2024,09:31:05,4750.50,4750.25,4750.75,2", 6, 4750.5, 4750.25, 4750.75, 2, Missing,
         true, ""},
        {"01/02/2001 2 1 3 2", 0, 2, 1, 3, 2, Missing, true, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        BarReading reading;
        reading.volume = true;
        const auto time = Numbered<TimeLayout>(row.time_layout);
        ParsedDate date;
        BarLine bar;
        ASSERT_TRUE(
            ReadBarFields(DateLayout::MMDDYYYYSlash, time, reading, row.line, kNames, date, bar));
        EXPECT_EQ(bar.open, row.open);
        EXPECT_EQ(bar.high, row.high);
        EXPECT_EQ(bar.low, row.low);
        EXPECT_EQ(bar.close, row.close);
        EXPECT_THAT(bar.volume, ::testing::NanSensitiveDoubleEq(row.volume));
        EXPECT_EQ(bar.out_of_order, row.out_of_order);
        EXPECT_EQ(LineFitsLayouts(DateLayout::MMDDYYYYSlash, time, row.line, kNames),
                  !row.out_of_order);
        EXPECT_EQ(ZoneWordOf(DateLayout::MMDDYYYYSlash, time, row.line, kNames), row.zone);
    }
}

TEST(BarEpoch, IsMidnightStartingMonday9September1850) {
    EXPECT_DOUBLE_EQ(BarEpoch(), CalendarToCenturies(1850, 9, 9, 0));
}

// The prices after the date are read field by field as TextToDouble reads
// them; most in a quicker single pass. Over random fields of digits, points,
// commas, signs, exponents and separators, all six numbers must come out as
// the field-by-field reading gives them.
TEST(ReadBarFields, ReadsEveryPriceAsTextToDoubleDoes) {
    const DateNames names(kNames);
    const std::string_view alphabet = "0123456789012345678901234567890123456789..,;e-+ \t";
    std::uint64_t state = 99;
    const auto pick = [&state](std::size_t count) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::size_t>((state >> 33) % count);
    };
    BarReading reading;
    reading.span.period = BarPeriod::Day;
    reading.volume = true;
    reading.open_interest = true;
    int wrong = 0;
    int read = 0;
    for (int k = 0; k < 50000; ++k) {
        reading.count_decimals = k % 2 == 1;  // counting reads the same numbers
        std::string tail;
        const std::size_t fields = 3 + pick(5);
        for (std::size_t f = 0; f < fields; ++f) {
            tail += pick(3) == 0 ? " " : ",";
            const std::size_t length = pick(4) == 0 ? pick(20) : 1 + pick(8);
            for (std::size_t i = 0; i < length; ++i) tail += alphabet[pick(alphabet.size())];
        }
        const std::string line = "01/02/2001,09:45" + tail;
        ParsedDate date;
        BarLine bar;
        const bool ok = ReadBarFields(DateLayout::MMDDYYYYSlash, TimeLayout::SemicolonHm, reading,
                                      line, names, date, bar);
        // The reference: each of the first six fields of the tail by itself.
        double want[6] = {Missing, Missing, Missing, Missing, Missing, Missing};
        std::size_t pos = 0;
        for (double& value : want) {
            const std::string_view field = NextField(tail, pos, PriceSeparators);
            if (field.empty()) break;
            (void)TextToDouble(field, value);
        }
        const auto price = [](double p) { return std::abs(p) < MaxPrice; };
        const auto quantity = [](double q) { return IsMissing(q) || std::abs(q) < MaxQuantity; };
        const bool want_ok = price(want[0]) && price(want[1]) && price(want[2]) && price(want[3]) &&
                             quantity(want[4]) && quantity(want[5]);
        const double got[6] = {bar.open,  bar.high,   bar.low,
                               bar.close, bar.volume, bar.open_interest};
        bool same = ok == want_ok;
        for (std::size_t i = 0; i < 6 && ok; ++i) {
            same = same && (got[i] == want[i] || (IsMissing(got[i]) && IsMissing(want[i])));
        }
        if (ok) ++read;
        if (!same && ++wrong <= 5) ADD_FAILURE() << "\"" << line << "\"";
    }
    EXPECT_GT(read, 5000);
    EXPECT_EQ(wrong, 0);
}

}  // namespace
}  // namespace varn
