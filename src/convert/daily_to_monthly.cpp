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

bool ReadMonthDayYear(std::string_view line, std::int32_t& month) {
    // One walk: [blanks] M[M] [blanks] / [blanks] D[D] [blanks] / YY[YY], and
    // no slash after the year.
    const char* p = line.data();
    const char* const end = p + line.size();
    const auto is_digit = [](char c) { return c >= '0' && c <= '9'; };
    const auto blanks = [&p, end] {
        while (p != end && *p == ' ') ++p;
    };
    // 1 or 2 digits from low to high between blanks, then a slash.
    const auto number = [&](int low, int high, int& value) {
        blanks();
        const char* const start = p;
        value = 0;
        while (p != end && is_digit(*p)) value = value * 10 + (*p++ - '0');
        const auto digits = p - start;
        blanks();
        if (digits < 1 || digits > 2 || value < low || value > high) return false;
        if (p == end || *p != '/') return false;
        ++p;
        return true;
    };
    int month_read = 0;
    int day = 0;
    if (!number(1, 12, month_read) || !number(1, 31, day)) return false;
    const char* const year = p;
    while (p != end && is_digit(*p)) ++p;
    const auto year_digits = p - year;
    if ((year_digits != 2 && year_digits != 4) || (p != end && *p == '/')) return false;
    month = month_read;
    return true;
}

bool IsMonthDayYearLine(std::string_view line) {
    std::int32_t month = 0;
    return ReadMonthDayYear(line, month);
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
        // The month read is the line's month key (MonthKey) too.
        std::int32_t key = 0;
        if (!ReadMonthDayYear(line, key)) {
            report.Skip(input.line_number(), NoMonthDayYearDate);
            continue;
        }
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
