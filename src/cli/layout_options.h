#pragma once
// Reading the layout and period options of `varn bars` and `varn detect`.
// "auto" means detect; "5" is layout 5; "day" is period 3.

#include <CLI/CLI.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bars/detect.h"
#include "calendar/regional.h"

namespace varn::cli {

// The layout number, or nothing for "auto" (the text is validated before).
std::optional<int> ParseLayoutOption(const std::string& text);
// The period number of 0-7 or a period name; nothing when it is neither.
std::optional<int> ParsePeriodOption(const std::string& text);

// Accepts "auto" or a whole number from 0 to count - 1.
CLI::Validator LayoutValidator(int count);
// Accepts 0-7 and the period names.
CLI::Validator PeriodValidator();

// Detection over the first lines of a streamed input: nothing when it has
// DetectLineCount lines or fewer, or when no pair fits.
std::optional<LayoutPair> DetectFirstLines(const std::vector<std::string>& first,
                                           const DateNames& names, std::optional<int> date,
                                           std::optional<int> time);

}  // namespace varn::cli
