#include "cli/count_option.h"

#include <limits>
#include <string>

#include "io/job_status.h"

namespace varn::cli {
namespace {

enum class CountError { None, NotANumber, Zero, TooLarge };

CountError ReadCount(std::string_view text, std::int64_t& value) {
    value = 0;
    if (text.empty()) return CountError::NotANumber;
    bool too_large = false;
    for (const char c : text) {
        if (c < '0' || c > '9') return CountError::NotANumber;
        const int digit = c - '0';
        if (value > (std::numeric_limits<std::int64_t>::max() - digit) / 10) too_large = true;
        if (!too_large) value = value * 10 + digit;
    }
    if (too_large) return CountError::TooLarge;
    return value == 0 ? CountError::Zero : CountError::None;
}

}  // namespace

std::optional<std::int64_t> ParsePositiveCount(std::string_view text) {
    std::int64_t value = 0;
    if (ReadCount(text, value) != CountError::None) return std::nullopt;
    return value;
}

CLI::Validator PositiveCountValidator() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            std::int64_t value = 0;
            const std::string shown = DisplayName(text);
            switch (ReadCount(text, value)) {
                case CountError::NotANumber:
                    return shown + " is not a number";
                case CountError::Zero:
                    return shown + " is below 1";
                case CountError::TooLarge:
                    return shown + " is too large (at most " +
                           std::to_string(std::numeric_limits<std::int64_t>::max()) + ")";
                case CountError::None:
                    break;
            }
            text = std::to_string(value);
            return {};
        },
        "POSITIVE", "positive count");
}

}  // namespace varn::cli
