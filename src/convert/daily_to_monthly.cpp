#include "convert/daily_to_monthly.h"

#include <string>

#include "convert/reorder.h"
#include "text/fields.h"
#include "text/numbers.h"

namespace varn {

std::int32_t MonthKey(std::string_view line) {
    std::int32_t month = 0;
    if (!TextToInteger(FieldView(1, line, SlashSet), month)) return -1;
    return month;
}

bool IsMonthDayYearLine(std::string_view line) {
    const std::size_t first = line.find('/');
    if (first == std::string_view::npos) return false;
    const std::size_t second = line.find('/', first + 1);
    if (second == std::string_view::npos) return false;
    std::size_t end = second + 1;
    while (end < line.size() && line[end] >= '0' && line[end] <= '9') ++end;
    const std::size_t year_digits = end - second - 1;
    return IsNumberFromTo(line.substr(0, first), 2, 1, 12) &&
           IsNumberFromTo(line.substr(first + 1, second - first - 1), 2, 1, 31) &&
           (year_digits == 2 || year_digits == 4) && (end == line.size() || line[end] != '/');
}

JobStatus ConvertDailyToMonthly(LineInput& input, LineOutput& output, JobReport& report) {
    // A line closes its month when the next line has another key; the last
    // line closes the last month. The line before is held until the next one
    // tells.
    std::string held;
    std::int32_t held_key = 0;
    bool holding = false;
    std::string_view line;
    while (input.Next(line)) {
        if (!IsMonthDayYearLine(line)) {
            report.Skip(input.line_number(), NoMonthDayYearDate);
            continue;
        }
        const std::int32_t key = MonthKey(line);
        if (holding && key != held_key) {
            output.WriteLine(held);
            if (!output.status().ok()) return output.status();
        }
        held.assign(line);
        held_key = key;
        holding = true;
    }
    if (!input.status().ok()) return input.status();
    report.lines_used = input.line_number() - report.lines_skipped;
    if (holding && !input.stopped()) output.WriteLine(held);
    return output.status();
}

}  // namespace varn
