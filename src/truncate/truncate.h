#pragma once
// Counting the lines of a file and writing its last lines.
//
// Lines end at CR LF, LF or a lone CR; a final line break adds no empty line,
// and every line written ends with CR LF. Writing the last 10 lines of a file
// of 100 lines gives its lines 91 to 100; a file of fewer lines is written
// whole.

#include <cstdint>
#include <string>
#include <vector>

#include "io/job.h"
#include "io/job_status.h"

namespace varn {

// The lines the "Trunc File" page holds after "Open".
using TruncLines = std::vector<std::string>;

// Replaces lines by the lines of path (emptied first, so they are empty after
// a failure). The count is lines.size().
[[nodiscard]] JobStatus LoadTruncFile(const std::string& path, TruncLines& lines);

// The index (from 0) of the first of the last n lines of count lines:
// count - n, or 0 when that is not positive.
std::int64_t FirstKeptLine(std::int64_t count, std::int64_t n);

// The choices of a truncation.
struct TruncateChoices {
    std::int64_t lines = 10000;  // how many of the last lines to keep, 1 or more
};

// Writes the last min(count, n) lines of source to destination through a
// temporary file, so the destination may be the file the lines came from.
// Lines in memory are written from memory; a plain regular file is read from
// its end, so only its last n lines are read at all; any other input (a
// pipe, a compressed or UTF-16 file, a file of /proc whose size is not its
// own) is read through, holding at most n lines. The report counts the lines
// read and written.
JobReport RunTruncate(const LineSource& source, const Destination& destination,
                      const TruncateChoices& choices, const JobCallbacks& callbacks = {});

// Counts the lines of source without holding them: lines_read of the report.
JobReport RunCount(const LineSource& source);

}  // namespace varn
