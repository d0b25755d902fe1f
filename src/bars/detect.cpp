#include "bars/detect.h"

#include <algorithm>

#include "bars/bar_line.h"
#include "calendar/date_layouts.h"

namespace varn {

std::optional<LayoutPair> DetectLayouts(std::span<const std::string_view> lines,
                                        const DateNames& names,
                                        std::optional<int> fixed_date_layout,
                                        std::optional<int> fixed_time_layout) {
    const auto examined = lines.first(std::min<std::size_t>(lines.size(), DetectLineCount));
    const int first_date = fixed_date_layout.value_or(0);
    const int last_date = fixed_date_layout.value_or(DateLayoutCount - 1);
    const int first_time = fixed_time_layout.value_or(TimeLayoutCount - 1);
    const int last_time = fixed_time_layout.value_or(0);
    for (int d = first_date; d <= last_date; ++d) {
        for (int t = first_time; t >= last_time; --t) {
            int fits = 0;
            int left = static_cast<int>(examined.size());
            for (std::string_view line : examined) {
                if (LineFitsLayouts(d, t, line, names)) ++fits;
                --left;
                // Stop counting once the threshold is out of reach.
                if (fits + left < DetectThreshold) break;
            }
            if (fits >= DetectThreshold) return LayoutPair{d, t};
        }
    }
    return std::nullopt;
}

}  // namespace varn
