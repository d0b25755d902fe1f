#include "convert/truncated_julian.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "calendar/calendar.h"
#include "convert/reorder.h"
#include "text/numbers.h"
#include "text/short_text.h"

namespace varn {

namespace {

// A date and a time of day in whole seconds, 0 to 86399.
struct DateAndSecond {
    std::int32_t year = 0;
    std::int32_t month = 0;
    std::int32_t day = 0;
    std::int64_t second = 0;
};

// The moment of a Julian day read as text, the way every day text is read:
// through Julian century values. The calendar day begins half a day after the
// Julian day, and the time of day is rounded to the nearest whole second,
// carrying into the date. False when the text does not read.
bool MomentByCenturies(std::string_view day_text, DateAndSecond& moment_out) {
    double julian_day = NoValue;
    if (!ParseNumber(day_text, julian_day, NoValue) || julian_day == NoValue) return false;

    const auto centuries =
        static_cast<double>((static_cast<long double>(julian_day) - 2415020.0L) / 36525.0L);
    // The Julian day begins at noon; the calendar day half a day later.
    const double moment = OneDayInCenturies / 2 + centuries;

    DateAndSecond& m = moment_out;
    double hours = 0, hms = 0;
    CenturiesToCalendar(moment, m.year, m.month, m.day, hours, hms);

    // The time of day to the nearest whole second: the round trip through
    // centuries leaves exact times a few microseconds short.
    m.second = static_cast<std::int64_t>(std::llround(static_cast<long double>(hours) * 3600.0L));
    if (m.second >= 86400) {
        // Rounded up to midnight: the date is the next one.
        CenturiesToCalendar(moment + OneDayInCenturies / 86400 * 2, m.year, m.month, m.day, hours,
                            hms);
        m.second = 0;
    }
    return true;
}

// The most digits the exact reading takes before and after the separator.
constexpr std::size_t ExactWholeDigits = 5;
constexpr std::size_t ExactFractionDigits = 6;

// The same moment in exact integers, for the day texts a file of truncated
// Julian days holds: up to five digits, and optionally "." or "," and up to
// six decimals. False, moment untouched, for any other field.
//
// Such a day, with "24" in front, is below 2.5 million and has at most six
// decimals, so it is a whole number of millionths of a day. Between two whole
// seconds there is no such time exactly half-way (86400 / 10^k times a whole
// number never ends in .5 for k up to 6), and the nearest half-way point lies
// at least 0.0008 seconds away, while the round trip through centuries is off
// by less than a microsecond here. So both readings round to the same whole
// second, and a time that rounds up to midnight gives the next date in both.
// The tests compare the two over every day and many decimals.
bool MomentExactly(std::string_view field, DateAndSecond& moment_out) {
    const auto is_digit = [](char c) { return c >= '0' && c <= '9'; };
    const std::size_t size = field.size();
    std::size_t i = 0;
    std::int64_t whole = 24;
    for (; i < size && is_digit(field[i]); ++i) {
        if (i == ExactWholeDigits) return false;
        whole = whole * 10 + (field[i] - '0');
    }
    std::int64_t millionths = 0;
    if (i < size) {
        if (field[i] != '.' && field[i] != ',') return false;
        const std::size_t first = ++i;
        for (; i < size && is_digit(field[i]); ++i) {
            if (i - first == ExactFractionDigits) return false;
            millionths = millionths * 10 + (field[i] - '0');
        }
        if (i != size) return false;
        static constexpr std::int64_t kScale[] = {1000000, 100000, 10000, 1000, 100, 10, 1};
        millionths *= kScale[i - first];
    }
    // The moment is half a day after the Julian day, and its day count (which
    // changes at midnight) half a day further on: the day after the whole
    // Julian day, at the time of day its decimals give.
    std::int64_t z = whole + 1;
    // The nearest whole second: 86400 / 10^6 = 864 / 10^4 seconds a
    // millionth; no time lies half-way between two.
    std::int64_t second = (millionths * 864 + 5000) / 10000;
    if (second == 86400) {
        ++z;
        second = 0;
    }
    DateOfDay(z, moment_out.year, moment_out.month, moment_out.day);
    moment_out.second = second;
    return true;
}

// Writes value in decimal at p; returns the end.
char* Decimal(char* p, std::int64_t value) {
    if (value >= 0 && value < 10) {
        *p = static_cast<char>('0' + value);
        return p + 1;
    }
    if (value >= 10 && value < 100) {
        p[0] = static_cast<char>('0' + value / 10);
        p[1] = static_cast<char>('0' + value % 10);
        return p + 2;
    }
    if (value >= 1000 && value < 10000) {  // a year
        p[0] = static_cast<char>('0' + value / 1000);
        p[1] = static_cast<char>('0' + value / 100 % 10);
        p[2] = static_cast<char>('0' + value / 10 % 10);
        p[3] = static_cast<char>('0' + value % 10);
        return p + 4;
    }
    return std::to_chars(p, p + 24, value).ptr;
}

}  // namespace

bool ConvertTruncatedJulianLine(std::string_view line, std::string& out) {
    // Fields 1 and 2 by blanks, a run of blanks counting as one.
    std::size_t pos = 0;
    const std::size_t size = line.size();
    while (pos < size && line[pos] == ' ') ++pos;
    const std::size_t day_start = pos;
    while (pos < size && line[pos] != ' ') ++pos;
    // A line without field 1 (a blank line) has no day to read.
    if (pos == day_start) return false;
    const std::string_view day_field = line.substr(day_start, pos - day_start);
    while (pos < size && line[pos] == ' ') ++pos;
    const std::size_t price_start = pos;
    while (pos < size && line[pos] != ' ') ++pos;
    const std::string_view price_field = line.substr(price_start, pos - price_start);

    DateAndSecond moment;
    if (!MomentExactly(day_field, moment)) {
        // Any other text is read as a number with "24" in front, the whole
        // cut to a short text.
        char text[ShortTextMax];
        text[0] = '2';
        text[1] = '4';
        const std::size_t n = std::min(day_field.size(), ShortTextMax - 2);
        std::memcpy(text + 2, day_field.data(), n);
        if (!MomentByCenturies(std::string_view(text, n + 2), moment)) return false;
    }

    // M/D/YYYY H:MM:SS: at most 11 + 1 + 11 + 1 + 11 + 1 + 20 + 6 characters.
    char buffer[72];
    char* p = buffer;
    p = Decimal(p, moment.month);
    *p++ = '/';
    p = Decimal(p, moment.day);
    *p++ = '/';
    p = Decimal(p, moment.year);
    *p++ = ' ';
    p = Decimal(p, moment.second / 3600);
    const auto two_digits = [&p](std::int64_t value) {
        *p++ = ':';
        *p++ = static_cast<char>('0' + value / 10);
        *p++ = static_cast<char>('0' + value % 10);
    };
    two_digits(moment.second / 60 % 60);
    two_digits(moment.second % 60);
    *p++ = ' ';
    *p++ = ' ';
    out.reserve(out.size() + static_cast<std::size_t>(p - buffer) + price_field.size());
    out.append(buffer, p);
    out.append(price_field);
    return true;
}

}  // namespace varn
