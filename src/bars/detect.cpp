#include "bars/detect.h"

#include <algorithm>
#include <string>

#include "bars/bar_line.h"
#include "calendar/date_layouts.h"

namespace varn {
namespace {

// Calls visit with every pair in the order detection tries them (date layouts
// ascending, time layouts from 7 down to 0), until it returns true.
template <typename Visit>
void ForEachPair(std::optional<DateLayout> fixed_date, std::optional<TimeLayout> fixed_time,
                 Visit visit) {
    const int first_date = fixed_date ? Number(*fixed_date) : 0;
    const int last_date = fixed_date ? Number(*fixed_date) : DateLayoutCount - 1;
    const int first_time = fixed_time ? Number(*fixed_time) : TimeLayoutCount - 1;
    const int last_time = fixed_time ? Number(*fixed_time) : 0;
    for (int d = first_date; d <= last_date; ++d) {
        for (int t = first_time; t >= last_time; --t) {
            if (visit(LayoutPair{static_cast<DateLayout>(d), static_cast<TimeLayout>(t)})) return;
        }
    }
}

// The first pair that fits, with how many lines it fits.
std::optional<std::pair<LayoutPair, int>> FirstFittingPair(std::span<const std::string_view> lines,
                                                           const DateNames& names,
                                                           std::optional<DateLayout> fixed_date,
                                                           std::optional<TimeLayout> fixed_time,
                                                           PriceForm form) {
    const auto examined = lines.first(std::min<std::size_t>(lines.size(), DetectLineCount));
    std::optional<std::pair<LayoutPair, int>> found;
    ForEachPair(fixed_date, fixed_time, [&](const LayoutPair& pair) {
        int fits = 0;
        int left = static_cast<int>(examined.size());
        for (std::string_view line : examined) {
            if (LineFitsLayouts(pair.date_layout, pair.time_layout, form, line, names)) ++fits;
            --left;
            // Stop counting once the threshold is out of reach.
            if (fits + left < DetectThreshold) break;
        }
        if (fits >= DetectThreshold) found = std::pair{pair, fits};
        return found.has_value();
    });
    return found;
}

class DetectionCategory final : public std::error_category {
  public:
    const char* name() const noexcept override { return "detection"; }
    std::string message(int outcome) const override {
        if (outcome == static_cast<int>(Detection::Outcome::TooFewLines)) {
            return "100 lines or fewer are not examined";
        }
        return "no date and time layout fits 96 of the first 100 lines";
    }
};

}  // namespace

std::error_code DetectionError(Detection::Outcome outcome) {
    static const DetectionCategory category;
    return {static_cast<int>(outcome), category};
}

Detection DetectInputLayouts(std::span<const std::string_view> first, const DateNames& names,
                             std::optional<DateLayout> fixed_date_layout,
                             std::optional<TimeLayout> fixed_time_layout, PriceForm form) {
    Detection detection;
    if (first.size() <= static_cast<std::size_t>(DetectLineCount)) return detection;
    // Four prices are tried first; with the form left open, then one price.
    detection.form = form == PriceForm::Single ? PriceForm::Single : PriceForm::Ohlc;
    auto found =
        FirstFittingPair(first, names, fixed_date_layout, fixed_time_layout, detection.form);
    if (!found && form == PriceForm::Auto) {
        detection.form = PriceForm::Single;
        found =
            FirstFittingPair(first, names, fixed_date_layout, fixed_time_layout, PriceForm::Single);
    }
    if (!found) {
        // Tell the pair that came nearest with four prices: every pair counted
        // over every line, the first of the highest counts in the order pairs
        // are tried.
        detection.form = PriceForm::Ohlc;
        detection.outcome = Detection::Outcome::NoFit;
        const auto examined = first.first(DetectLineCount);
        ForEachPair(fixed_date_layout, fixed_time_layout, [&](const LayoutPair& pair) {
            int fits = 0;
            for (std::string_view line : examined) {
                if (LineFitsLayouts(pair.date_layout, pair.time_layout, PriceForm::Ohlc, line,
                                    names)) {
                    ++fits;
                }
            }
            if (fits > detection.fitting_lines) {
                detection.fitting_lines = fits;
                detection.pair = pair;
            }
            return false;
        });
        return detection;
    }
    detection.outcome = Detection::Outcome::Detected;
    detection.pair = found->first;
    detection.fitting_lines = found->second;
    return detection;
}

std::optional<LayoutPair> DetectLayouts(std::span<const std::string_view> lines,
                                        const DateNames& names,
                                        std::optional<DateLayout> fixed_date_layout,
                                        std::optional<TimeLayout> fixed_time_layout) {
    const auto found =
        FirstFittingPair(lines, names, fixed_date_layout, fixed_time_layout, PriceForm::Ohlc);
    if (!found) return std::nullopt;
    return found->first;
}

int CountFittingLines(std::span<const std::string_view> lines, const LayoutPair& pair,
                      PriceForm form, const DateNames& names) {
    const PriceForm read_as = form == PriceForm::Single ? PriceForm::Single : PriceForm::Ohlc;
    int fits = 0;
    for (std::string_view line :
         lines.first(std::min<std::size_t>(lines.size(), DetectLineCount))) {
        if (LineFitsLayouts(pair.date_layout, pair.time_layout, read_as, line, names)) ++fits;
    }
    return fits;
}

}  // namespace varn
