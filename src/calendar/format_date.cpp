#include "calendar/format_date.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "calendar/calendar.h"
#include "text/text_helpers.h"

namespace varn {
namespace {

using Real = long double;

bool IsRecognised(DateStyle style) {
    switch (style) {
        case DateStyle::DotDateTimeSeconds:
        case DateStyle::DotDateTime:
        case DateStyle::Time:
        case DateStyle::DotMonthDayTime:
        case DateStyle::DotDate:
        case DateStyle::TimeSeconds:
        case DateStyle::CompactDate:
        case DateStyle::CompactDateTime:
        case DateStyle::MonthNameDayYear:
        case DateStyle::MonthNameYear:
        case DateStyle::MonthNameDateTime:
        case DateStyle::DotMonthDay:
        case DateStyle::SlashDate:
        case DateStyle::SlashDateTime24:
            return true;
    }
    return false;
}

// Styles that show hours and minutes but no seconds round the minute.
bool RoundsMinute(DateStyle style) {
    return style == DateStyle::DotDateTime || style == DateStyle::Time ||
           style == DateStyle::DotMonthDayTime || style == DateStyle::CompactDateTime ||
           style == DateStyle::MonthNameDateTime;
}

bool ShowsSeconds(DateStyle style) {
    return style == DateStyle::DotDateTimeSeconds || style == DateStyle::TimeSeconds ||
           style == DateStyle::SlashDateTime24;
}

// The minutes within the hour of hours, 0 to 60, rounded with ties to even.
int RoundedMinute(double hours) {
    const Real h = hours;
    return static_cast<int>(std::nearbyint((h - std::trunc(h)) * 60.0L));
}

// The minutes within the hour of hours, 0 to 59, cut toward zero.
int TruncatedMinute(double hours) {
    const Real h = hours;
    return static_cast<int>(std::trunc((h - std::trunc(h)) * 60.0L));
}

// The seconds left after the whole hours and minute of clock_hours, rounded
// with ties to even: 0 to 60. 0 when the arithmetic does not give a number.
int RoundedSecond(double clock_hours, int minute) {
    const Real h = clock_hours;
    const Real seconds =
        std::nearbyint((h - std::trunc(h) - static_cast<Real>(minute) / 60.0L) * 3600.0L);
    if (!std::isfinite(seconds) || seconds < 0.0L || seconds > 60.0L) return 0;
    return static_cast<int>(seconds);
}

// Moves the date one day on, across month and year ends and the calendar
// reform, the way CenturiesToCalendar counts days.
void AdvanceOneDay(std::int32_t& year, std::int32_t& month, std::int32_t& day) {
    double hours = 0.0;
    double hms = 0.0;
    // Noon keeps the small shortfall of the round trip away from a day end.
    const double next_noon = CalendarToCenturies(year, month, day, 12.0) + OneDayInCenturies;
    CenturiesToCalendar(next_noon, year, month, day, hours, hms);
}

ShortText TwoDigits(std::int32_t value) { return PadLeft(IntToShortText(value), '0', 2); }

// The pieces of text a style is joined from.
struct Pieces {
    ShortText year;   // no leading zeros
    ShortText year4;  // padded with "0" to four characters
    ShortText month;  // two digits
    ShortText day;    // two digits
    ShortText day_plain;
    ShortText hour;  // two digits, 12- or 24-hour clock
    ShortText minute;
    ShortText second;
    ShortText month_name;
    ShortText suffix;  // " AM", " PM" or empty
};

ShortText Join(DateStyle style, const Pieces& p) {
    switch (style) {
        case DateStyle::DotDateTimeSeconds:
            return p.month + "." + p.day + "." + p.year + "  " + p.hour + ":" + p.minute + ":" +
                   p.second + p.suffix;
        case DateStyle::DotDateTime:
            return p.month + "." + p.day + "." + p.year + "  " + p.hour + ":" + p.minute + p.suffix;
        case DateStyle::Time:
            return p.hour + ":" + p.minute + p.suffix;
        case DateStyle::DotMonthDayTime:
            return p.month + "." + p.day + "  " + p.hour + ":" + p.minute + p.suffix;
        case DateStyle::DotDate:
            return p.month + "." + p.day + "." + p.year;
        case DateStyle::TimeSeconds:
            return p.hour + ":" + p.minute + ":" + p.second + p.suffix;
        case DateStyle::CompactDate:
            return p.year4 + p.month + p.day;
        case DateStyle::CompactDateTime:
            return p.year4 + p.month + p.day + "  " + p.hour + ":" + p.minute + p.suffix;
        case DateStyle::MonthNameDayYear:
            return p.month_name + "  " + p.day_plain + " " + p.year;
        case DateStyle::MonthNameYear:
            return p.month_name + " " + p.year;
        case DateStyle::MonthNameDateTime:
            return p.month_name + " " + p.day + ", " + p.year + " " + p.hour + ":" + p.minute +
                   p.suffix;
        case DateStyle::DotMonthDay:
            return p.month + "." + p.day;
        case DateStyle::SlashDate:
            return p.month + "/" + p.day + "/" + p.year;
        case DateStyle::SlashDateTime24:
            return p.month + "/" + p.day + "/" + p.year + "   " + p.hour + ":" + p.minute + ":" +
                   p.second;
    }
    return ShortText();
}

}  // namespace

void FormatDate(DateStyle style, double moment, ShortText& text) {
    if (!IsRecognised(style)) return;
    const bool twenty_four_hour = style == DateStyle::SlashDateTime24;

    std::int32_t year = 1;
    std::int32_t month = 1;
    std::int32_t day = 1;
    double hours = 0.0;
    double hms = 0.0;
    CenturiesToCalendar(moment, year, month, day, hours, hms);

    int minute = 0;
    if (RoundsMinute(style)) {
        minute = RoundedMinute(hours);
        if (minute == 60) {
            // A moment less than a second before a full hour is read again
            // one second later, where the round trip's shortfall is gone.
            const double one_second_later =
                static_cast<double>(static_cast<Real>(moment) + OneDayInCenturies / 86400.0L);
            CenturiesToCalendar(one_second_later, year, month, day, hours, hms);
            minute = RoundedMinute(hours);
        }
    } else {
        minute = TruncatedMinute(hours);
    }

    bool pm = false;
    double clock_hours = twenty_four_hour ? hours : To12Hour(hours, pm);
    int second = 0;
    if (ShowsSeconds(style)) {
        second = RoundedSecond(clock_hours, minute);
        if (second == 60) {
            ++minute;
            second = 0;
        }
    }
    if (minute >= 60) {
        // The rounding reached the next full hour: carry into the hour and,
        // from 23:59, into the next day.
        minute = 0;
        double next_hour = std::trunc(hours) + 1.0;
        if (next_hour >= 24.0) {
            next_hour = 0.0;
            AdvanceOneDay(year, month, day);
        }
        clock_hours = twenty_four_hour ? next_hour : To12Hour(next_hour, pm);
    }

    Pieces pieces;
    pieces.year = IntToShortText(year);
    pieces.year4 = PadLeft(pieces.year, '0', 4);
    pieces.month = TwoDigits(month);
    pieces.day = TwoDigits(day);
    pieces.day_plain = IntToShortText(day);
    pieces.hour = TwoDigits(static_cast<std::int32_t>(std::trunc(clock_hours)));
    pieces.minute = TwoDigits(minute);
    pieces.second = TwoDigits(second);
    if (month >= 1 && month <= 12) {
        pieces.month_name = ShortText(MonthAbbreviations[static_cast<std::size_t>(month - 1)]);
    }
    if (!twenty_four_hour) pieces.suffix = pm ? " PM" : " AM";
    text = ToShortText(Join(style, pieces));
}

}  // namespace varn
