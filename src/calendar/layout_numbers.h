#pragma once
// The numberings a bar job is chosen by: date layouts, time layouts and bar
// periods. Each is its own type, so a date layout can never be passed where a
// time layout or a period is meant; an enumerator's value is the position of
// its item in the bar page's list and the number the command line takes.
// DateLayout::MMDDYYYYSlash is 5, the list item "MM/DD/YYYY  OHLC Vol O.I.".
//
// This header needs nothing but the language, so that job reports can name
// the layouts a job used without taking in the parser.

#include <optional>

namespace varn {

enum class DateLayout : int {
    YYMMDD = 0,             // 010215
    MMDDYYSlash = 1,        // 02/15/01
    DDMMYYSlash = 2,        // 15/02/01
    MMDDYYDot = 3,          // 02.15.01
    DDMMYYDot = 4,          // 15.02.01
    MMDDYYYYSlash = 5,      // 02/15/2001
    DDMMYYYYSlash = 6,      // 15/02/2001
    MMDDYYYYDot = 7,        // 02.15.2001
    DDMMYYYYDot = 8,        // 15.02.2001
    DayMonthNameYear = 9,   // 15 February, 2001
    MonthNameDayYear = 10,  // February 15, 2001
    DayMonthNameYY = 11,    // 15 February, 01
    YYYYMMDDSlash = 12,     // 2001/02/15
    YYYYDDMMSlash = 13,     // 2001/15/02
    YYYYMMDD = 14,          // 20010215
    MDYYYYSpaced = 15,      // 2 / 15/2001
    DMYYYYSpaced = 16,      // 15 / 2/2001
    MonthNameYY = 17,       // February, 01
    MonthNameYear = 18,     // February , 2001
    YYYY = 19,              // 2001
    YYYYCommaMM = 20,       // 2001,02
    MMCommaYYYY = 21,       // 02,2001
    UnixSeconds = 22,       // 1706792400: seconds since 1970-01-01 00:00 UTC, date and time
    UnixMilliseconds = 23,  // 1706792400000: the same in milliseconds
};

enum class TimeLayout : int {
    NotIndicated = 0,     // no time: 00:00:00
    SemicolonHms = 1,     // DATE;21:45:15
    SemicolonAmPm = 2,    // DATE;9:45pm
    BlankHms = 3,         // DATE  21:45:15
    BlankAmPm = 4,        // DATE  9:45pm
    BlankDigits = 5,      // DATE  2145
    SemicolonHm = 6,      // DATE;21:45
    SemicolonDigits = 7,  // DATE;214515
    InDate = 8,           // DATET21:45:15: joined to the date by "T", or an epoch stamp
};

enum class BarPeriod : int {
    FiveMinutes = 0,
    FifteenMinutes = 1,
    Hour = 2,
    Day = 3,
    Week = 4,
    Month = 5,
    Quarter = 6,
    Year = 7,
};

// How the numbers after the date and time of a bar input line are read: four
// prices (open, high, low, close, then volume and open interest) or one price
// (then its volume). Auto lets detection decide.
enum class PriceForm : int {
    Auto = 0,
    Ohlc = 1,
    Single = 2,
};

inline constexpr int DateLayoutCount = 24;
inline constexpr int TimeLayoutCount = 9;
inline constexpr int BarPeriodCount = 8;

// The epoch layouts carry the time of day in the date: they pair with
// TimeLayout::InDate only.
constexpr bool IsEpochLayout(DateLayout layout) {
    return layout == DateLayout::UnixSeconds || layout == DateLayout::UnixMilliseconds;
}

// The number of a layout or period: its enumerator's value.
constexpr int Number(DateLayout layout) { return static_cast<int>(layout); }
constexpr int Number(TimeLayout layout) { return static_cast<int>(layout); }
constexpr int Number(BarPeriod period) { return static_cast<int>(period); }

// The layout or period of a number, or nothing when the number is out of range.
constexpr std::optional<DateLayout> DateLayoutOf(int n) {
    if (n < 0 || n >= DateLayoutCount) return std::nullopt;
    return static_cast<DateLayout>(n);
}
constexpr std::optional<TimeLayout> TimeLayoutOf(int n) {
    if (n < 0 || n >= TimeLayoutCount) return std::nullopt;
    return static_cast<TimeLayout>(n);
}
constexpr std::optional<BarPeriod> BarPeriodOf(int n) {
    if (n < 0 || n >= BarPeriodCount) return std::nullopt;
    return static_cast<BarPeriod>(n);
}

}  // namespace varn
