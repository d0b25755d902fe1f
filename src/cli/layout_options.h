#pragma once
// Reading the layout and period options of `varn bars`.
// "auto" means detect; "5" is layout 5; "day" is period 3.

#include <CLI/CLI.hpp>
#include <optional>
#include <string>

#include "calendar/layout_numbers.h"

namespace varn::cli {

// The layout, or nothing for "auto" (the text is validated before).
std::optional<DateLayout> ParseDateLayoutOption(const std::string& text);
std::optional<TimeLayout> ParseTimeLayoutOption(const std::string& text);
// The period of 0-7 or a period name; nothing when it is neither.
std::optional<BarPeriod> ParsePeriodOption(const std::string& text);

// Accepts "auto" or a whole number from 0 to count - 1.
CLI::Validator LayoutValidator(int count);
// Accepts 0-7 and the period names.
CLI::Validator PeriodValidator();

}  // namespace varn::cli
