#pragma once
// Parsing a batch of bar input lines. Parsing is most of the work of bar
// building and each line parses alone, so the bar job parses its blocks of
// lines on a pool of threads; the bars are then built in line order from the
// results, exactly as from lines parsed one by one.

#include <span>
#include <string>
#include <string_view>

#include "bars/bar_line.h"
#include "calendar/parse_date.h"

namespace varn {

// One line as bar building needs it: whether it parsed, and then its date
// (for the stamp), key and prices.
struct ParsedBarLine {
    bool ok = false;
    ParsedDate date;
    BarLine bar;
    std::string symbol;  // the symbol column, when the lines carry one
};

// Fills out[i] from lines[i] (out.size() == lines.size()) with ReadBarFields
// under the layouts and reading given, on the calling thread.
void ParseBarLines(std::span<const std::string_view> lines, DateLayout date_layout,
                   TimeLayout time_layout, const BarReading& reading, const DateNames& names,
                   std::span<ParsedBarLine> out);

}  // namespace varn
