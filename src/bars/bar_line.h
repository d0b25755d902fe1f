#pragma once
// Reading one price line of the bar input: its date and time by the chosen
// layouts, the key of the bar it belongs to, its stamp and its six numbers.
//
// With date layout 5 ("MM/DD/YYYY"), time layout 0 and the monthly period,
// "01/15/2001 1.5 1.6 1.4 1.55" gives key 200101, stamp "1.15.2001", open 1.5,
// high 1.6, low 1.4, close 1.55, and no volume or open interest (NoValue).

#include <array>
#include <cstdint>
#include <string_view>

#include "calendar/parse_date.h"
#include "calendar/regional.h"
#include "text/short_text.h"

namespace varn {

// The bar periods, by number: the items of the period list.
inline constexpr int BarPeriodCount = 8;
inline constexpr std::array<std::string_view, BarPeriodCount> BarPeriodItems = {
    "5 min bar",  "15 min bar",  "1 hour bar",    "1 day bar",
    "1 week bar", "1 month bar", "Quarterly bar", "Yearly bar",
};
// The short names the command line takes for the periods, by number.
inline constexpr std::array<std::string_view, BarPeriodCount> BarPeriodNames = {
    "5min", "15min", "hour", "day", "week", "month", "quarter", "year",
};
inline constexpr int MonthlyBar = 5;

// Split the rest of a line, after date and time, into price fields.
inline constexpr CharSet PriceSeparators{"\t ,;"};

// Midnight at the start of Monday 9 September 1850, the moment from which the
// periods up to a week are counted.
double BarEpoch();

// The numbers and labels of one line.
struct BarLine {
    double open = NoValue;
    double high = NoValue;
    double low = NoValue;
    double close = NoValue;
    double volume = NoValue;
    double open_interest = NoValue;
    std::int32_t key = 0;
    ShortText stamp;
};

// The key of the bar of period that a moment falls in. Periods up to a week
// count whole periods from BarEpoch in whole seconds, rounded down, so each
// begins exactly at its boundary (midnight, Monday 00:00, the 5, 15 and 60
// minute marks) before the epoch as after it. Months, quarters and years are
// year * 100 + month, + quarter (0 to 3), + 0.
std::int32_t BarKey(int period, const ParsedDate& date);

// The stamp of a line: M.D.YYYY without leading zeros, and " H:M" when the
// file has times (time_layout not 0). "1.5.2001 9:5" for 5 January 2001 09:05.
ShortText BarStamp(const ParsedDate& date, int time_layout);

// Reads line (cut to 255 characters). True when its date and time read and
// open, high, low and close all read; volume and open interest may be absent
// (NoValue). On false, the contents of bar carry no meaning.
[[nodiscard]] bool ParseBarLine(int date_layout, int time_layout, int period, std::string_view line,
                                const DateNames& names, BarLine& bar,
                                std::size_t stamp_max_length = ShortTextMax);

// What bar building needs of line: its date, key and open, high, low and
// close (volume, open interest and the stamp are left out). Accepts exactly
// the lines ParseBarLine accepts.
[[nodiscard]] bool ParseBarPrices(int date_layout, int time_layout, int period,
                                  std::string_view line, const DateNames& names, ParsedDate& date,
                                  BarLine& bar);

// Whether line fits the layout pair: exactly when ParseBarLine would accept
// it.
[[nodiscard]] bool LineFitsLayouts(int date_layout, int time_layout, std::string_view line,
                                   const DateNames& names);

}  // namespace varn
