#include "convert/truncated_julian.h"

#include <cmath>
#include <cstdint>

#include "calendar/calendar.h"
#include "convert/reorder.h"
#include "text/fields.h"
#include "text/numbers.h"
#include "text/short_text.h"

namespace varn {

bool ConvertTruncatedJulianLine(std::string_view line, std::string& out) {
    const std::string_view day_field = FieldView(1, line, BlankSet);
    // A line without field 1 (a blank line) has no day to read.
    if (day_field.empty()) return false;

    const ShortText text = ToShortText(std::string("24").append(day_field));
    double julian_day = NoValue;
    if (!ParseNumber(text, julian_day, NoValue) || julian_day == NoValue) return false;

    const auto centuries =
        static_cast<double>((static_cast<long double>(julian_day) - 2415020.0L) / 36525.0L);
    // The Julian day begins at noon; the calendar day half a day later.
    const double moment = OneDayInCenturies / 2 + centuries;

    std::int32_t year = 0, month = 0, day = 0;
    double hours = 0, hms = 0;
    CenturiesToCalendar(moment, year, month, day, hours, hms);

    // The time of day to the nearest whole second: the round trip through
    // centuries leaves exact times a few microseconds short.
    auto seconds =
        static_cast<std::int64_t>(std::llround(static_cast<long double>(hours) * 3600.0L));
    if (seconds >= 86400) {
        // Rounded up to midnight: the date is the next one.
        CenturiesToCalendar(moment + OneDayInCenturies / 86400 * 2, year, month, day, hours, hms);
        seconds = 0;
    }
    const std::int64_t h = seconds / 3600;
    const std::int64_t m = seconds / 60 % 60;
    const std::int64_t s = seconds % 60;

    out += std::to_string(month);
    out += '/';
    out += std::to_string(day);
    out += '/';
    out += std::to_string(year);
    out += ' ';
    out += std::to_string(h);
    out += ':';
    if (m < 10) out += '0';
    out += std::to_string(m);
    out += ':';
    if (s < 10) out += '0';
    out += std::to_string(s);
    out += "  ";
    out += FieldView(2, line, BlankSet);
    return true;
}

}  // namespace varn
