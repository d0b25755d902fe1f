#pragma once
// Reading one price line of the bar input: its date and time by the chosen
// layouts, the key of the bar it belongs to, its stamp and its six numbers.
//
// With date layout 5 ("MM/DD/YYYY"), time layout 0 and the monthly period,
// "01/15/2001 1.5 1.6 1.4 1.55" gives key 200101, stamp "1.15.2001", open 1.5,
// high 1.6, low 1.4, close 1.55, and no volume or open interest (Missing).

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "bars/line_shape.h"
#include "calendar/layout_numbers.h"
#include "calendar/parse_date.h"
#include "calendar/regional.h"
#include "calendar/zone_shift.h"
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

// Marks a number a line does not have. No number read from text is NaN, so
// every price and volume, 1e10 among them, reads as itself.
inline constexpr double Missing = std::numeric_limits<double>::quiet_NaN();
inline bool IsMissing(double value) { return std::isnan(value); }

// The largest prices and volumes a line may carry: beyond them a number is
// taken for a fault of the file, not a price (1e308 would print as 255
// characters). Volumes and open interest stay whole numbers below 2^53.
inline constexpr double MaxPrice = 1e12;
inline constexpr double MaxQuantity = 1e15;

// The numbers and labels of one line.
struct BarLine {
    double open = Missing;
    double high = Missing;
    double low = Missing;
    double close = Missing;
    double volume = Missing;
    double open_interest = Missing;
    std::int64_t seconds = 0;  // the line's moment in whole seconds from BarEpoch
    std::int32_t key = 0;
    // Four prices not in order: high below low, or open or close outside
    // high-low. Such a line is used for bars, and counted.
    bool out_of_order = false;
    // The most decimals written in its prices ("1.5 1.25" has 2), at most
    // MaxPriceDecimals; 0 unless BarReading::count_decimals.
    std::uint8_t decimals = 0;
    ShortText stamp;
};

// The bar a moment falls in: one of the eight periods, or a length in minutes
// that divides a day, and the time of day at which minute, hour, day and week
// periods begin. BarSpan{BarPeriod::Hour} is the list item "1 hour bar";
// {BarPeriod::Day, 0, -420} is a day from 17:00 of the day before.
struct BarSpan {
    BarPeriod period = BarPeriod::Month;
    int minutes = 0;         // 0: period; else 1 to 1440, dividing 1440
    int offset_minutes = 0;  // the session start, -1439 to 1439 (-07:00 is -420)
};

// Whether minutes is a bar length that divides a day: 1 to 1440.
bool ValidBarMinutes(int minutes);
// Whether offset lies within a day either way: -1439 to 1439.
bool ValidSessionOffset(int offset_minutes);

// Reads a bar length "Nmin" (N from 1 to 1440 dividing 1440) or "Nh" (N
// dividing 24) as minutes: "20min" is 20, "4h" 240. Nothing otherwise.
std::optional<int> ReadBarMinutes(std::string_view text);
// Reads a session start "[-]HH:MM" (hours 0 to 23, one or two digits; minutes
// two digits, 0 to 59) as minutes from midnight: "09:30" is 570, "-07:00"
// -420. Nothing otherwise.
std::optional<int> ReadSessionStart(std::string_view text);

// How bar lines are read: the span keys are made by, the form of the prices
// and which of volume and open interest are wanted (the rest are not read),
// how lines are cut and read before (none: as they stand), and the zone their
// times are moved into before keys and stamps are made (none: as written).
struct BarReading {
    BarSpan span;
    PriceForm form = PriceForm::Ohlc;  // Ohlc or Single
    bool volume = false;
    bool open_interest = false;
    const LineShape* shape = nullptr;  // kept by the caller while lines are read
    ZoneShift zones = {};              // its zones resolved once per job
    bool count_decimals = false;       // fill BarLine::decimals
};

// How a bar's stamp is written: "1.2.2001 16:0" or "2001-01-02T16:00:00".
enum class StampStyle : int { Classic = 0, Iso = 1 };

// Which moment a bar's stamp names: its last line's, or where its period
// starts or ends (see BarStampMoment). The names the command line takes, by
// number.
enum class StampTime : int { Last = 0, Start = 1, End = 2 };
inline constexpr std::array<std::string_view, 3> StampTimeNames = {"last", "start", "end"};

// The key of the bar of period that a moment falls in. Periods up to a week
// count whole periods from BarEpoch in whole seconds, rounded down, so each
// begins exactly at its boundary (midnight, Monday 00:00, the 5, 15 and 60
// minute marks) before the epoch as after it. Months, quarters and years are
// year * 100 + month, + quarter (0 to 3), + 0.
std::int32_t BarKey(BarPeriod period, const ParsedDate& date);
// A moment in whole seconds from BarEpoch (fractions of a second left out).
std::int64_t MomentSeconds(const ParsedDate& date);

