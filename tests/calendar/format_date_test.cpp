#include "calendar/format_date.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "calendar/calendar.h"

namespace varn {
namespace {

double At(std::int32_t year, std::int32_t month, std::int32_t day, double hour, double minute,
          double second) {
    return CalendarToCenturies(year, month, day, hour + minute / 60.0 + second / 3600.0);
}

std::string Format(DateStyle style, double moment) {
    ShortText text = "untouched";
    FormatDate(style, moment, text);
    return text;
}

struct Row {
    const char* name;
    DateStyle style;
    double moment;
    const char* want;
};

void CheckRows(const Row* begin, const Row* end) {
    for (const Row* row = begin; row != end; ++row) {
        SCOPED_TRACE(row->name);
        EXPECT_EQ(Format(row->style, row->moment), row->want);
    }
}

TEST(FormatDate, WritesEveryStyle) {
    const double moment = At(2006, 1, 5, 14, 5, 9);
    const Row rows[] = {
        {"0", DateStyle::DotDateTimeSeconds, moment, "01.05.2006  02:05:09 PM"},
        {"1", DateStyle::DotDateTime, moment, "01.05.2006  02:05 PM"},
        {"2", DateStyle::Time, moment, "02:05 PM"},
        {"3", DateStyle::DotMonthDayTime, moment, "01.05  02:05 PM"},
        {"4", DateStyle::DotDate, moment, "01.05.2006"},
        {"5", DateStyle::TimeSeconds, moment, "02:05:09 PM"},
        {"6", DateStyle::CompactDate, moment, "20060105"},
        {"7", DateStyle::CompactDateTime, moment, "20060105  02:05 PM"},
        {"10", DateStyle::MonthNameDayYear, moment, "Jan.  5 2006"},
        {"11", DateStyle::MonthNameYear, moment, "Jan. 2006"},
        {"12", DateStyle::MonthNameDateTime, moment, "Jan. 05, 2006 02:05 PM"},
        {"20", DateStyle::DotMonthDay, moment, "01.05"},
        {"101", DateStyle::SlashDate, moment, "01/05/2006"},
        {"102", DateStyle::SlashDateTime24, moment, "01/05/2006   14:05:09"},
    };
    CheckRows(std::begin(rows), std::end(rows));
}

TEST(FormatDate, WritesNoValueAsTheFirstDayOfYearOne) {
    const Row rows[] = {
        {"style 4", DateStyle::DotDate, NoValue, "01.01.1"},
        {"style 6", DateStyle::CompactDate, NoValue, "00010101"},
        {"style 0", DateStyle::DotDateTimeSeconds, NoValue, "01.01.1  12:00:00 AM"},
        {"style 102", DateStyle::SlashDateTime24, NoValue, "01/01/1   00:00:00"},
    };
    CheckRows(std::begin(rows), std::end(rows));
}

TEST(FormatDate, WritesDatesAndMonthNames) {
    const Row rows[] = {
        {"style 4 of 23 May 2006", DateStyle::DotDate, At(2006, 5, 23, 12, 0, 0), "05.23.2006"},
        {"Julian 1 January 1000", DateStyle::DotDate, At(1000, 1, 1, 12, 0, 0), "01.01.1000"},
        {"May has no period, style 11", DateStyle::MonthNameYear, At(2006, 5, 23, 0, 30, 0),
         "May 2006"},
        {"May has no period, style 10", DateStyle::MonthNameDayYear, At(2006, 5, 23, 0, 30, 0),
         "May  23 2006"},
        {"May has no period, style 12", DateStyle::MonthNameDateTime, At(2006, 5, 23, 0, 30, 0),
         "May 23, 2006 12:30 AM"},
        {"December", DateStyle::MonthNameYear, At(2006, 12, 1, 12, 0, 0), "Dec. 2006"},
        {"year 999 unpadded in style 4", DateStyle::DotDate, At(999, 1, 5, 12, 0, 0), "01.05.999"},
        {"year 999 padded in style 6", DateStyle::CompactDate, At(999, 1, 5, 12, 0, 0), "09990105"},
        {"year 1 padded in style 7", DateStyle::CompactDateTime, At(1, 1, 5, 9, 0, 0),
         "00010105  09:00 AM"},
    };
    CheckRows(std::begin(rows), std::end(rows));
}

TEST(FormatDate, UsesTheTwelveHourClock) {
    const Row rows[] = {
        {"half past midnight", DateStyle::Time, At(2006, 5, 23, 0, 30, 0), "12:30 AM"},
        {"noon", DateStyle::Time, At(2006, 5, 23, 12, 0, 0), "12:00 PM"},
        {"one in the afternoon", DateStyle::Time, At(2006, 5, 23, 13, 0, 0), "01:00 PM"},
        {"before noon", DateStyle::Time, At(2006, 5, 23, 11, 15, 0), "11:15 AM"},
        {"24-hour half past midnight", DateStyle::SlashDateTime24, At(2006, 5, 23, 0, 30, 0),
         "05/23/2006   00:30:00"},
        {"24-hour one in the afternoon", DateStyle::SlashDateTime24, At(2006, 5, 23, 13, 0, 0),
         "05/23/2006   13:00:00"},
    };
    CheckRows(std::begin(rows), std::end(rows));
}

TEST(FormatDate, RoundsMinutesOnlyWithoutSeconds) {
    const Row rows[] = {
        {"rounded minute", DateStyle::Time, At(2006, 5, 23, 10, 29, 31), "10:30 AM"},
        {"truncated minute", DateStyle::TimeSeconds, At(2006, 5, 23, 10, 29, 31), "10:29:31 AM"},
        {"second carries into the minute", DateStyle::TimeSeconds, At(2006, 5, 23, 10, 15, 59.6),
         "10:16:00 AM"},
        {"under a second before midnight moves the date", DateStyle::DotDateTime,
         At(2005, 12, 31, 23, 59, 59.5), "01.01.2006  12:00 AM"},
        {"style 4 keeps the date of that moment", DateStyle::DotDate,
         At(2005, 12, 31, 23, 59, 59.5), "12.31.2005"},
    };
    CheckRows(std::begin(rows), std::end(rows));
}

// A minute that rounds up to 60 reaches the next hour, and from 23:59 the
// next day, in every style that shows the time.
TEST(FormatDate, CarriesAFullMinuteIntoHourAndDate) {
    const Row rows[] = {
        {"ten seconds before midnight, style 1", DateStyle::DotDateTime,
         At(2005, 12, 31, 23, 59, 50), "01.01.2006  12:00 AM"},
        {"ten seconds before midnight, style 3", DateStyle::DotMonthDayTime,
         At(2005, 12, 31, 23, 59, 50), "01.01  12:00 AM"},
        {"ten seconds before midnight, style 7", DateStyle::CompactDateTime,
         At(2005, 12, 31, 23, 59, 50), "20060101  12:00 AM"},
        {"ten seconds before midnight, style 12", DateStyle::MonthNameDateTime,
         At(2005, 12, 31, 23, 59, 50), "Jan. 01, 2006 12:00 AM"},
        {"twenty seconds before noon, style 2", DateStyle::Time, At(2006, 5, 23, 11, 59, 40),
         "12:00 PM"},
        {"twenty seconds before ten, style 2", DateStyle::Time, At(2006, 5, 23, 9, 59, 40),
         "10:00 AM"},
        {"59:59.7 in style 5", DateStyle::TimeSeconds, At(2006, 5, 23, 13, 59, 59.7),
         "02:00:00 PM"},
        {"59:59.7 before midnight in style 0", DateStyle::DotDateTimeSeconds,
         At(2005, 12, 31, 23, 59, 59.7), "01.01.2006  12:00:00 AM"},
        {"59:59.7 before midnight in style 102", DateStyle::SlashDateTime24,
         At(2005, 12, 31, 23, 59, 59.7), "01/01/2006   00:00:00"},
        {"59:59.7 before noon in style 102", DateStyle::SlashDateTime24,
         At(2006, 5, 23, 11, 59, 59.7), "05/23/2006   12:00:00"},
        {"end of February in a leap year", DateStyle::DotDateTime, At(2004, 2, 29, 23, 59, 50),
         "03.01.2004  12:00 AM"},
        {"across the calendar reform", DateStyle::DotDateTime, At(1582, 10, 4, 23, 59, 50),
         "10.15.1582  12:00 AM"},
        {"no carry below half a minute", DateStyle::DotDateTime, At(2005, 12, 31, 23, 59, 29),
         "12.31.2005  11:59 PM"},
    };
    CheckRows(std::begin(rows), std::end(rows));
}

TEST(FormatDate, LeavesTextAloneForUnknownStyles) {
    const std::uint8_t numbers[] = {8, 9, 13, 19, 21, 100, 103, 255};
    for (std::uint8_t number : numbers) {
        SCOPED_TRACE(static_cast<int>(number));
        EXPECT_EQ(Format(static_cast<DateStyle>(number), At(2006, 1, 5, 14, 5, 9)), "untouched");
    }
}

TEST(MonthAbbreviations, GivesPeriodsToAllButMay) {
    ASSERT_EQ(MonthAbbreviations.size(), 12U);
    EXPECT_EQ(MonthAbbreviations[0], "Jan.");
    EXPECT_EQ(MonthAbbreviations[4], "May");
    EXPECT_EQ(MonthAbbreviations[8], "Sep.");
    EXPECT_EQ(MonthAbbreviations[11], "Dec.");
    for (std::string_view name : MonthAbbreviations) EXPECT_LE(name.size(), 6U);
}

}  // namespace
}  // namespace varn
