#pragma once
// Strict, locale-independent readings of text as numbers.
//
// Integers: leading spaces, an optional sign, then decimal digits or a hex
// number introduced by "$", "x", "X", "0x" or "0X", and nothing after them,
// within the signed 32-bit range. Reals: leading spaces, an optional sign,
// digits with an optional "." and an optional exponent; digits are optional on
// both sides of the point, so "." and "E5" read as 0. "42  " reads as 42 with
// TextToInteger, "3,25" as 3.25 with TextToReal.

#include <cstdint>
#include <string_view>

namespace varn {

// Reads text strictly as an integer, without removing anything. On success
// returns true and stores the value; on failure returns false and stores the
// 1-based position where the reading stopped (length + 1 when the text ran
// out, 1 for an empty text; for a value out of range, the digit at which it
// left the range: "2147483648" stops at 10).
[[nodiscard]] bool ReadStrictInteger(std::string_view text, std::int32_t& value);

// Reads text strictly as a real; same contract as ReadStrictInteger, the stop
// position stored as a double. The value is the nearest double. A number too
// small for a double reads as zero; one too large fails, stopping at its first
// digit or point ("1e400" stops at 1). "inf" and "nan" do not read.
[[nodiscard]] bool ReadStrictReal(std::string_view text, double& value);

// Strict integer reading with default: the value, or fallback when text does
// not read. No trailing spaces are removed.
std::int32_t StrictIntegerOr(std::string_view text, std::int32_t fallback);

// Removes trailing spaces (code 32 only) and reads the rest as an integer. On
// failure value holds the stop position.
[[nodiscard]] bool TextToInteger(std::string_view text, std::int32_t& value);

// Replaces the first "," by ".", removes trailing spaces and reads the rest as
// a real. On failure value holds the stop position (as a double).
[[nodiscard]] bool TextToReal(std::string_view text, double& value);

// As TextToReal, but on failure value is left exactly as the caller set it.
[[nodiscard]] bool TextToDouble(std::string_view text, double& value);

// Reads text strictly as a real (a trailing space fails); failing that, when
// it holds no "." but a ",", reads it once more with the first "," as ".". On
// failure value is set to fallback.
[[nodiscard]] bool ParseNumber(std::string_view text, double& value, double fallback);

}  // namespace varn