// The same in a wider type: a year far outside the calendar gives a key that
// does not fit BarKey's, and its line is refused.
std::int64_t WideBarKey(BarPeriod period, const ParsedDate& date);
// The key of the bar of span: with a length in minutes, whole lengths from
// BarEpoch; with a session start, minute to week periods count from the epoch
// moved by it: floor((seconds - offset) / length). A week then begins on
// Monday at the session start (on Sunday evening for a negative one). Months,
// quarters and years keep their calendar keys.
std::int64_t WideBarKey(const BarSpan& span, const ParsedDate& date);
// The same for the moment seconds (MomentSeconds(date)).
std::int64_t WideBarKey(const BarSpan& span, const ParsedDate& date, std::int64_t seconds);

// The stamp of a line: M.D.YYYY without leading zeros, and " H:M" when the
// file has times (time_layout not 0). "1.5.2001 9:5" for 5 January 2001 09:05.
ShortText BarStamp(const ParsedDate& date, TimeLayout time_layout);
// The stamp in style: Classic as BarStamp; Iso "YYYY-MM-DD" with zeros, and
// "THH:MM:SS" after it when the file has times ("2001-01-05T09:05:00").
ShortText BarStamp(const ParsedDate& date, TimeLayout time_layout, StampStyle style);

// The moment the stamp of the bar of span that date falls in names:
//
//   when   stamp with a time                 stamp of a date alone
//   Last   date itself                       date itself
//   Start  the period's first moment         the day of that moment
//   End    the moment the period ends: the   the day of the period's last
//          next period's first moment        moment: its last day
//
// Minute to week periods begin at their boundaries (BarKey, the session
// start included), months, quarters and years on their first day at 0:00.
// So the 09:30 to 09:35 bar starts at 9:30 and ends at 9:35; a day ends at
// 0:00 of the next day, and its stamp without a time names the day itself;
// January ends at 0:00 on 1 February, or, without a time, on 31 January.
// Seconds and fractions are 0 in a period's bounds.
ParsedDate BarStampMoment(const BarSpan& span, const ParsedDate& date, StampTime when, bool timed);

// Reads line (cut to 255 characters). True when its date and time read and
// open, high, low and close all read; volume and open interest may be absent
// (Missing). On false, the contents of bar carry no meaning.
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

// What bar building needs of line read as reading says: its date, key and
// open, high, low and close, and volume and open interest when wanted (Missing
// when absent). In the single form the first number is the price (open = high
// = low = close) and the second its volume; open interest stays Missing. A
// price of MaxPrice or more (either sign), or a volume or open interest of
// MaxQuantity or more, fails the line. A zone word after the time
// ("09:30:00 US/Eastern") is passed over. With reading.zones converting, the
// date is the wall time in the zone of the bars (ShiftZone), and a line whose
// time cannot be moved fails with ShiftZone's reason.
// With the Ohlc form, no volume and no open interest, the same as
// ParseBarPrices with the span's period.
[[nodiscard]] bool ReadBarFields(DateLayout date_layout, TimeLayout time_layout,
                                 const BarReading& reading, std::string_view line,
                                 const DateNames& names, ParsedDate& date, BarLine& bar,
                                 ShortText* reason = nullptr, std::string* symbol = nullptr);

// The reasons ParseBarPrices gives besides the date parser's texts.
inline constexpr std::string_view FewerThanFourPrices = "fewer than four prices";
inline constexpr std::string_view NoPrice = "no price";
inline constexpr std::string_view DateOrTimeDoesNotRead = "the date or time does not read";
inline constexpr std::string_view YearOutOfRange = "year out of range";
inline constexpr std::string_view PriceOutOfRange = "a price of 1e12 or more";
inline constexpr std::string_view QuantityOutOfRange = "a volume or open interest of 1e15 or more";

// Whether line fits the layout pair: when ParseBarLine accepts it and its
// four prices are in order (low <= open, close <= high).
[[nodiscard]] bool LineFitsLayouts(DateLayout date_layout, TimeLayout time_layout,
                                   std::string_view line, const DateNames& names);
// The same for a form of prices: with Single, a line whose date reads and
// whose first number after it reads.

// The zone word that follows the time of line ("US/EASTERN", upper-cased as
// the parser sees it), or empty when there is none or the line does not read.
std::string ZoneWordOf(DateLayout date_layout, TimeLayout time_layout, std::string_view line,
                       const DateNames& names);
[[nodiscard]] bool LineFitsLayouts(DateLayout date_layout, TimeLayout time_layout, PriceForm form,
                                   std::string_view line, const DateNames& names);

}  // namespace varn
