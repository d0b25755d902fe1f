#pragma once
// Numbers as price files from many countries write them, turned into the
// plain form the readers take: a sign, digits, a "." before the fraction.
//
//   PlainNumber("10.586,70", DecimalMark::Comma, out)   "10586.70"
//   PlainNumber("1 234,5", DecimalMark::Comma, out)     "1234.5"
//   PlainNumber("82,488,700", DecimalMark::Point, out)  "82488700"
//   PlainNumber("$4,750.50", DecimalMark::Point, out)   "4750.50"
//   PlainNumber("-€1,5", DecimalMark::Comma, out)       "-1.5"
//
// Thousands are grouped by "." (or a blank) with a decimal comma, and by ","
// (or an apostrophe) with a decimal point; a group after the first has three
// digits. A leading currency sign ($, €, £, ¥) is dropped.

#include <string>
#include <string_view>

namespace varn {

enum class DecimalMark : int { Point = 0, Comma = 1 };

// What the numbers of a file say about their decimal mark, field by field.
struct DecimalEvidence {
    int point = 0;              // fields only a decimal point explains: "1.5", "1,234.5"
    int comma = 0;              // fields only a decimal comma explains: "1,5", "10.586,70"
    int three_after_comma = 0;  // "1,500": a decimal comma, or a thousands comma
    int three_after_point = 0;  // "1.500": a decimal point, or a thousands point

    // Adds what field says.
    void Weigh(std::string_view field);
    // The mark that explains the fields: Comma when only a comma does (or
    // "1,500" and no point at all), else Point.
    DecimalMark Mark() const;
    bool Any() const { return point + comma + three_after_comma + three_after_point > 0; }
};

// field as plain number text in out, and a view of it; field itself when it is
// no number in the form of mark (so that the reader refuses it as before).
// Exponents ("1.5e-05") pass through.
std::string_view PlainNumber(std::string_view field, DecimalMark mark, std::string& out);

// Whether field holds a time with a comma before its fraction of a second
// ("14:01:59,421"), which a comma-separated reading would cut apart.
bool IsTimeWithCommaFraction(std::string_view field);

}  // namespace varn
