#pragma once
// Conversion 2: daily lines that begin with a month/day/year date reduced to
// the last line of each run of lines in one month. The lines 01/30/2004 10,
// 01/31/2004 11, 02/27/2004 12 and 02/28/2004 13 give 01/31/2004 11 and
// 02/28/2004 13.

#include <cstdint>
#include <string_view>

#include "io/job.h"
#include "io/job_status.h"
#include "io/line_input.h"
#include "io/line_output.h"

namespace varn {

// The month key of a line: the text before the first slash (after leading
// slashes) read as an integer, or -1 when it does not read. "01" and "1" are
// the same month.
std::int32_t MonthKey(std::string_view line);

// Writes, unchanged, each line that is the last of the input or whose next
// line has another month key. Holds one line of look-ahead, so memory does not
// grow with the input.
[[nodiscard]] JobStatus ConvertDailyToMonthly(LineInput& input, LineOutput& output,
                                              JobReport& report);

}  // namespace varn
