#include "cli/count_option.h"

#include <string>

#include "io/job_status.h"

namespace varn::cli {
namespace {

enum class CountError { None, NotANumber, Below, TooLarge };

CountError ReadCount(std::string_view text, std::int64_t low, std::int64_t high,
                     std::int64_t& value) {
    value = 0;
    if (text.empty()) return CountError::NotANumber;
    bool too_large = false;
    for (const char c : text) {
        if (c < '0' || c > '9') return CountError::NotANumber;
        const int digit = c - '0';
        if (value > (std::numeric_limits<std::int64_t>::max() - digit) / 10) too_large = true;
        if (!too_large) value = value * 10 + digit;
    }
    if (too_large || value > high) return CountError::TooLarge;
    return value < low ? CountError::Below : CountError::None;
}

}  // namespace

std::optional<std::int64_t> ParseCount(std::string_view text, std::int64_t low, std::int64_t high) {
    std::int64_t value = 0;
    if (ReadCount(text, low, high, value) != CountError::None) return std::nullopt;
    return value;
}

std::optional<std::int64_t> ParsePositiveCount(std::string_view text) {
    return ParseCount(text, 1, std::numeric_limits<std::int64_t>::max());
}

CLI::Validator CountValidator(std::int64_t low, std::int64_t high) {
    return CLI::Validator(
        [low, high](std::string& text) -> std::string {
            std::int64_t value = 0;
            const std::string shown = DisplayName(text);
            switch (ReadCount(text, low, high, value)) {
                case CountError::NotANumber:
                    return shown + " is not a number";
                case CountError::Below:
                    return shown + " is below " + std::to_string(low);
                case CountError::TooLarge:
                    return shown + " is too large (at most " + std::to_string(high) + ")";
                case CountError::None:
                    break;
            }
            text = std::to_string(value);
            return {};
        },
        std::to_string(low) + "-" + std::to_string(high), "count");
}

CLI::Validator PositiveCountValidator() {
    CLI::Validator validator = CountValidator(1, std::numeric_limits<std::int64_t>::max());
    validator.description("POSITIVE");
    return validator;
}

}  // namespace varn::cli
