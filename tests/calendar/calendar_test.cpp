#include "calendar/calendar.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace varn {
namespace {

constexpr double JulianDayOf(double moment) { return moment * 36525.0 + 2415020.0; }

TEST(CalendarToCenturies, MatchesKnownMoments) {
    struct Row {
        const char* name;
        std::int32_t year, month, day;
        double hours;
        double want_jd;
    };
    const Row rows[] = {
        {"noon 1 January 2000", 2000, 1, 1, 12.0, 2451545.0},
        {"day 0 of January 1900 at noon", 1900, 1, 0, 12.0, 2415020.0},
        {"Julian 1 January 1000 at noon", 1000, 1, 1, 12.0, 2086308.0},
        {"4 October 1582 at noon, last Julian day", 1582, 10, 4, 12.0, 2299160.0},
        {"15 October 1582 at noon, first Gregorian day", 1582, 10, 15, 12.0, 2299161.0},
        {"15 October 1582 at 0 hours still counts as Julian", 1582, 10, 15, 0.0, 2299170.5},
        {"10 October 1582, a day that never was, counted as Julian", 1582, 10, 10, 12.0, 2299166.0},
        {"a day 31 in a 30-day month runs on", 2001, 4, 31, 12.0, 2452031.0},
        {"hours of 24 move to the next day", 2000, 1, 1, 36.0, 2451546.0},
        {"year 0 is year -1", 0, 3, 1, 12.0, 1721118.0},
        {"year -1", -1, 3, 1, 12.0, 1721118.0},
        {"year -2 is a leap year earlier", -2, 3, 1, 12.0, 1720752.0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const double moment = CalendarToCenturies(row.year, row.month, row.day, row.hours);
        const double want = (row.want_jd - 2415020.0) / 36525.0;
        EXPECT_DOUBLE_EQ(moment, want);
    }
    EXPECT_EQ(CalendarToCenturies(2000, 1, 1, 12.0), 1.0);
    EXPECT_EQ(CalendarToCenturies(1900, 1, 0, 12.0), 0.0);
}

TEST(CalendarToCenturies, TakesYearZeroAsMinusOne) {
    for (std::int32_t month = 1; month <= 12; ++month) {
        SCOPED_TRACE(month);
        EXPECT_EQ(CalendarToCenturies(0, month, 10, 6.0), CalendarToCenturies(-1, month, 10, 6.0));
    }
}

TEST(CenturiesToCalendar, ReadsKnownMoments) {
    struct Row {
        const char* name;
        double moment;
        std::int32_t year, month, day;
        double hours;
    };
    const Row rows[] = {
        {"the zero of the scale", 0.0, 1899, 12, 31, 12.0},
        {"no moment", NoValue, 1, 1, 1, 0.0},
        {"15 October 1582 at 0 hours reads back ten days on", (2299170.5 - 2415020.0) / 36525.0,
         1582, 10, 25, 0.0},
        {"astronomical year 0", CalendarToCenturies(-1, 6, 1, 18.0), 0, 6, 1, 18.0},
        {"year -2 written as -2", CalendarToCenturies(-2, 6, 1, 18.0), -2, 6, 1, 18.0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::int32_t year = 0, month = 0, day = 0;
        double hours = -1.0, hms = -1.0;
        CenturiesToCalendar(row.moment, year, month, day, hours, hms);
        EXPECT_EQ(year, row.year);
        EXPECT_EQ(month, row.month);
        EXPECT_EQ(day, row.day);
        // Moments some 19 centuries away hold hours to a few 1e-9.
        EXPECT_NEAR(hours, row.hours, 1e-8);
    }
}

TEST(CenturiesToCalendar, GivesNoValueZeroHoursAndHms) {
    std::int32_t year = 0, month = 0, day = 0;
    double hours = -1.0, hms = -1.0;
    CenturiesToCalendar(NoValue, year, month, day, hours, hms);
    EXPECT_EQ(hours, 0.0);
    EXPECT_EQ(hms, 0.0);
}

TEST(CenturiesToCalendar, PacksHoursAsHms) {
    std::int32_t year = 0, month = 0, day = 0;
    double hours = 0.0, hms = 0.0;
    CenturiesToCalendar(CalendarToCenturies(2006, 1, 5, 14.0 + 5.0 / 60 + 9.0 / 3600), year, month,
                        day, hours, hms);
    EXPECT_NEAR(hms, 14.0509, 1e-9);
}

TEST(CenturiesToCalendar, TreatsUnreachableMomentsAsNoMoment) {
    const double rows[] = {std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity(), -1e300};
    for (double moment : rows) {
        SCOPED_TRACE(moment);
        std::int32_t year = 0, month = 0, day = 0;
        double hours = -1.0, hms = -1.0;
        CenturiesToCalendar(moment, year, month, day, hours, hms);
        EXPECT_EQ(year, 1);
        EXPECT_EQ(month, 1);
        EXPECT_EQ(day, 1);
        EXPECT_EQ(hours, 0.0);
    }
}

bool IsLeapYear(std::int32_t astronomical_year, bool gregorian) {
    // Floor modulo, so that negative years work.
    const auto mod = [](std::int32_t a, std::int32_t b) { return ((a % b) + b) % b; };
    if (!gregorian) return mod(astronomical_year, 4) == 0;
    return mod(astronomical_year, 4) == 0 &&
           (mod(astronomical_year, 100) != 0 || mod(astronomical_year, 400) == 0);
}

int DaysInMonth(std::int32_t astronomical_year, std::int32_t month) {
    constexpr int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool gregorian = astronomical_year > 1582;
    if (month == 2 && IsLeapYear(astronomical_year, gregorian)) return 29;
    return lengths[month - 1];
}

// Every day from year -4000 to 3100, with the ten days of October 1582 left
// out: reading the value of a date back gives the same date and hours, and
// consecutive dates have consecutive day numbers and values a day apart.
TEST(CalendarToCenturies, RoundTripsEveryDayOverMillennia) {
    const double hour_rows[] = {0.0, 12.0, 23.75};
    std::int64_t previous_day_number = 0;
    double previous_noon = 0.0;
    bool first = true;
    int failures = 0;
    for (std::int32_t astronomical = -4000; astronomical <= 3100 && failures < 10; ++astronomical) {
        // Input numbering: astronomical year 0 is -1 (or 0), -1 is -2.
        const std::int32_t in_year = astronomical <= 0 ? astronomical - 1 : astronomical;
        // Output numbering: astronomical year 0 is 0, -1 is -2.
        const std::int32_t out_year = astronomical < 0 ? astronomical - 1 : astronomical;
        for (std::int32_t month = 1; month <= 12; ++month) {
            const int days = DaysInMonth(astronomical, month);
            for (std::int32_t day = 1; day <= days; ++day) {
                if (astronomical == 1582 && month == 10 && day > 4 && day < 15) continue;
                const auto name = [&] {
                    return std::to_string(in_year) + "-" + std::to_string(month) + "-" +
                           std::to_string(day);
                };
                const std::int64_t day_number = DayNumber(in_year, month, day);
                const double noon = CalendarToCenturies(in_year, month, day, 12.0);
                if (!first && (day_number != previous_day_number + 1 ||
                               std::fabs((noon - previous_noon) * 36525.0 - 1.0) > 1e-6)) {
                    ADD_FAILURE() << name() << " is not one day after the date before it";
                    ++failures;
                }
                if (std::fabs(JulianDayOf(noon) - static_cast<double>(day_number)) > 1e-6) {
                    ADD_FAILURE() << name() << " day number " << day_number << " is not JD of noon";
                    ++failures;
                }
                first = false;
                previous_day_number = day_number;
                previous_noon = noon;
                for (double hours_in : hour_rows) {
                    // 15 October 1582 at 0 hours is still a Julian moment.
                    if (astronomical == 1582 && month == 10 && day == 15 && hours_in == 0.0) {
                        continue;
                    }
                    const double moment = hours_in == 12.0
                                              ? noon
                                              : CalendarToCenturies(in_year, month, day, hours_in);
                    std::int32_t year = 0, month_out = 0, day_out = 0;
                    double hours = 0.0, hms = 0.0;
                    CenturiesToCalendar(moment, year, month_out, day_out, hours, hms);
                    // A value of 0 hours may come back as the day before at
                    // 23.99999999 hours; the date is then one day number less.
                    const bool day_before = hours_in == 0.0 && hours > 23.0;
                    const double hours_back = day_before ? hours - 24.0 : hours;
                    const bool same_date =
                        day_before ? DayNumber(year, month_out, day_out) + 1 == day_number
                                   : year == out_year && month_out == month && day_out == day;
                    // The hours can be no closer than the spacing of doubles
                    // near the moment allows: below 1e-9 hours in the centuries
                    // around 1900, some 4e-9 hours in the fifth millennium BC.
                    const double spacing_hours =
                        (std::nextafter(std::fabs(moment), 1e300) - std::fabs(moment)) * 36525.0 *
                        24.0;
                    const double tolerance = std::max(1e-9, spacing_hours);
                    if (!same_date || std::fabs(hours_back - hours_in) > tolerance) {
                        ADD_FAILURE() << name() << " at " << hours_in << " reads back as " << year
                                      << "-" << month_out << "-" << day_out << " " << hours;
                        ++failures;
                    }
                }
            }
        }
    }
}

TEST(CalendarToCenturies, KeepsReformDaysOneApart) {
    const double last_julian = CalendarToCenturies(1582, 10, 4, 12.0);
    const double first_gregorian = CalendarToCenturies(1582, 10, 15, 12.0);
    EXPECT_NEAR((first_gregorian - last_julian) * 36525.0, 1.0, 1e-9);
    EXPECT_EQ(DayNumber(1582, 10, 4), 2299160);
    EXPECT_EQ(DayNumber(1582, 10, 15), 2299161);
    EXPECT_EQ(DayNumber(1582, 10, 16), 2299162);
    // 15 October at exactly 0 hours counts as Julian; any later moment of
    // that day is Gregorian.
    EXPECT_DOUBLE_EQ(JulianDayOf(CalendarToCenturies(1582, 10, 15, 0.0)), 2299170.5);
    EXPECT_DOUBLE_EQ(JulianDayOf(CalendarToCenturies(1582, 10, 15, 0.001)), 2299160.5 + 0.001 / 24);
}

TEST(DayNumberAt, CountsTheDaysOfTheMoment) {
    struct Row {
        std::int32_t year, month, day;
        double hours;
        std::int64_t want;
    };
    const Row rows[] = {
        {2000, 1, 1, 0.0, 2451545},   {2000, 1, 1, 23.5, 2451545},
        {1582, 10, 4, 0.0, 2299160},  {1582, 10, 14, 12.0, 2299170},
        {1582, 10, 15, 0.0, 2299171}, {1582, 10, 15, 1.0 / 3600, 2299161},
        {1582, 10, 16, 0.0, 2299162}, {1, 1, 1, 6.0, 1721424},
        {0, 3, 1, 0.0, 1721118},      {-4712, 1, 1, 12.0, DayNumber(-4712, 1, 1)},
        {2100, 2, 29, 0.0, 2488129},  {1900, 1, 0, 0.0, 2415020},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.year) + "-" + std::to_string(row.month) + "-" +
                     std::to_string(row.day) + " " + std::to_string(row.hours));
        const std::int64_t count = DayNumberAt(row.year, row.month, row.day, row.hours);
        EXPECT_EQ(count, row.want);
        const double moment = CalendarToCenturies(row.year, row.month, row.day, row.hours);
        EXPECT_NEAR(JulianDayOf(moment), static_cast<double>(count) - 0.5 + row.hours / 24, 1e-6);
    }
}

TEST(ScaleToRange, RoundsTiesToEvenWithoutClamping) {
    struct Row {
        const char* name;
        std::int32_t low, high;
        double range_low, range_high;
        long double x;
        std::int32_t want;
    };
    constexpr double inf = std::numeric_limits<double>::infinity();
    const Row rows[] = {
        {"zero-width range", 0, 100, 1.0, 1.0, 5.0L, 0},
        {"zero-width range keeps low", 7, 100, 3.0, 3.0, 3.0L, 7},
        {"half rounds to even 0", 0, 100, 1.0, 201.0, 2.0L, 0},
        {"one", 0, 100, 1.0, 201.0, 3.0L, 1},
        {"one and a half rounds to even 2", 0, 100, 1.0, 201.0, 4.0L, 2},
        {"top of the range", 0, 100, 1.0, 201.0, 201.0L, 100},
        {"beyond the range, no clamping", 0, 100, 1.0, 201.0, 401.0L, 200},
        {"below the range", 0, 100, 1.0, 201.0, -199.0L, -100},
        {"offset low", 10, 20, 0.0, 10.0, 5.0L, 15},
        {"falling range", 100, 0, 0.0, 10.0, 2.0L, 80},
        {"result beyond 32 bits", 0, 100, 0.0, 1.0, 1e20L, 0},
        {"result beyond 32 bits after adding low", 2147483600, 2147483647, 0.0, 1.0, 2.0L,
         2147483600},
        {"widest ends do not wrap", -2147483647 - 1, 2147483647, 0.0, 1.0, 0.5L, 0},
        {"not a number", 5, 100, 0.0, 1.0, std::numeric_limits<long double>::quiet_NaN(), 5},
        {"infinite range", 5, 100, 0.0, inf, 1.0L, 5},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ScaleToRange(row.low, row.high, row.range_low, row.range_high, row.x), row.want);
    }
}

}  // namespace
}  // namespace varn
