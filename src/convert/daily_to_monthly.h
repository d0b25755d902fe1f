#pragma once
// Conversion 2: daily lines that begin with a month/day/year date reduced to
// the last line of each run of lines in one month. The lines 01/30/2004 10,
// 01/31/2004 11, 02/27/2004 12 and 02/28/2004 13 give 01/31/2004 11 and
// 02/28/2004 13. A line without such a date (a header) is skipped.

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

// Whether a line begins with a month/day/year date: a month of 1 to 12, a
// day of 1 to 31 (blanks around either allowed) and a year of 2 or 4 digits,
// each ended by a slash but the year. "01/30/2004 10" and "1/5/04,3" do;
// "Date,Price", a blank line and "13/01/2004 1" do not.
[[nodiscard]] bool IsMonthDayYearLine(std::string_view line);
// As IsMonthDayYearLine, with the month (1 to 12, the line's MonthKey) in
// month when the line reads.
[[nodiscard]] bool ReadMonthDayYear(std::string_view line, std::int32_t& month);

// Why conversion 2 skips a line.
inline constexpr std::string_view NoMonthDayYearDate = "no MM/DD/YYYY date";

// Writes, unchanged, each dated line that is the last of the input's dated
// lines or whose next dated line has another month key; lines without a date
// are skipped and reported, and take no part in the runs of months. Holds one
// line of look-ahead, so memory does not grow with the input.
[[nodiscard]] JobStatus ConvertDailyToMonthly(LineInput& input, LineOutput& output,
                                              JobReport& report);

}  // namespace varn
