#pragma once
// Conversions 0 and 1: lines whose fields are only rearranged.
//
// Conversion 0 turns "1971,1,4,4.318" (year, month, day, price) into
// "1/4/1971   4.318". Conversion 1 turns the intraday line
// "060523,0930,1271.75,1273.5,1271,1273.25,37235" into
// "05/23/2006  09:30  1271.75  1273.5  1271  1273.25  37235  ", and a
// date of 991231 reads as 12/31/1999.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "text/short_text.h"

namespace varn {

// Delimiter sets of the conversions.
inline constexpr CharSet CommaSet{","};
inline constexpr CharSet SlashSet{"/"};
inline constexpr CharSet BlankSet{" "};

// The default of conversion 1's integer reading; a field reading as this value
// counts as not an integer.
inline constexpr std::int32_t NotAnInteger = -10000;

// Conversion 0 of one line: field 2 "/" field 3 "/" field 1, three blanks,
// field 4 (fields by CommaSet, copied as they stand). Every line gives a result.
std::string ReorderDatePriceLine(std::string_view line);
// Same, written into out (reusing its storage).
void ReorderDatePriceLine(std::string_view line, std::string& out);

// Whether a line is conversion 0's input: fields 1 to 4 by CommaSet are a
// year (1 to 4 digits), a month (1 to 12), a day (1 to 31) and a price
// (digits with an optional sign and one "." or ","), each with optional
// blanks around it. "1971,1,4,4.318" is; "Date,Price", prose and
// "1971,13,45,abc" are not.
[[nodiscard]] bool IsDatePriceLine(std::string_view line);

// Why conversion 0 skips a line.
inline constexpr std::string_view NotADatePriceLine = "not a YYYY,MM,DD,PRICE line";

// Whether field, without blanks (code 32) around it, is 1 to max_digits
// decimal digits reading from low to high: IsNumberFromTo(" 07", 2, 1, 12).
[[nodiscard]] bool IsNumberFromTo(std::string_view field, std::size_t max_digits, int low,
                                  int high);
// As IsNumberFromTo, with the number in value when it reads.
[[nodiscard]] bool ReadNumberFromTo(std::string_view field, std::size_t max_digits, int low,
                                    int high, int& value);

// Whether text, without blanks around it, is a decimal number: an optional
// sign, digits, and at most one "." or "," among or after them. "4.318",
// "-1", "12," and "3,25" are; "", ".", "1e5" and "abc" are not.
[[nodiscard]] bool IsDecimalNumber(std::string_view text);

// The century conversion 1 puts before the two-digit year yy (two
// characters): "19" for 51 to 99 and "20" for 00 to 50, as the bar reader
// reads two-digit years; "20" for anything that is not two digits.
std::string_view IntradayCentury(std::string_view yy);

// Why conversion 1 skips a line.
inline constexpr std::string_view NotAnIntradayLine = "not a YYMMDD,HHMM line";

// Conversion 1 of one line. Accepted when fields 1 and 2 read as integers
// (other than NotAnInteger) and are 6 and 4 characters long; then out holds
// MM/DD/CCYY (CC from IntradayCentury), two blanks, HH:MM and fields 3 to 8
// each behind two blanks.
// Otherwise returns false and out is unspecified.
[[nodiscard]] bool ReorderIntradayLine(std::string_view line, std::string& out);

// The pieces that conversions 0 and 1 join into an output line, for writing
// without joining them first.
using DatePricePieces = std::array<std::string_view, 7>;
using IntradayPieces = std::array<std::string_view, 22>;
void ReorderDatePriceLine(std::string_view line, DatePricePieces& pieces);
// Conversion 0's pieces of line in one pass, and whether the line reads
// (IsDatePriceLine).
[[nodiscard]] bool ReadDatePriceLine(std::string_view line, DatePricePieces& pieces);
[[nodiscard]] bool ReorderIntradayLine(std::string_view line, IntradayPieces& pieces);

}  // namespace varn
