#pragma once
// Conversion 4: lines that begin with a truncated Julian day (the Julian day
// without its leading "24", with a fraction for the time) and a price become
// calendar date, time of day and price. "52275.5 1.234" becomes
// "1/1/2002 12:00:00  1.234".

#include <string>
#include <string_view>

#include "io/job.h"
#include "io/job_status.h"
#include "io/line_input.h"
#include "io/line_output.h"

namespace varn {

// One line of conversion 4: M/D/YYYY H:MM:SS, two blanks, field 2 (fields by
// blanks). The moment is taken half a day later than the Julian day read, and
// its time of day rounded to the nearest whole second, carrying into the date.
// Nothing when field 1 is absent or, with "24" in front, does not read as a
// number ("." or "," as the decimal separator). The converted line (without
// a line end) is appended to out; false, with out as it was, when nothing.
bool ConvertTruncatedJulianLine(std::string_view line, std::string& out);

// Why a line gives nothing.
inline constexpr std::string_view NoTruncatedJulianDay = "no truncated Julian day";

}  // namespace varn
