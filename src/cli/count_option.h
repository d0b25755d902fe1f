#pragma once
// Reading a count such as `--lines N`: decimal digits only, leading zeros
// ignored ("010" is ten, not eight), from 1 to the largest 64-bit value.
// "2k", "-3", "1e3" and " 5" are not numbers; "99999999999999999999" is too
// large, never "all lines".

#include <CLI/CLI.hpp>
#include <cstdint>
#include <optional>
#include <string_view>

namespace varn::cli {

// The count text holds, or nothing when it is not a whole number from 1 to
// INT64_MAX written in decimal digits.
std::optional<std::int64_t> ParsePositiveCount(std::string_view text);

// Checks a count option and hands it on in plain decimal, so the option's
// conversion reads "010" as 10. The error names the value as typed.
CLI::Validator PositiveCountValidator();

}  // namespace varn::cli
