#include "text/text_helpers.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <string>

namespace varn {
namespace {

// Decimal digits of a value taken to 18 significant digits.
constexpr int kSignificantDigits = 18;

ShortText Cut(std::string_view text) { return ShortText(text.substr(0, ShortTextMax)); }

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

// x >= 0 (below 9e18) rounded to the nearest integer, ties to the even one,
// whatever the rounding mode of the processor.
std::int64_t RoundHalfEvenNonNegative(long double x) {
    const std::int64_t lower = TruncToInt64(x);
    const long double excess = x - static_cast<long double>(lower);  // exact
    if (excess < 0.5L) return lower;
    if (excess > 0.5L) return lower + 1;
    return lower % 2 == 0 ? lower : lower + 1;
}

__extension__ using Wide = unsigned __int128;

constexpr std::uint64_t kTenTo17 = 100'000'000'000'000'000;
constexpr std::uint64_t kTenTo18 = 1'000'000'000'000'000'000;

// 10^k for k = 0 to 22.
constexpr auto kPowersOfTen = [] {
    std::array<Wide, 23> powers{};
    Wide power = 1;
    for (Wide& each : powers) {
        each = power;
        power *= 10;
    }
    return powers;
}();

// The bounds of the exact path of PriceUnits: 2^-13 and 2^56.
constexpr double kExactLow = 1.0 / 8192.0;
constexpr double kExactHigh = 72057594037927936.0;

// The magnitude (kExactLow <= magnitude < kExactHigh) rounded to 18
// significant digits with ties to even, then to `decimals` decimals with
// halves (judged on the first dropped digit) away from zero, as a count of
// units of the last decimal. A double is an integer times a power of two, so
// 128-bit integers hold every product needed exactly.
std::uint64_t PriceUnits(double magnitude, int decimals) {
    // Most prices are the double nearest a short decimal, guess / scale: the
    // double then lies within magnitude * 2^-53 of it, so below 10^14 units
    // it lies within 0.012 of a unit of it even after the rounding to 18
    // digits, and both roundings give guess back.
    constexpr std::array<double, 6> kScales = {1, 10, 100, 1000, 10000, 100000};
    const double scale = kScales[static_cast<std::size_t>(decimals)];
    const double guess = std::round(magnitude * scale);
    if (guess < 1e14 && guess / scale == magnitude) return static_cast<std::uint64_t>(guess);

    std::uint64_t bits = 0;
    std::memcpy(&bits, &magnitude, sizeof bits);
    const int biased = static_cast<int>(bits >> 52);
    const std::uint64_t mantissa =
        (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
    const int binary_exponent = biased - 1075;  // magnitude = mantissa * 2^binary_exponent
    // The decimal order: floor(log10(2) * (biased - 1023)) or one more.
    int order = ((biased - 1023) * 78913) >> 18;
    std::uint64_t scaled = 0;  // the 18 digits, rounded
    for (;;) {
        Wide product =
            static_cast<Wide>(mantissa) * kPowersOfTen[static_cast<std::size_t>(17 - order)];
        Wide floor_part = product;
        Wide rest = 0;
        Wide half = 0;
        if (binary_exponent >= 0) {
            floor_part = product << binary_exponent;
        } else {
            const int shift = -binary_exponent;
            floor_part = product >> shift;
            rest = product & ((Wide{1} << shift) - 1);
            half = Wide{1} << (shift - 1);
        }
        if (floor_part >= kTenTo18) {
            ++order;
            continue;
        }
        if (floor_part < kTenTo17) {
            --order;
            continue;
        }
        scaled = static_cast<std::uint64_t>(floor_part);
        if (rest > half || (rest == half && rest != 0 && (scaled & 1) != 0)) ++scaled;
        break;
    }
    if (scaled == kTenTo18) {
        scaled = kTenTo17;
        ++order;
    }
    // The digit of index i of `scaled` is worth 10^(order - i); the first
    // `kept` digits are worth at least one unit.
    const int kept = order + decimals + 1;
    if (kept >= 18)
        return scaled *
               static_cast<std::uint64_t>(kPowersOfTen[static_cast<std::size_t>(kept - 18)]);
    const auto divisor =
        static_cast<std::uint64_t>(kPowersOfTen[static_cast<std::size_t>(18 - kept)]);
    std::uint64_t units = scaled / divisor;
    if (scaled % divisor >= divisor / 10 * 5) ++units;
    return units;
}

// Fixed-point text of units of 10^-decimals: the digits of units, at least
// decimals + 1 of them, with the point before the last decimals.
ShortText UnitsText(bool negative, std::uint64_t units, int decimals) {
    const bool minus = negative && units != 0;  // no "-0.00"
    char text[32];
    char* const end = text + sizeof text;
    char* first = end;
    int count = 0;
    do {
        if (count == decimals) *--first = '.';
        *--first = static_cast<char>('0' + units % 10);
        units /= 10;
        ++count;
    } while (units != 0 || count <= decimals);
    if (minus) *--first = '-';
    return ShortText(first, end);
}

}  // namespace

ShortText FormatPrice(double value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";

    // The format is chosen before rounding, so 9.99999 keeps four decimals and
    // becomes 10.0000. The bound 0.1L lies just below the double 0.1.
    // No double lies between 0.1L and the double 0.1, so the bound holds for
    // the double compare as well.
    const double magnitude_double = std::fabs(value);
    const int decimals = magnitude_double < 0.1 ? 5 : (magnitude_double < 10.0 ? 4 : 2);
    const long double magnitude = magnitude_double;
    if (magnitude_double >= kExactLow && magnitude_double < kExactHigh) {
        return UnitsText(value < 0, PriceUnits(magnitude_double, decimals), decimals);
    }
    if (magnitude_double == 0.0) return "0.00000";

    // The magnitude to 18 significant digits: "d.ddddddddddddddddde+xx".
    char scientific[64];
    const auto written = std::to_chars(scientific, scientific + sizeof scientific, magnitude,
                                       std::chars_format::scientific, kSignificantDigits - 1);
    char digits[kSignificantDigits];
    digits[0] = scientific[0];
    std::copy(scientific + 2, scientific + 2 + kSignificantDigits - 1, digits + 1);
    const char* exponent_text = scientific + 2 + kSignificantDigits - 1 + 1;  // after the "e"
    const bool exponent_negative = *exponent_text == '-';
    int exponent = 0;
    std::from_chars(exponent_text + 1, written.ptr, exponent);
    if (exponent_negative) exponent = -exponent;

    // The digit of index i is worth 10^(exponent - i); the first `kept` digits
    // are worth at least one unit of the last decimal. Units holds the rounded
    // value in those units, as decimal digits.
    char units[kSignificantDigits + 400];
    int count = 0;
    const int kept = exponent + decimals + 1;
    if (kept <= 0) {
        // Every digit lies below the last decimal; only a first digit of 5 or
        // more, right below it, rounds up to one unit.
        units[count++] = (kept == 0 && digits[0] >= '5') ? '1' : '0';
    } else if (kept >= kSignificantDigits) {
        for (char digit : digits) units[count++] = digit;
        while (count < kept) units[count++] = '0';
    } else {
        units[count++] = '0';  // room for a carry out of the first digit
        for (int i = 0; i < kept; ++i) units[count++] = digits[i];
        // Halves away from zero: the magnitude rounds up at a first dropped
        // digit of 5 or more.
        if (digits[kept] >= '5') {
            int i = count - 1;
            while (units[i] == '9') units[i--] = '0';
            ++units[i];
        }
    }

    const std::string_view unit_digits(units, static_cast<std::size_t>(count));
    const std::size_t first_nonzero = unit_digits.find_first_not_of('0');
    const bool is_zero = first_nonzero == std::string_view::npos;
    const auto fraction_size = static_cast<std::size_t>(decimals);

    // Integer part without leading zeros (at least "0"), then the decimals.
    std::string text;
    text.reserve(unit_digits.size() + 4);
    if (value < 0 && !is_zero) text += '-';
    const std::size_t integer_size =
        unit_digits.size() > fraction_size ? unit_digits.size() - fraction_size : 0;
    const std::string_view integer_part = unit_digits.substr(0, integer_size);
    const std::size_t integer_first = integer_part.find_first_not_of('0');
    if (integer_first == std::string_view::npos) {
        text += '0';
    } else {
        text += integer_part.substr(integer_first);
    }
    text += '.';
    const std::string_view fraction_part = unit_digits.substr(integer_size);
    text.append(fraction_size - fraction_part.size(), '0');
    text += fraction_part;
    if (text.size() > ShortTextMax) text.resize(ShortTextMax);
    return text;
}

void AppendFixedPrice(std::string& text, double value, int decimals) {
    if (!std::isfinite(value)) {
        text += FormatPrice(value);
        return;
    }
    const auto kept = static_cast<std::size_t>(std::clamp(decimals, 0, MaxPriceDecimals));
    // Nearly every price is a whole number of units of the last decimal kept,
    // fewer than 10^15 of them, that reads back as value: those units are
    // then the shortest digits with zeros added. (Below 10^15 units, texts
    // with that many decimals lie more than four steps of a double apart, so
    // no other one reads back as value; and none with more decimals is
    // shorter.) Written from the whole number, without the digits of
    // to_chars.
    static constexpr double kScales[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10};
    const double magnitude = std::fabs(value);
    if (const double scaled = magnitude * kScales[kept]; scaled < 1e15) {
        const auto whole = static_cast<std::uint64_t>(std::llround(scaled));
        if (static_cast<double>(whole) / kScales[kept] == magnitude) {
            char buffer[24];
            char* first = std::end(buffer);
            std::uint64_t rest = whole;
            for (std::size_t i = 0; i < kept; ++i, rest /= 10) {
                *--first = static_cast<char>('0' + rest % 10);
            }
            if (kept > 0) *--first = '.';
            do {
                *--first = static_cast<char>('0' + rest % 10);
                rest /= 10;
            } while (rest != 0);
            if (value < 0 && whole != 0) *--first = '-';
            text.append(first, std::end(buffer));
            return;
        }
    }
    // The largest double has 309 digits before the point, the smallest 324
    // places after it.
    char shortest[400];
    const char* const end =
        std::to_chars(shortest, shortest + sizeof shortest, magnitude, std::chars_format::fixed)
            .ptr;
    const std::string_view written(shortest, static_cast<std::size_t>(end - shortest));
    const std::size_t point = std::min(written.find('.'), written.size());
    const std::string_view integer = written.substr(0, point);
    const std::string_view fraction = written.substr(std::min(point + 1, written.size()));

    // The digits kept, the point left out, behind a 0 that takes a carry.
    std::array<char, sizeof shortest + MaxPriceDecimals + 1> digits{};
    std::size_t count = 0;
    digits[count++] = '0';
    for (const char digit : integer) digits[count++] = digit;
    for (std::size_t i = 0; i < kept; ++i)
        digits[count++] = i < fraction.size() ? fraction[i] : '0';
    if (fraction.size() > kept && fraction[kept] >= '5') {
        std::size_t i = count - 1;
        while (digits[i] == '9') digits[i--] = '0';
        ++digits[i];
    }
    const std::string_view units(digits.data(), count);
    const std::size_t integer_end = count - kept;
    const std::size_t first = std::min(units.find_first_not_of('0'), integer_end - 1);
    if (value < 0 && units.find_first_not_of('0') != std::string_view::npos) text += '-';
    text.append(units.substr(first, integer_end - first));
    if (kept > 0) text.append(1, '.').append(units.substr(integer_end));
}

ShortText IntToShortText(std::int32_t value) {
    char buffer[16];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ShortText(buffer, written.ptr);
}

ShortText PadLeft(std::string_view text, char fill, int width) {
    const std::string_view cut = text.substr(0, ShortTextMax);
    const auto target =
        static_cast<std::size_t>(std::clamp(width, 0, static_cast<int>(ShortTextMax)));
    if (cut.size() >= target) return ShortText(cut);
    ShortText padded(target - cut.size(), fill);
    padded += cut;
    return padded;
}

ShortText TrimBlanks(std::string_view text) {
    std::string_view rest = text.substr(0, ShortTextMax);
    while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
    while (!rest.empty() && IsBlank(rest.back())) rest.remove_suffix(1);
    return ShortText(rest);
}

ShortText RemoveChar(std::string_view text, char c) {
    const std::string_view cut = text.substr(0, ShortTextMax);
    ShortText kept;
    kept.reserve(cut.size());
    for (char each : cut) {
        if (each != c) kept += each;
    }
    return kept;
}

ShortText WithTrailingBackslash(std::string_view path) {
    ShortText result = Cut(path);
    if (result.empty()) return result;
    const char last = result.back();
    if (last == '\0' || last == ':' || last == '\\') return result;
    if (result.size() < ShortTextMax) result += '\\';
    return result;
}

std::int32_t ClampInt(std::int32_t low, std::int32_t high, std::int32_t value) {
    if (value < low) value = low;
    if (value > high) value = high;
    return value;
}

long double HoursToHms(double hours) {
    const long double scaled = static_cast<long double>(hours) * 10000.0L;
    // Beyond the 64-bit range (or not a number) there is nothing to split.
    if (!(std::fabs(scaled) < 9.0e18L)) return static_cast<long double>(hours);

    // a: ten-thousandths of an hour, ties to even; the sign is kept apart.
    const std::int64_t a = RoundHalfEvenNonNegative(std::fabs(scaled));
    const long double sign = (scaled < 0 && a != 0) ? -1.0L : 1.0L;

    std::int64_t whole_hours = a / 10000;
    const std::int64_t fraction = a % 10000;  // 0 to 9999 ten-thousandths of an hour
    // Whole minutes, truncated: 0 to 59.
    std::int64_t minutes = fraction * 60 / 10000;
    // The rest in 1/10000 s, 0 to 599 999; seconds rounded with ties to even.
    const std::int64_t rest = fraction * 3600 - minutes * 600000;
    std::int64_t seconds = rest / 10000;
    const std::int64_t below = rest % 10000;
    if (below > 5000 || (below == 5000 && seconds % 2 == 1)) ++seconds;
    // Rounding can reach 60 seconds; carry them, and then 60 minutes.
    if (seconds == 60) {
        seconds = 0;
        ++minutes;
    }
    if (minutes == 60) {
        minutes = 0;
        ++whole_hours;
    }
    // H.MMSS from one exact integer, rounded once.
    const std::int64_t packed = whole_hours * 10000 + minutes * 100 + seconds;
    return sign * (static_cast<long double>(packed) / 10000.0L);
}

double To12Hour(double hours, bool& pm) {
    double v = hours;
    pm = v >= 12.0;
    if (pm) v -= 12.0;
    if (Use12HourClock && v < 1.0) v += 12.0;
    return v;
}

std::int32_t From12Hour(std::uint8_t pm_flag, std::int32_t hour) {
    std::int32_t h = hour;
    if (Use12HourClock && h >= 12) h -= 12;
    if (pm_flag == 1) h += 12;
    return h;
}

}  // namespace varn
