#include "text/quantity.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace varn {

void AppendQuantity(std::string& text, double value) {
    if (std::isnan(value)) {
        text += "nan";
        return;
    }
    if (std::isinf(value)) {
        text += value < 0 ? "-inf" : "inf";
        return;
    }
    // The largest double has 309 digits before the point.
    char digits[400];
    const bool whole = value == std::trunc(value);
    if (whole && std::fabs(value) < 9007199254740992.0) {
        // Below 2^53 a whole double is an exact integer: the short way.
        const auto result =
            std::to_chars(digits, digits + sizeof digits, static_cast<std::int64_t>(value));
        text.append(digits, result.ptr);
        return;
    }
    const auto result = std::to_chars(digits, digits + sizeof digits, value,
                                      std::chars_format::fixed, whole ? 0 : 8);
    const char* end = result.ptr;
    if (!whole) {
        while (end[-1] == '0') --end;
        if (end[-1] == '.') --end;
    }
    const char* begin = digits;
    // "-0" from a negative value that rounds to zero (or from -0.0).
    if (end - begin == 2 && begin[0] == '-' && begin[1] == '0') ++begin;
    text.append(begin, end);
}

std::string FormatQuantity(double value) {
    std::string text;
    AppendQuantity(text, value);
    return text;
}

}  // namespace varn
