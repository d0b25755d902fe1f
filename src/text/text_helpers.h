#pragma once
// Price formatting, padding, trimming and the hour arithmetic of the date
// routines. FormatPrice(1271.75) is "1271.75"; HoursToHms(1.5) is 1.3 (one
// hour, 30 minutes); To12Hour(13.75) is pm 1.75.

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include "text/short_text.h"

namespace varn {

// Fixed-point price text: five decimals below 0.1, four below 10, two from 10
// up; the value is first taken to 18 significant digits, then rounded to the
// decimals with halves away from zero (12.125 gives "12.13", 9.99999 gives
// "10.0000"). Blanks trimmed; the decimal separator is always "." whatever the
// locale. A value that rounds to zero has no "-"; NaN and infinities give
// "nan", "inf" and "-inf".
ShortText FormatPrice(double value);

// The most decimals a price is written with by AppendFixedPrice's callers.
inline constexpr int MaxPriceDecimals = 10;

// Appends value with exactly `decimals` decimals (0 to MaxPriceDecimals; no
// "." with 0), "." as the separator in every locale. Written from the
// shortest decimal digits that read back as value, never from its binary
// expansion: a value read from a text of at most 15 significant digits gives
// back the digits of that text, with zeros added to the count (1.09497 with
// 5 is "1.09497", 1.5 with 2 "1.50", 0.00002717 with 8 "0.00002717").
// Fewer decimals than those digits round them with halves away from zero,
// judged on the first digit dropped (1.005 with 2 is "1.01"). A value that
// rounds to zero has no "-"; NaN and infinities are written as FormatPrice
// writes them.
void AppendFixedPrice(std::string& text, double value, int decimals);

// Decimal digits with a leading "-" when negative.
ShortText IntToShortText(std::int32_t value);

// text preceded by fill characters up to width (at most 255); unchanged
// (never cut) when it is at least width long.
ShortText PadLeft(std::string_view text, char fill, int width);

// text without leading and trailing characters of codes 0 to 32.
ShortText TrimBlanks(std::string_view text);

// text with every occurrence of c removed.
ShortText RemoveChar(std::string_view text, char c);

// path followed by "\" unless it is empty or ends in ":" or "\" (or NUL).
ShortText WithTrailingBackslash(std::string_view path);

// value raised to low, then lowered to high; high when low > high.
std::int32_t ClampInt(std::int32_t low, std::int32_t high, std::int32_t value);

// The hours x as a packed value H.MMSS (sign kept): x is first rounded to
// 1/10000 hour with ties to even, then minutes truncated, seconds rounded with
// ties to even; 60 seconds carry into the minute, 60 minutes into the hour, so
// 0.9999 gives 1.0. The result is the long double nearest the packed decimal.
// x not finite or beyond 9e14 hours is returned as it is.
long double HoursToHms(double hours);

// x cut toward zero, for finite x with |x| < 2^63: TruncToInt64(-2.75L) is -2.
// Read from the bits of x, so it neither depends on nor touches the
// processor's rounding control (a plain conversion switches it twice, which
// costs more than the rest of the date arithmetic).
inline std::int64_t TruncToInt64(long double x) {
    static_assert(std::numeric_limits<long double>::digits == 64,
                  "the 80-bit extended format is expected");
    std::uint64_t mantissa = 0;  // explicit leading bit
    std::uint16_t sign_exponent = 0;
    unsigned char bytes[sizeof(long double)];
    std::memcpy(bytes, &x, sizeof x);
    std::memcpy(&mantissa, bytes, sizeof mantissa);
    std::memcpy(&sign_exponent, bytes + sizeof mantissa, sizeof sign_exponent);
    const int exponent = (sign_exponent & 0x7fff) - 16383;
    if (exponent < 0) return 0;
    const auto magnitude = static_cast<std::int64_t>(mantissa >> (63 - exponent));
    return (sign_exponent & 0x8000) != 0 ? -magnitude : magnitude;
}

// The 12-hour clock is used: the first hour after midnight and noon reads 12.
inline constexpr bool Use12HourClock = true;

// Hours of the day (0 to below 24) on the 12-hour clock: pm is set from 12 on;
// the result lies from 1 to below 13.
double To12Hour(double hours, bool& pm);

// The 24-hour clock hour of hour on the 12-hour clock; only pm_flag == 1 means
// pm. 12 gives 0 without the flag and 12 with it. No range test.
std::int32_t From12Hour(std::uint8_t pm_flag, std::int32_t hour);

}  // namespace varn
