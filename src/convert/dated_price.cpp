#include "convert/dated_price.h"

#include "calendar/calendar.h"
#include "calendar/format_date.h"

namespace varn {

double FirstDatedPriceMoment() { return CalendarToCenturies(1000, 1, 1, 12.0); }

void DatedPriceDate(double moment, ShortText& date) {
    FormatDate(DateStyle::DotDate, moment, date);
}

}  // namespace varn
