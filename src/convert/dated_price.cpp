#include "convert/dated_price.h"

#include "calendar/calendar.h"
#include "calendar/format_date.h"

namespace varn {

double FirstDatedPriceMoment() { return CalendarToCenturies(1000, 1, 1, 12.0); }

void DatedPriceDate(double moment, ShortText& date) {
    FormatDate(DateStyle::DotDate, moment, date);
}

bool StartsWithNumber(std::string_view line) {
    // One walk over the first field: a sign, digits, a point, digits.
    const char* p = line.data();
    const char* const end = p + line.size();
    const auto is_digit = [](char c) { return c >= '0' && c <= '9'; };
    while (p != end && (*p == ' ' || *p == '\t')) ++p;
    if (p != end && (*p == '-' || *p == '+')) ++p;
    const char* const whole = p;
    while (p != end && is_digit(*p)) ++p;
    bool digits = p != whole;
    if (p != end && *p == '.') ++p;
    const char* const fraction = p;
    while (p != end && is_digit(*p)) ++p;
    digits = digits || p != fraction;
    return digits && (p == end || *p == ' ' || *p == '\t' || *p == ',' || *p == ';');
}

}  // namespace varn
