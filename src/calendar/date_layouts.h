#pragma once
// The date layouts and time layouts that price lines may use, as the lists
// of the bar page show them.
//
// A date layout number, 0 to 23, indexes DateLayoutTable; a time layout
// number, 0 to 8, indexes TimeLayoutItems. Each stored date layout text holds
// the date as the user reads it, a "%s" placeholder, one to four blanks and
// the names of the price fields behind the date. The list item of a layout is
// its text with the placeholder filled by empty text, blanks kept:
// DateLayoutItem(14) is "YYYYMMDD    OHLC Vol O.I." (four blanks).
//
// These numbers are not the date formatter's styles (see DateStyle): date
// layout 4 reads "DD.MM.YY", while style 4 writes month, day and year.

#include <array>
#include <cstdint>
#include <string_view>

#include "calendar/layout_numbers.h"
#include "text/short_text.h"

namespace varn {

// The stored texts of the date layouts, in layout-number order.
inline constexpr std::array<std::string_view, DateLayoutCount> DateLayoutTable = {
    "YYMMDD%s  OHLC Vol O.I.",             // 0
    "MM/DD/YY%s   OHLC Vol O.I.",          // 1
    "DD/MM/YY%s   OHLC Vol O.I.",          // 2
    "MM.DD.YY%s   OHLC Vol O.I.",          // 3
    "DD.MM.YY%s   OHLC Vol O.I.",          // 4
    "MM/DD/YYYY%s  OHLC Vol O.I.",         // 5
    "DD/MM/YYYY%s  OHLC Vol O.I.",         // 6
    "MM.DD.YYYY%s  OHLC Vol O.I.",         // 7
    "DD.MM.YYYY%s  OHLC Vol O.I.",         // 8
    "DD January, YYYY%s  OHLC Vol O.I.",   // 9
    "January DD, YYYY%s  OHLC Vol O.I.",   // 10
    "DD January, YY%s  OHLC Vol O.I.",     // 11
    "YYYY/MM/DD%s  OHLC Vol O.I.",         // 12
    "YYYY/DD/MM%s  OHLC Vol O.I.",         // 13
    "YYYYMMDD%s    OHLC Vol O.I.",         // 14
    "M / D/YYYY%s  OHLC Vol O.I.",         // 15
    "D / M/YYYY%s  OHLC Vol O.I.",         // 16
    "January, YY%s  OHLC Vol O.I.",        // 17
    "January , YYYY%s  OHLC Vol O.I.",     // 18
    "YYYY%s OHLC Vol O.I.",                // 19
    "YYYY,MM%s OHLC Vol O.I.",             // 20
    "MM,YYYY%s OHLC Vol O.I.",             // 21
    "Unix seconds%s  OHLC Vol O.I.",       // 22
    "Unix milliseconds%s  OHLC Vol O.I.",  // 23
};

// The list items of the time layouts, in time-layout-number order: 0 means
// the line has no time.
inline constexpr std::array<std::string_view, TimeLayoutCount> TimeLayoutItems = {
    "Not Indicated", "DATE;21:45:15", "DATE;9:45pm", "DATE  21:45:15", "DATE  9:45pm",
    "DATE  2145",    "DATE;21:45",    "DATE;214515", "DATET21:45:15",
};

// The list item of date layout n: its stored text with "%s" filled by empty
// text. Empty for n outside 0 to DateLayoutCount - 1.
ShortText DateLayoutItem(int n);
inline ShortText DateLayoutItem(DateLayout layout) { return DateLayoutItem(Number(layout)); }
inline std::string_view TimeLayoutItem(TimeLayout layout) {
    return TimeLayoutItems[static_cast<std::size_t>(Number(layout))];
}

}  // namespace varn
