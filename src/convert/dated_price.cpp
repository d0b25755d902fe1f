#include "convert/dated_price.h"

#include <string>

#include "calendar/calendar.h"
#include "calendar/format_date.h"
#include "list/double_and_string_list.h"

namespace varn {

JobStatus ConvertPriceToDatedPrice(LineReader& input, AtomicFile& output) {
    // The whole input is held before anything is written. The dates are a
    // function of the line's position alone, so the list keeps the lines and
    // each date is made as its line is written: the same moments, one day
    // apart, as a running sum from noon of 1 January 1000.
    TBexoDoubleAndStringList lines(OwnEntriesAndObjects);
    std::string_view line;
    while (input.Next(line)) lines.Add(line);
    if (!input.status().ok()) return input.status();

    double moment = CalendarToCenturies(1000, 1, 1, 12.0);
    ShortText date;
    std::string dated;
    for (std::int32_t i = 0; i < lines.Count(); ++i) {
        FormatDate(DateStyle::DotDate, moment, date);
        dated.assign(date).append("   ").append(lines.Items(i).Text);
        output.WriteLine(dated);
        if (!output.status().ok()) return output.status();
        moment += OneDayInCenturies;
    }
    return JobStatus::Ok();
}

}  // namespace varn
