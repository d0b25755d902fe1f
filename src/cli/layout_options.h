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

// A period of the list, or bars of a number of minutes.
struct PeriodOption {
    BarPeriod period = BarPeriod::Month;
    int minutes = 0;  // 0: period
};
// As ParsePeriodOption, and also "Nmin" (N dividing 1440) and "Nh" (N
// dividing 24): "20min" is 20 minutes, "4h" 240. "5min", "15min", "1h" and
// "60min" are the list's periods 0, 1 and 2.
std::optional<PeriodOption> ParseBarPeriodOption(const std::string& text);

// Accepts "auto" or a whole number from 0 to count - 1.
CLI::Validator LayoutValidator(int count);
// Accepts 0-7, the period names, "Nmin" and "Nh".
CLI::Validator PeriodValidator();
// Accepts "[-]HH:MM".
CLI::Validator SessionStartValidator();

}  // namespace varn::cli
