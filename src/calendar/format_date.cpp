#include "calendar/format_date.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

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
    return static_cast<int>(TruncToInt64(std::nearbyint((h - std::trunc(h)) * 60.0L)));
}

// The minutes within the hour of hours, 0 to 59, cut toward zero.
int TruncatedMinute(double hours) {
    const Real h = hours;
    return static_cast<int>(TruncToInt64((h - std::trunc(h)) * 60.0L));
}

// The seconds left after the whole hours and minute of clock_hours, rounded
// with ties to even: 0 to 60. 0 when the arithmetic does not give a number.
int RoundedSecond(double clock_hours, int minute) {
    const Real h = clock_hours;
    const Real seconds =
        std::nearbyint((h - std::trunc(h) - static_cast<Real>(minute) / 60.0L) * 3600.0L);
    if (!std::isfinite(seconds) || seconds < 0.0L || seconds > 60.0L) return 0;
    return static_cast<int>(TruncToInt64(seconds));
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

// The text of a style, built in place; no style comes near ShortTextMax.
class Writer {
  public:
    Writer& operator<<(std::string_view piece) {
        size_ =
            static_cast<std::size_t>(std::copy(piece.begin(), piece.end(), data_ + size_) - data_);
        return *this;
    }
    // value in decimal, preceded by "0" up to width characters.
    Writer& Padded(std::int32_t value, int width) {
        char digits[16];
        const char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        for (auto size = end - digits; size < width; ++size) data_[size_++] = '0';
        return *this << std::string_view(digits, static_cast<std::size_t>(end - digits));
    }
    Writer& Plain(std::int32_t value) { return Padded(value, 0); }
    std::string_view Text() const { return std::string_view(data_, size_); }

  private:
    char data_[160];
    std::size_t size_ = 0;
};

// The pieces a style is joined from.
struct Pieces {
    std::int32_t year = 0;
    std::int32_t month = 0;
    std::int32_t day = 0;
    std::int32_t hour = 0;  // 12- or 24-hour clock
    std::int32_t minute = 0;
    std::int32_t second = 0;
    std::string_view month_name;  // empty outside 1 to 12
    std::string_view suffix;      // " AM", " PM" or empty
};

void Join(DateStyle style, const Pieces& p, Writer& w) {
    switch (style) {
        case DateStyle::DotDateTimeSeconds:
            w.Padded(p.month, 2) << ".";
            w.Padded(p.day, 2) << ".";
            w.Plain(p.year) << "  ";
            w.Padded(p.hour, 2) << ":";
            w.Padded(p.minute, 2) << ":";
            w.Padded(p.second, 2) << p.suffix;
            return;
        case DateStyle::DotDateTime:
            w.Padded(p.month, 2) << ".";
            w.Padded(p.day, 2) << ".";
            w.Plain(p.year) << "  ";
            w.Padded(p.hour, 2) << ":";
            w.Padded(p.minute, 2) << p.suffix;
            return;
        case DateStyle::Time:
            w.Padded(p.hour, 2) << ":";
            w.Padded(p.minute, 2) << p.suffix;
            return;
        case DateStyle::DotMonthDayTime:
            w.Padded(p.month, 2) << ".";
            w.Padded(p.day, 2) << "  ";
            w.Padded(p.hour, 2) << ":";
            w.Padded(p.minute, 2) << p.suffix;
            return;
        case DateStyle::DotDate:
            w.Padded(p.month, 2) << ".";
            w.Padded(p.day, 2) << ".";
            w.Plain(p.year);
            return;
        case DateStyle::TimeSeconds:
            w.Padded(p.hour, 2) << ":";
            w.Padded(p.minute, 2) << ":";
            w.Padded(p.second, 2) << p.suffix;
            return;
        case DateStyle::CompactDate:
            w.Padded(p.year, 4).Padded(p.month, 2).Padded(p.day, 2);
            return;
        case DateStyle::CompactDateTime:
            w.Padded(p.year, 4).Padded(p.month, 2).Padded(p.day, 2) << "  ";
            w.Padded(p.hour, 2) << ":";
            w.Padded(p.minute, 2) << p.suffix;
            return;
        case DateStyle::MonthNameDayYear:
            w << p.month_name << "  ";
            w.Plain(p.day) << " ";
            w.Plain(p.year);
            return;
        case DateStyle::MonthNameYear:
            w << p.month_name << " ";
            w.Plain(p.year);
            return;
        case DateStyle::MonthNameDateTime:
            w << p.month_name << " ";
            w.Padded(p.day, 2) << ", ";
            w.Plain(p.year) << " ";
            w.Padded(p.hour, 2) << ":";
            w.Padded(p.minute, 2) << p.suffix;
            return;
        case DateStyle::DotMonthDay:
            w.Padded(p.month, 2) << ".";
            w.Padded(p.day, 2);
            return;
        case DateStyle::SlashDate:
            w.Padded(p.month, 2) << "/";
            w.Padded(p.day, 2) << "/";
            w.Plain(p.year);
            return;
        case DateStyle::SlashDateTime24:
            w.Padded(p.month, 2) << "/";
            w.Padded(p.day, 2) << "/";
            w.Plain(p.year) << "   ";
            w.Padded(p.hour, 2) << ":";
            w.Padded(p.minute, 2) << ":";
            w.Padded(p.second, 2);
            return;
    }
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
    pieces.year = year;
    pieces.month = month;
    pieces.day = day;
    pieces.hour = static_cast<std::int32_t>(std::trunc(clock_hours));
    pieces.minute = minute;
    pieces.second = second;
    if (month >= 1 && month <= 12) {
        pieces.month_name = MonthAbbreviations[static_cast<std::size_t>(month - 1)];
    }
    if (!twenty_four_hour) pieces.suffix = pm ? " PM" : " AM";
    Writer writer;
    Join(style, pieces, writer);
    text.assign(writer.Text());
}

}  // namespace varn
