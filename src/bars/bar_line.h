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

#include "calendar/layout_numbers.h"
#include "calendar/parse_date.h"
#include "calendar/regional.h"
#include "text/short_text.h"

namespace varn {

// The bar periods, by number: the items of the period list.
inline constexpr std::array<std::string_view, BarPeriodCount> BarPeriodItems = {
    "5 min bar",  "15 min bar",  "1 hour bar",    "1 day bar",
    "1 week bar", "1 month bar", "Quarterly bar", "Yearly bar",
};
// The short names the command line takes for the periods, by number.
inline constexpr std::array<std::string_view, BarPeriodCount> BarPeriodNames = {
    "5min", "15min", "hour", "day", "week", "month", "quarter", "year",
};

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
std::int32_t BarKey(BarPeriod period, const ParsedDate& date);
// The same in a wider type: a year far outside the calendar gives a key that
// does not fit BarKey's, and its line is refused.
std::int64_t WideBarKey(BarPeriod period, const ParsedDate& date);

// The stamp of a line: M.D.YYYY without leading zeros, and " H:M" when the
// file has times (time_layout not 0). "1.5.2001 9:5" for 5 January 2001 09:05.
ShortText BarStamp(const ParsedDate& date, TimeLayout time_layout);

// Reads line (cut to 255 characters). True when its date and time read and
// open, high, low and close all read; volume and open interest may be absent
// (NoValue). On false, the contents of bar carry no meaning.
[[nodiscard]] bool ParseBarLine(DateLayout date_layout, TimeLayout time_layout, BarPeriod period,
                                std::string_view line, const DateNames& names, BarLine& bar,
                                std::size_t stamp_max_length = ShortTextMax);

// What bar building needs of line: its date, key and open, high, low and
// close (volume, open interest and the stamp are left out). Accepts exactly
// the lines ParseBarLine accepts. On false, a reason is given when asked for:
// the date parser's own text, or why the rest of the line did not read.
[[nodiscard]] bool ParseBarPrices(DateLayout date_layout, TimeLayout time_layout, BarPeriod period,
                                  std::string_view line, const DateNames& names, ParsedDate& date,
                                  BarLine& bar, ShortText* reason = nullptr);

// The reasons ParseBarPrices gives besides the date parser's texts.
inline constexpr std::string_view FewerThanFourPrices = "fewer than four prices";
inline constexpr std::string_view DateOrTimeDoesNotRead = "the date or time does not read";
inline constexpr std::string_view YearOutOfRange = "year out of range";

// Whether line fits the layout pair: exactly when ParseBarLine would accept
// it.
[[nodiscard]] bool LineFitsLayouts(DateLayout date_layout, TimeLayout time_layout,
                                   std::string_view line, const DateNames& names);

}  // namespace varn
