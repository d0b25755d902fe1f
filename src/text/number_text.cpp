#include "text/number_text.h"

#include <array>
#include <span>

namespace varn {
namespace {

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The currency signs dropped before a number, as UTF-8.
constexpr std::array<std::string_view, 4> CurrencySigns = {"$", "\xE2\x82\xAC", "\xC2\xA3",
                                                           "\xC2\xA5"};
// Blanks that group thousands: a space, a no-break space, a narrow one.
constexpr std::array<std::string_view, 3> BlankGroupMarks = {" ", "\xC2\xA0", "\xE2\x80\xAF"};

bool SkipAny(std::string_view text, std::size_t& pos, std::span<const std::string_view> choices) {
    for (const std::string_view choice : choices) {
        if (text.substr(pos, choice.size()) == choice) {
            pos += choice.size();
            return true;
        }
    }
    return false;
}

// Moves pos past a sign, a currency sign, or both in either order; sets
// negative for "-".
void SkipSignAndCurrency(std::string_view text, std::size_t& pos, bool& negative) {
    negative = false;
    bool sign = false;
    bool currency = false;
    while (pos < text.size()) {
        if (!sign && (text[pos] == '+' || text[pos] == '-')) {
            negative = text[pos] == '-';
            sign = true;
            ++pos;
        } else if (!currency && SkipAny(text, pos, CurrencySigns)) {
            currency = true;
        } else {
            return;
        }
    }
}

std::size_t DigitRun(std::string_view text, std::size_t pos) {
    std::size_t end = pos;
    while (end < text.size() && IsDigit(text[end])) ++end;
    return end - pos;
}

// Moves pos past a mark that groups thousands in a number of mark.
bool SkipGroupMark(std::string_view text, std::size_t& pos, DecimalMark mark) {
    if (pos >= text.size()) return false;
    const char c = text[pos];
    if ((mark == DecimalMark::Comma && c == '.') || (mark == DecimalMark::Point && c == ',') ||
        c == '\'') {
        ++pos;
        return true;
    }
    return SkipAny(text, pos, BlankGroupMarks);
}

}  // namespace

void DecimalEvidence::Weigh(std::string_view field) {
    std::size_t pos = 0;
    bool negative = false;
    SkipSignAndCurrency(field, pos, negative);
    int dots = 0;
    int commas = 0;
    std::size_t last_mark = std::string_view::npos;
    bool digits = false;
    for (std::size_t i = pos; i < field.size(); ++i) {
        const char c = field[i];
        if (IsDigit(c)) {
            digits = true;
        } else if (c == '.' || c == ',') {
            (c == '.' ? dots : commas) += 1;
            last_mark = i;
        } else {
            return;  // no plain number
        }
    }
    if (!digits || last_mark == std::string_view::npos || last_mark == pos) return;
    const std::size_t after = field.size() - last_mark - 1;
    if (after == 0) return;
    const bool comma_last = field[last_mark] == ',';
    if (dots == 0 && commas == 1) {
        (after == 3 ? three_after_comma : comma) += 1;
    } else if (commas == 0 && dots == 1) {
        (after == 3 ? three_after_point : point) += 1;
    } else if ((commas == 1 && comma_last) || (commas == 0 && dots > 1)) {
        comma += 1;  // 10.586,70 or 132.921.872
    } else if ((dots == 1 && !comma_last) || dots == 0) {
        point += 1;  // 1,234.5, or 82,488,700: thousands commas go with a decimal point
    }
}

DecimalMark DecimalEvidence::Mark() const {
    if (comma > 0 && point == 0) return DecimalMark::Comma;
    if (comma == 0 && point == 0 && three_after_comma > 0 && three_after_point == 0) {
        return DecimalMark::Comma;
    }
    return DecimalMark::Point;
}

std::string_view PlainNumber(std::string_view field, DecimalMark mark, std::string& out) {
    std::size_t pos = 0;
    bool negative = false;
    SkipSignAndCurrency(field, pos, negative);
    const std::size_t first = DigitRun(field, pos);
    const char decimal = mark == DecimalMark::Comma ? ',' : '.';
    if (first == 0 && !(pos < field.size() && field[pos] == decimal)) return field;
    out.clear();
    if (negative) out += '-';
    if (!negative && pos > 0 && field[0] == '+') out += '+';
    out.append(field.substr(pos, first));
    pos += first;
    // Groups of three digits, when the first run could begin a grouped number.
    while (first >= 1 && first <= 3) {
        std::size_t at = pos;
        if (!SkipGroupMark(field, at, mark) || DigitRun(field, at) != 3) break;
        out.append(field.substr(at, 3));
        pos = at + 3;
    }
    if (pos < field.size() && field[pos] == decimal) {
        const std::size_t fraction = DigitRun(field, pos + 1);
        out += '.';
        out.append(field.substr(pos + 1, fraction));
        pos += 1 + fraction;
    }
    if (pos < field.size() && (field[pos] == 'e' || field[pos] == 'E')) {
        std::size_t at = pos + 1;
        if (at < field.size() && (field[at] == '+' || field[at] == '-')) ++at;
        const std::size_t exponent = DigitRun(field, at);
        if (exponent > 0) {
            out.append(field.substr(pos, at + exponent - pos));
            pos = at + exponent;
        }
    }
    if (pos != field.size()) return field;
    return out == field ? field : std::string_view(out);
}

bool IsTimeWithCommaFraction(std::string_view field) {
    const std::size_t comma = field.rfind(',');
    if (comma == std::string_view::npos || comma + 1 >= field.size()) return false;
    const std::size_t colon = field.rfind(':', comma);
    if (colon == std::string_view::npos || comma - colon != 3) return false;
    for (std::size_t i = comma + 1; i < field.size(); ++i) {
        if (!IsDigit(field[i])) return false;
    }
    return IsDigit(field[colon + 1]) && IsDigit(field[colon + 2]);
}

}  // namespace varn
