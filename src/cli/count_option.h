#pragma once
// Reading a count such as `--lines N` or `--threads N`: decimal digits only,
// leading zeros ignored ("010" is ten, not eight), within the option's range.
// "2k", "-3", "1e3", "0x10" and " 5" are not numbers; "99999999999999999999"
// is too large, never "all lines".

#include <CLI/CLI.hpp>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

namespace varn::cli {

// The count text holds, or nothing when it is not a whole number from low to
// high written in decimal digits.
std::optional<std::int64_t> ParseCount(std::string_view text, std::int64_t low, std::int64_t high);
// As ParseCount, from 1 to INT64_MAX.
std::optional<std::int64_t> ParsePositiveCount(std::string_view text);

// Checks a count option from low to high and hands it on in plain decimal, so
// the option's conversion reads "010" as 10. The error names the value as
// typed: "abc is not a number", "0 is below 1", "300 is too large (at most
// 256)".
CLI::Validator CountValidator(std::int64_t low, std::int64_t high);
// CountValidator from 1 to INT64_MAX.
CLI::Validator PositiveCountValidator();

}  // namespace varn::cli
