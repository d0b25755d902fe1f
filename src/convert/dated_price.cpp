#include "convert/dated_price.h"

#include "calendar/calendar.h"
#include "calendar/format_date.h"
#include "convert/reorder.h"

namespace varn {

double FirstDatedPriceMoment() { return CalendarToCenturies(1000, 1, 1, 12.0); }

void DatedPriceDate(double moment, ShortText& date) {
    FormatDate(DateStyle::DotDate, moment, date);
}

bool StartsWithNumber(std::string_view line) {
    std::size_t start = 0;
    while (start < line.size() && (line[start] == ' ' || line[start] == '\t')) ++start;
    const std::size_t end = line.find_first_of(" \t,;", start);
    return IsDecimalNumber(line.substr(start, end == std::string_view::npos ? end : end - start));
}

}  // namespace varn
