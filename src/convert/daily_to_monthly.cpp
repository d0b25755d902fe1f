#include "convert/daily_to_monthly.h"

#include "convert/reorder.h"
#include "list/double_and_string_list.h"
#include "text/fields.h"
#include "text/numbers.h"

namespace varn {

std::int32_t MonthKey(std::string_view line) {
    std::int32_t month = 0;
    if (!TextToInteger(FieldView(1, line, SlashSet), month)) return -1;
    return month;
}

JobStatus ConvertDailyToMonthly(LineReader& input, AtomicFile& output) {
    TBexoDoubleAndStringList lines(OwnEntriesAndObjects);
    std::string_view line;
    while (input.Next(line)) lines.Add(line);
    if (!input.status().ok()) return input.status();

    // A line closes its month when the next line has another key; the last
    // line closes the last month.
    const std::int32_t count = lines.Count();
    std::int32_t key = count > 0 ? MonthKey(lines.Items(0).Text) : 0;
    for (std::int32_t i = 0; i < count; ++i) {
        const std::string_view text = lines.Items(i).Text;
        const bool last = i + 1 == count;
        const std::int32_t next_key = last ? key : MonthKey(lines.Items(i + 1).Text);
        if (last || next_key != key) {
            output.WriteLine(text);
            if (!output.status().ok()) return output.status();
        }
        key = next_key;
    }
    return JobStatus::Ok();
}

}  // namespace varn
