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

// Writes the last min(count, n) of lines to destination through a temporary
// file, so the destination may be the file the lines came from.
[[nodiscard]] JobStatus WriteLastLines(const TruncLines& lines, std::int32_t n,
                                       const std::string& destination);

// Counts the lines of path ("-" for standard input) without holding them.
[[nodiscard]] JobStatus CountLines(const std::string& path, std::int64_t& count);

// Writes the last n lines of input to output ("-" for standard input and
// output) holding at most n lines; a regular input file is read from the end,
// so only its last n lines are read at all.
[[nodiscard]] JobStatus TruncateFile(const std::string& input, std::int64_t n,
                                     const std::string& output);

}  // namespace varn
