#pragma once
// Conversion 3: undated price lines given made-up consecutive dates, one day
// apart, from 1 January 1000 on (Julian calendar until the reform of 1582).
// The lines 4.318 and 4.3117 become "01.01.1000   4.318" and
// "01.02.1000   4.3117".

#include "io/job.h"
#include "io/job_status.h"
#include "io/line_input.h"
#include "io/line_output.h"

namespace varn {

// Writes each line of input behind its date (month, day and year separated by
// points) and three blanks, as it reads it.
[[nodiscard]] JobStatus ConvertPriceToDatedPrice(LineInput& input, LineOutput& output,
                                                 JobReport& report);

}  // namespace varn
