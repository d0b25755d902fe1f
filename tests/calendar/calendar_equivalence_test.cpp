// Moments before the century zero and far from it, where the day arithmetic
// works on negative day counts.
#include <gtest/gtest.h>

#include <cstdint>

#include "calendar/calendar.h"

namespace varn {
namespace {

TEST(CenturiesToCalendar, ReadsMomentsFarFromTheZero) {
    struct Row {
        double moment;
        std::int32_t year, month, day;
        double hours, hms;
    };
    const Row rows[] = {
        {-1.0, 1799, 12, 30, 12.0, 12.0},
        {-10.0, 899, 12, 19, 12.0, 12.0},
        {-16.5, 249, 12, 19, 0.0, 0.0},
        {3.5, 2250, 1, 3, 0.0, 0.0},
        {1.0000001000000001, 2000, 1, 1, 12.087660000050164, 12.051600000000001},
        {-0.50000370000000005, 1849, 12, 30, 20.756579999955648, 20.452400000000001},
        {1.0000000000000001e-09, 1899, 12, 31, 12.000876600000993, 12.000299999999999},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.moment);
        std::int32_t year = 0, month = 0, day = 0;
        double hours = -1.0, hms = -1.0;
        CenturiesToCalendar(row.moment, year, month, day, hours, hms);
        EXPECT_EQ(year, row.year);
        EXPECT_EQ(month, row.month);
        EXPECT_EQ(day, row.day);
        EXPECT_DOUBLE_EQ(hours, row.hours);
        EXPECT_DOUBLE_EQ(hms, row.hms);
    }
}

TEST(DateOfDay, IsTheInverseOfTheDayNumber) {
    struct Row {
        std::int64_t z;
        std::int32_t year, month, day;
    };
    const Row rows[] = {
        {2451545, 2000, 1, 1},   {2299160, 1582, 10, 4}, {2299161, 1582, 10, 15},
        {0, -4713, 1, 1},        {1721424, 1, 1, 1},     {1721423, 0, 12, 31},
        {2415020, 1899, 12, 31}, {2488070, 2100, 1, 1},  {2451604, 2000, 2, 29},
        {2415080, 1900, 3, 1},   {1721057, -2, 12, 31},  {5373484, 9999, 12, 31},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.z);
        std::int32_t year = 0, month = 0, day = 0;
        DateOfDay(row.z, year, month, day);
        EXPECT_EQ(year, row.year);
        EXPECT_EQ(month, row.month);
        EXPECT_EQ(day, row.day);
    }
    // Every day from the start of the count to well past 2100: the date read
    // back gives the same day number, and consecutive days consecutive dates.
    std::int64_t wrong = 0;
    std::int32_t last_day = 0;
    for (std::int64_t z = 0; z < 2600000; ++z) {
        std::int32_t year = 0, month = 0, day = 0;
        DateOfDay(z, year, month, day);
        // The reform skips from 4 to 15 October 1582.
        const bool next = day == last_day + 1 || day == 1 || (z == 2299161 && day == 15);
        if (DayNumber(year, month, day) != z || !next) {
            if (++wrong <= 5) ADD_FAILURE() << "day " << z;
        }
        last_day = day;
    }
    EXPECT_EQ(wrong, 0);
}

TEST(DateOfDay, GivesTheDateOfEveryMomentOfTheDay) {
    // From noon of the Julian day before to the noon of day z: the moments of
    // calendar day z, as CenturiesToCalendar reads them.
    struct Row {
        std::int64_t z;
    };
    const Row rows[] = {{2451545}, {2299161}, {2299160}, {2415021}, {1721424}, {2488070}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.z);
        std::int32_t year = 0, month = 0, day = 0;
        DateOfDay(row.z, year, month, day);
        for (const double hour : {0.01, 6.0, 12.0, 18.0, 23.99}) {
            const double moment =
                (static_cast<double>(row.z) - 0.5 + hour / 24.0 - 2415020.0) / 36525.0;
            std::int32_t y = 0, m = 0, d = 0;
            double hours = 0, hms = 0;
            CenturiesToCalendar(moment, y, m, d, hours, hms);
            EXPECT_EQ(y, year) << hour;
            EXPECT_EQ(m, month) << hour;
            EXPECT_EQ(d, day) << hour;
        }
    }
}

}  // namespace
}  // namespace varn
