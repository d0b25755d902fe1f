#include "text/numbers.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <limits>
#include <system_error>

#include "text/short_text.h"

namespace varn {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The value of c as a digit of base 10 or 16; -1 when it is none.
int DigitValue(char c, unsigned base) {
    if (c >= '0' && c <= '9') return c - '0';
    if (base == 16) {
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    }
    return -1;
}

// The 1-based position of the 0-based offset, as readers report it.
std::int32_t StopPosition(std::size_t offset) {
    constexpr auto kMax = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
    return offset < kMax ? static_cast<std::int32_t>(offset + 1)
                         : std::numeric_limits<std::int32_t>::max();
}

std::string_view WithoutTrailingSpaces(std::string_view text) {
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// Copies text (at most ShortTextMax characters) into buffer with its first ","
// turned into "."; returns the copy.
std::string_view CommaAsPoint(std::string_view text, char (&buffer)[ShortTextMax]) {
    const std::size_t size = std::min(text.size(), ShortTextMax);
    bool replaced = false;
    for (std::size_t i = 0; i < size; ++i) {
        char c = text[i];
        if (c == ',' && !replaced) {
            c = '.';
            replaced = true;
        }
        buffer[i] = c;
    }
    return std::string_view(buffer, size);
}

// The nearest double of the checked digits (integer digits, fraction digits,
// times 10^exponent) when it follows from one exact operation: at most 19
// significant digits whose value fits 53 bits, and a power of ten that is
// itself a double (10^0 to 10^22). One multiplication or division of two
// exact doubles is correctly rounded. False when the digits do not allow it.
bool ReadShortDecimal(std::string_view integer_digits, std::string_view fraction_digits,
                      std::int64_t exponent, double& value) {
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                         1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    std::uint64_t digits = 0;
    int significant = 0;
    for (char c : integer_digits) {
        if (significant > 0 || c != '0') ++significant;
        if (significant > 19) return false;
        digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
    }
    for (char c : fraction_digits) {
        if (significant > 0 || c != '0') ++significant;
        if (significant > 19) return false;
        digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (significant > 19 || digits > (std::uint64_t{1} << 53)) return false;
    const std::int64_t power = exponent - static_cast<std::int64_t>(fraction_digits.size());
    if (power < -22 || power > 22) return false;
    const auto mantissa = static_cast<double>(digits);
    value = power < 0 ? mantissa / kPowers[static_cast<std::size_t>(-power)]
                      : mantissa * kPowers[static_cast<std::size_t>(power)];
    return true;
}

// The position after the leading spaces (code 32 only) and an optional sign
// of text; negative tells whether the sign was "-".
std::size_t SkipSpacesAndSign(std::string_view text, bool& negative) {
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ') ++pos;
    negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    return pos;
}

}  // namespace

bool ReadStrictInteger(std::string_view text, std::int32_t& value) {
    const std::size_t size = text.size();
    bool negative = false;
    std::size_t pos = SkipSpacesAndSign(text, negative);
    unsigned base = 10;
    if (pos < size) {
        const char c = text[pos];
        if (c == '$' || c == 'x' || c == 'X') {
            base = 16;
            ++pos;
        } else if (c == '0' && pos + 1 < size && (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
            base = 16;
            pos += 2;
        }
    }
    // The magnitude may reach 2^31 only for a negative number.
    const std::uint64_t limit = negative ? std::uint64_t{1} << 31 : (std::uint64_t{1} << 31) - 1;
    std::uint64_t magnitude = 0;
    const std::size_t first_digit = pos;
    for (; pos < size; ++pos) {
        const int digit = DigitValue(text[pos], base);
        if (digit < 0) break;
        magnitude = magnitude * base + static_cast<unsigned>(digit);
        if (magnitude > limit) {
            value = StopPosition(pos);
            return false;
        }
    }
    if (pos == first_digit || pos < size) {
        value = StopPosition(pos);
        return false;
    }
    const auto signed_magnitude = static_cast<std::int64_t>(magnitude);
    value = static_cast<std::int32_t>(negative ? -signed_magnitude : signed_magnitude);
    return true;
}

bool ReadStrictReal(std::string_view text, double& value) {
    const std::size_t size = text.size();
    bool negative = false;
    std::size_t pos = SkipSpacesAndSign(text, negative);
    // Empty, spaces only or a bare sign: the text ran out.
    if (pos >= size) {
        value = StopPosition(pos);
        return false;
    }
    const std::size_t number = pos;
    while (pos < size && IsDigit(text[pos])) ++pos;
    const std::size_t integer_end = pos;
    std::size_t fraction_begin = pos;
    if (pos < size && text[pos] == '.') {
        ++pos;
        fraction_begin = pos;
        while (pos < size && IsDigit(text[pos])) ++pos;
    }
    const std::size_t fraction_end = pos;
    const bool has_digits = integer_end > number || fraction_end > fraction_begin;
    std::int64_t exponent = 0;  // saturated at +-10^15; only its size matters
    if (pos < size && (text[pos] == 'e' || text[pos] == 'E')) {
        ++pos;
        bool exponent_negative = false;
        if (pos < size && (text[pos] == '+' || text[pos] == '-')) {
            exponent_negative = text[pos] == '-';
            ++pos;
        }
        const std::size_t exponent_begin = pos;
        for (; pos < size && IsDigit(text[pos]); ++pos) {
            if (exponent < 1'000'000'000'000'000) exponent = exponent * 10 + (text[pos] - '0');
        }
        if (pos == exponent_begin) {
            value = StopPosition(pos);
            return false;
        }
        if (exponent_negative) exponent = -exponent;
    }
    if (pos < size) {
        value = StopPosition(pos);
        return false;
    }
    // Digits are optional on both sides of the point: "." and "E5" read as 0.
    if (!has_digits) {
        value = negative ? -0.0 : 0.0;
        return true;
    }
    double exact = 0.0;
    if (ReadShortDecimal(text.substr(number, integer_end - number),
                         text.substr(fraction_begin, fraction_end - fraction_begin), exponent,
                         exact)) {
        value = negative ? -exact : exact;
        return true;
    }
    // The syntax is checked; from_chars only turns the digits into the nearest
    // double, whatever the locale.
    double read = 0.0;
    const auto [end, error] =
        std::from_chars(text.data() + number, text.data() + size, read, std::chars_format::general);
    if (error == std::errc{} && end == text.data() + size) {
        value = negative ? -read : read;
        return true;
    }
    if (error == std::errc::result_out_of_range) {
        // Too small or too large for a double. The decimal order of the first
        // significant digit tells which: too small reads as zero, too large
        // fails at the first character of the number.
        std::int64_t order = 0;
        std::size_t i = number;
        while (i < integer_end && text[i] == '0') ++i;
        if (i < integer_end) {
            order = static_cast<std::int64_t>(integer_end - i) - 1;
        } else {
            i = fraction_begin;
            while (i < fraction_end && text[i] == '0') ++i;
            order = -static_cast<std::int64_t>(i - fraction_begin) - 1;
        }
        if (order + exponent < 0) {
            value = negative ? -0.0 : 0.0;
            return true;
        }
    }
    value = StopPosition(number);
    return false;
}

std::int32_t StrictIntegerOr(std::string_view text, std::int32_t fallback) {
    std::int32_t value = 0;
    return ReadStrictInteger(text, value) ? value : fallback;
}

bool TextToInteger(std::string_view text, std::int32_t& value) {
    return ReadStrictInteger(WithoutTrailingSpaces(text.substr(0, ShortTextMax)), value);
}

// The plain price form, digits with at most one "." or "," and at most 15
// digits in all, read in one pass: the digits and the power of ten are both
// exact doubles, so one division gives the nearest double, as the full
// reading does. False (value untouched) for anything else.
bool ReadPlainDecimal(std::string_view text, double& value) {
    static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const std::size_t size = text.size();
    if (size == 0 || size > 16) return false;
    std::uint64_t digits = 0;
    std::size_t separator = size;  // the position of the "." or ",", size while none seen
    for (std::size_t i = 0; i < size; ++i) {
        const char c = text[i];
        const auto digit = static_cast<unsigned>(c - '0');
        if (digit < 10) {
            digits = digits * 10 + digit;
        } else if ((c == '.' || c == ',') && separator == size) {
            separator = i;
        } else {
            return false;
        }
    }
    const std::size_t count = separator == size ? size : size - 1;
    if (count == 0 || count > 15) return false;
    const std::size_t fraction = separator == size ? 0 : size - 1 - separator;
    value = static_cast<double>(digits) / kPowers[fraction];
    return true;
}

bool TextToReal(std::string_view text, double& value) {
    if (ReadPlainDecimal(text, value)) return true;
    char buffer[ShortTextMax];
    return ReadStrictReal(WithoutTrailingSpaces(CommaAsPoint(text, buffer)), value);
}

bool TextToDouble(std::string_view text, double& value) {
    double read = 0.0;
    if (!TextToReal(text, read)) return false;
    value = read;
    return true;
}

bool ParseNumber(std::string_view text, double& value, double fallback) {
    const std::string_view cut = text.substr(0, ShortTextMax);
    double read = 0.0;
    if (ReadStrictReal(cut, read)) {
        value = read;
        return true;
    }
    if (cut.find('.') == std::string_view::npos && cut.find(',') != std::string_view::npos) {
        char buffer[ShortTextMax];
        if (ReadStrictReal(CommaAsPoint(cut, buffer), read)) {
            value = read;
            return true;
        }
    }
    value = fallback;
    return false;
}

}  // namespace varn
