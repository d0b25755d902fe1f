#pragma once
// Conversion 3: undated price lines given made-up consecutive dates, one day
// apart, from 1 January 1000 on (Julian calendar until the reform of 1582).
// The lines 4.318 and 4.3117 become "01.01.1000   4.318" and
// "01.02.1000   4.3117"; a line that does not start with a number (a header, a
// blank line) is skipped.
//
// The dates are a function of the line's position alone: the same moments,
// one day apart, as a running sum from noon of 1 January 1000. Line n's
// moment is the first moment with OneDayInCenturies added n times, one
// addition after another, so a block of lines can be dated anywhere once the
// moment of its first line is known.

#include <string_view>

#include "text/short_text.h"

namespace varn {

// The moment of the first line's date.
double FirstDatedPriceMoment();

// The date of a line at moment: month, day and year separated by points.
void DatedPriceDate(double moment, ShortText& date);

// Whether a line is conversion 3's input: it starts with a number (after
// blanks), that is its first field up to a blank, tab, comma or semicolon is
// a decimal number as IsDecimalNumber reads it ("4.318", "-1 x", "1.5,1.6").
// A line that is not keeps its place: the next line gets the date after its.
[[nodiscard]] bool StartsWithNumber(std::string_view line);

// Why conversion 3 skips a line.
inline constexpr std::string_view NoNumberFirst = "does not start with a number";

// Between the date and the line.
inline constexpr std::string_view DatedPriceGap = "   ";

}  // namespace varn
