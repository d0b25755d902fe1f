#pragma once
// Guessing the date and time layouts of a bar input from its first lines.
//
// Date layouts are tried in ascending order and, for each, time layouts from
// 7 down to 0; the first pair that fits at least 96 of the first 100 lines
// wins. A file of 96 lines "01/02/2001 1.5 1.6 1.4 1.55" and four headers is
// date layout 5 ("MM/DD/YYYY") with time layout 0 ("Not Indicated").

#include <optional>
#include <span>
#include <string_view>

#include "calendar/parse_date.h"
#include "calendar/regional.h"

namespace varn {

inline constexpr int DetectLineCount = 100;  // lines examined
inline constexpr int DetectThreshold = 96;   // of them, how many must fit

struct LayoutPair {
    int date_layout = 0;
    int time_layout = 0;
    friend bool operator==(const LayoutPair&, const LayoutPair&) = default;
};

// The first pair fitting at least DetectThreshold of the first DetectLineCount
// of lines, or nothing. Layouts given as fixed are not varied. The caller
// decides whether the file is long enough to be examined at all.
std::optional<LayoutPair> DetectLayouts(std::span<const std::string_view> lines,
                                        const DateNames& names,
                                        std::optional<int> fixed_date_layout = std::nullopt,
                                        std::optional<int> fixed_time_layout = std::nullopt);

}  // namespace varn
