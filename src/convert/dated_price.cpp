#include "convert/dated_price.h"

#include <string>

#include "calendar/calendar.h"
#include "calendar/format_date.h"

namespace varn {

JobStatus ConvertPriceToDatedPrice(LineInput& input, LineOutput& output, JobReport& report) {
    // The dates are a function of the line's position alone: the same moments,
    // one day apart, as a running sum from noon of 1 January 1000.
    double moment = CalendarToCenturies(1000, 1, 1, 12.0);
    ShortText date;
    std::string dated;
    std::string_view line;
    while (input.Next(line)) {
        FormatDate(DateStyle::DotDate, moment, date);
        dated.assign(date).append("   ").append(line);
        output.WriteLine(dated);
        if (!output.status().ok()) return output.status();
        moment += OneDayInCenturies;
    }
    report.lines_used = input.line_number();
    return input.status();
}

}  // namespace varn
