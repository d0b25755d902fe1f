#include "convert/reorder.h"

#include <array>
#include <cstring>
#include <span>

#include "text/fields.h"
#include "text/numbers.h"

namespace varn {
namespace {

// Joins pieces into out with one allocation at most.
void Join(std::string& out, std::span<const std::string_view> pieces) {
    std::size_t size = 0;
    for (const std::string_view piece : pieces) size += piece.size();
    out.resize(size);
    char* at = out.data();
    for (const std::string_view piece : pieces) {
        if (!piece.empty()) std::memcpy(at, piece.data(), piece.size());
        at += piece.size();
    }
}

// Read by the integer rule of the text helpers, which removes trailing blanks
// first: "06052 " is a number (its length is tested as it stands).
bool IsIntradayNumber(std::string_view field) {
    std::int32_t value = 0;
    return TextToInteger(field, value) && value != NotAnInteger;
}

// text without the blanks (code 32) at either end.
std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool ReadNumberFromTo(std::string_view field, std::size_t max_digits, int low, int high,
                      int& value) {
    field = TrimBlanks(field);
    if (field.empty() || field.size() > max_digits) return false;
    value = 0;
    for (const char c : field) {
        if (!IsDigit(c)) return false;
        value = value * 10 + (c - '0');
    }
    return value >= low && value <= high;
}

bool IsNumberFromTo(std::string_view field, std::size_t max_digits, int low, int high) {
    int value = 0;
    return ReadNumberFromTo(field, max_digits, low, high, value);
}

bool IsDecimalNumber(std::string_view text) {
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
    bool digits = false;
    bool point = false;
    for (const char c : text) {
        if (IsDigit(c)) {
            digits = true;
        } else if ((c == '.' || c == ',') && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digits;
}

namespace {

// The usual line in one walk: "1971,1,4,4.318", no blanks, one comma between
// fields. True, with the pieces, when the line is so and reads; false means
// the line must be looked at the general way.
bool ReadPlainDatePriceLine(std::string_view line, DatePricePieces& pieces) {
    const char* p = line.data();
    const char* const end = p + line.size();
    // A number of 1 to max digits from p, then a comma.
    const auto field = [&p, end](std::size_t max, int low, int high, std::string_view& text) {
        const char* const start = p;
        int value = 0;
        while (p != end && IsDigit(*p)) value = value * 10 + (*p++ - '0');
        const auto digits = static_cast<std::size_t>(p - start);
        if (digits == 0 || digits > max || value < low || value > high) return false;
        if (p == end || *p != ',') return false;
        text = std::string_view(start, digits);
        ++p;
        return true;
    };
    std::string_view year, month, day;
    if (!field(4, 0, 9999, year) || !field(2, 1, 12, month) || !field(2, 1, 31, day)) {
        return false;
    }
    // The price: a sign, digits and one point, up to the end or a comma.
    const char* const start = p;
    if (p != end && (*p == '-' || *p == '+')) ++p;
    const char* const whole = p;
    while (p != end && IsDigit(*p)) ++p;
    bool digits = p != whole;
    if (p != end && *p == '.') ++p;
    const char* const fraction = p;
    while (p != end && IsDigit(*p)) ++p;
    digits = digits || p != fraction;
    if (!digits || (p != end && *p != ',')) return false;
    pieces = {month,
              "/",
              day,
              "/",
              year,
              "   ",
              std::string_view(start, static_cast<std::size_t>(p - start))};
    return true;
}

}  // namespace

bool ReadDatePriceLine(std::string_view line, DatePricePieces& pieces) {
    if (ReadPlainDatePriceLine(line, pieces)) return true;
    const auto f = FirstFields<4>(line, ',');
    pieces = {f[1], "/", f[2], "/", f[0], "   ", f[3]};
    return IsNumberFromTo(f[0], 4, 0, 9999) && IsNumberFromTo(f[1], 2, 1, 12) &&
           IsNumberFromTo(f[2], 2, 1, 31) && IsDecimalNumber(TrimBlanks(f[3]));
}

bool IsDatePriceLine(std::string_view line) {
    DatePricePieces pieces;
    return ReadDatePriceLine(line, pieces);
}

std::string_view IntradayCentury(std::string_view yy) {
    if (yy.size() == 2 && IsDigit(yy[0]) && IsDigit(yy[1]) && yy > "50") return "19";
    return "20";
}

void ReorderDatePriceLine(std::string_view line, DatePricePieces& pieces) {
    const auto f = FirstFields<4>(line, ',');
    pieces = {f[1], "/", f[2], "/", f[0], "   ", f[3]};
}

bool ReorderIntradayLine(std::string_view line, IntradayPieces& pieces) {
    const auto f = FirstFields<8>(line, ',');
    if (!IsIntradayNumber(f[0]) || !IsIntradayNumber(f[1])) return false;
    if (f[0].size() != 6 || f[1].size() != 4) return false;
    const std::string_view date = f[0];
    const std::string_view time = f[1];
    pieces = {date.substr(2, 2),
              "/",
              date.substr(4, 2),
              "/",
              IntradayCentury(date.substr(0, 2)),
              date.substr(0, 2),
              "  ",
              time.substr(0, 2),
              ":",
              time.substr(2, 2),
              "  ",
              f[2],
              "  ",
              f[3],
              "  ",
              f[4],
              "  ",
              f[5],
              "  ",
              f[6],
              "  ",
              f[7]};
    return true;
}

void ReorderDatePriceLine(std::string_view line, std::string& out) {
    DatePricePieces pieces;
    ReorderDatePriceLine(line, pieces);
    Join(out, pieces);
}

std::string ReorderDatePriceLine(std::string_view line) {
    std::string out;
    ReorderDatePriceLine(line, out);
    return out;
}

bool ReorderIntradayLine(std::string_view line, std::string& out) {
    IntradayPieces pieces;
    if (!ReorderIntradayLine(line, pieces)) return false;
    Join(out, pieces);
    return true;
}

}  // namespace varn
