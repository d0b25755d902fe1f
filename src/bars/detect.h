#pragma once
// Guessing the date and time layouts of a bar input from its first lines.
//
// Only an input of more than 100 lines is examined. Date layouts are tried in
// ascending order and, for each, time layouts from 7 down to 0; the first pair
// that fits at least 96 of the first 100 lines wins. A file of 96 lines
// "01/02/2001 1.5 1.6 1.4 1.55" behind four headers, and more lines after,
// is date layout 5 ("MM/DD/YYYY") with time layout 0 ("Not Indicated").
//
// Detection may also decide how the prices read: four of them when a pair fits
// that way, else one price per line (tick lines "01/02/2001 1.5 200") when a
// pair fits 96 lines so.

#include <optional>
#include <span>
#include <string_view>
#include <system_error>

#include "calendar/layout_numbers.h"
#include "calendar/parse_date.h"
#include "calendar/regional.h"

namespace varn {

inline constexpr int DetectLineCount = 100;  // lines examined
inline constexpr int DetectThreshold = 96;   // of them, how many must fit

struct LayoutPair {
    DateLayout date_layout = DateLayout::YYMMDD;
    TimeLayout time_layout = TimeLayout::NotIndicated;
    friend bool operator==(const LayoutPair&, const LayoutPair&) = default;
};

// What detection found.
struct Detection {
    enum class Outcome {
        Detected,     // pair fits fitting_lines of the first 100 lines
        TooFewLines,  // the input has DetectLineCount lines or fewer
        NoFit,        // no pair fits DetectThreshold of the first lines
    };
    Outcome outcome = Outcome::TooFewLines;
    LayoutPair pair;                   // Detected: the pair; NoFit: the pair that fits most lines
    PriceForm form = PriceForm::Ohlc;  // how the fitting lines read: Ohlc or Single
    int fitting_lines = 0;             // how many of the first lines pair fits
    bool detected() const { return outcome == Outcome::Detected; }
};

// Why detection found nothing, as an error: "100 lines or fewer are not
// examined" or "no date and time layout fits 96 of the first 100 lines".
std::error_code DetectionError(Detection::Outcome outcome);

// The rule by which every job and the bar page guess the layouts. first holds
// the first lines of the input: DetectLineCount + 1 of them, or all when the
// input has fewer. Layouts given as fixed are not varied. form is the price
// form lines must fit; with Auto every pair is tried with four prices first,
// then, when none fits, with one.
Detection DetectInputLayouts(std::span<const std::string_view> first, const DateNames& names,
                             std::optional<DateLayout> fixed_date_layout = std::nullopt,
                             std::optional<TimeLayout> fixed_time_layout = std::nullopt,
                             PriceForm form = PriceForm::Ohlc);

// The first pair fitting at least DetectThreshold of the first DetectLineCount
// of lines, or nothing, whatever the number of lines.
std::optional<LayoutPair> DetectLayouts(std::span<const std::string_view> lines,
                                        const DateNames& names,
                                        std::optional<DateLayout> fixed_date_layout = std::nullopt,
                                        std::optional<TimeLayout> fixed_time_layout = std::nullopt);

// How many of the first DetectLineCount of lines fit pair with the prices
// read as form (Single, or four prices for anything else): the count
// detection compares with DetectThreshold, for a pair chosen by hand.
int CountFittingLines(std::span<const std::string_view> lines, const LayoutPair& pair,
                      PriceForm form, const DateNames& names);

}  // namespace varn
