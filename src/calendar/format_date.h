#pragma once
// Writing a moment (a Julian century value) as date text, or date and time
// text, in one of fourteen fixed styles.
//
// Every style that shows month and day writes the month first; every style
// with a time of day uses the 12-hour clock with an " AM" or " PM" suffix,
// except SlashDateTime24. 5 January 2006 at 14:05:09 in style 4 (DotDate)
// reads "01.05.2006", in style 0 (DotDateTimeSeconds) "01.05.2006  02:05:09 PM".
//
// Style numbers are not date layout numbers (see date_layouts.h); DateStyle
// keeps the two apart.

#include <array>
#include <cstdint>
#include <string_view>

#include "text/short_text.h"

namespace varn {

// The formatter's style numbers. Only the values named here are recognised;
// any other number converted to DateStyle is accepted and writes nothing.
// The example of each is 5 January 2006, 14:05:09.
enum class DateStyle : std::uint8_t {
    DotDateTimeSeconds = 0,  // 01.05.2006  02:05:09 PM
    DotDateTime = 1,         // 01.05.2006  02:05 PM
    Time = 2,                // 02:05 PM
    DotMonthDayTime = 3,     // 01.05  02:05 PM
    DotDate = 4,             // 01.05.2006
    TimeSeconds = 5,         // 02:05:09 PM
    CompactDate = 6,         // 20060105
    CompactDateTime = 7,     // 20060105  02:05 PM
    MonthNameDayYear = 10,   // Jan.  5 2006
    MonthNameYear = 11,      // Jan. 2006
    MonthNameDateTime = 12,  // Jan. 05, 2006 02:05 PM
    DotMonthDay = 20,        // 01.05
    SlashDate = 101,         // 01/05/2006
    SlashDateTime24 = 102,   // 01/05/2006   14:05:09
};

// The month abbreviations of the formatter, January first; May alone has no
// period.
inline constexpr std::array<std::string_view, 12> MonthAbbreviations = {
    "Jan.", "Feb.", "Mar.", "Apr.", "May", "Jun.", "Jul.", "Aug.", "Sep.", "Oct.", "Nov.", "Dec.",
};

// Replaces text by moment written in style. NoValue is written as 1 January
// of year 1 at 00:00:00. Styles without seconds show the minute rounded (ties
// to even), styles with seconds show it truncated and the seconds rounded
// (ties to even); a minute or second that rounds up to 60 carries into the
// hour, and from 23:59 into the next day. An unrecognised style leaves text
// unchanged.
void FormatDate(DateStyle style, double moment, ShortText& text);

}  // namespace varn
