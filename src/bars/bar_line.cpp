#include "bars/bar_line.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

#include "calendar/calendar.h"
#include "calendar/zone_words.h"
#include "text/fields.h"
#include "text/numbers.h"
#include "text/text_helpers.h"

namespace varn {
namespace {

constexpr ByteTable PriceTable{PriceSeparators};

// Period lengths in seconds, for the periods counted from the epoch.
constexpr std::array<std::int64_t, 5> kPeriodSeconds = {300, 900, 3600, 86400, 604800};

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

}  // namespace

double BarEpoch() {
    static const double epoch = CalendarToCenturies(1850, 9, 9, 0);
    return epoch;
}

std::int64_t WideBarKey(BarPeriod period, const ParsedDate& date) {
    return WideBarKey(BarSpan{period, 0, 0}, date);
}

std::int64_t MomentSeconds(const ParsedDate& date) {
    static const std::int64_t epoch_day = DayNumber(1850, 9, 9);
    // Neighbouring lines mostly share their date.
    thread_local ParsedDate last_date{0, 0, 0, 0, 0, 0};
    thread_local std::int64_t last_day = DayNumber(0, 0, 0);
    if (date.year != last_date.year || date.month != last_date.month || date.day != last_date.day) {
        last_date = date;
        last_day = DayNumber(date.year, date.month, date.day);
    }
    // Hours of 24 and minutes or seconds of 60 simply carry.
    return (last_day - epoch_day) * 86400 + std::int64_t{date.hours} * 3600 +
           std::int64_t{date.minutes} * 60 + date.seconds;
}

std::int64_t WideBarKey(const BarSpan& span, const ParsedDate& date) {
    return WideBarKey(span, date, MomentSeconds(date));
}

std::int64_t WideBarKey(const BarSpan& span, const ParsedDate& date, std::int64_t seconds) {
    const BarPeriod period = span.period;
    std::int64_t length = 0;
    if (span.minutes > 0) {
        length = std::int64_t{span.minutes} * 60;
    } else if (Number(period) < static_cast<int>(kPeriodSeconds.size())) {
        length = kPeriodSeconds[static_cast<std::size_t>(Number(period))];
    }
    if (length > 0) {
        // A session start moves every boundary by the same amount.
        return FloorDiv(seconds - std::int64_t{span.offset_minutes} * 60, length);
    }
    const std::int64_t year = date.year;
    switch (period) {
        case BarPeriod::Month:
            return year * 100 + date.month;
        case BarPeriod::Quarter: {
            const int quarter = (date.month >= 1 && date.month <= 12) ? (date.month - 1) / 3 : 0;
            return year * 100 + quarter;
        }
        default:
            return year * 100;
    }
}

bool ValidBarMinutes(int minutes) { return minutes >= 1 && minutes <= 1440 && 1440 % minutes == 0; }

bool ValidSessionOffset(int offset_minutes) {
    return offset_minutes >= -1439 && offset_minutes <= 1439;
}

std::optional<int> ReadBarMinutes(std::string_view text) {
    int count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (error != std::errc() || end == text.data()) return std::nullopt;
    const std::string_view unit = text.substr(static_cast<std::size_t>(end - text.data()));
    if (unit == "min" && ValidBarMinutes(count)) return count;
    if (unit == "h" && count >= 1 && count <= 24 && 24 % count == 0) return count * 60;
    return std::nullopt;
}

std::optional<int> ReadSessionStart(std::string_view text) {
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) text.remove_prefix(1);
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon < 1 || colon > 2 || text.size() != colon + 3) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i != colon && (text[i] < '0' || text[i] > '9')) return std::nullopt;
    }
    int hours = 0;
    int minutes = 0;
    (void)std::from_chars(text.data(), text.data() + colon, hours);
    (void)std::from_chars(text.data() + colon + 1, text.data() + text.size(), minutes);
    if (hours > 23 || minutes > 59) return std::nullopt;
    const int offset = hours * 60 + minutes;
    return negative ? -offset : offset;
}

std::int32_t BarKey(BarPeriod period, const ParsedDate& date) {
    return static_cast<std::int32_t>(WideBarKey(period, date));
}

ParsedDate BarStampMoment(const BarSpan& span, const ParsedDate& date, StampTime when, bool timed) {
    if (when == StampTime::Last) return date;
    // The period's bounds in seconds from midnight of the epoch's day.
    const std::int64_t epoch_day = DayNumber(1850, 9, 9);
    std::int64_t start = 0;
    std::int64_t end = 0;
    std::int64_t length = std::int64_t{span.minutes} * 60;
    if (length == 0 && Number(span.period) < static_cast<int>(kPeriodSeconds.size())) {
        length = kPeriodSeconds[static_cast<std::size_t>(Number(span.period))];
    }
    if (length > 0) {
        start = WideBarKey(span, date) * length + std::int64_t{span.offset_minutes} * 60;
        end = start + length;
    } else {
        const int months = span.period == BarPeriod::Month     ? 1
                           : span.period == BarPeriod::Quarter ? 3
                                                               : 12;
        const int first =
            months == 12 ? 1 : (std::clamp(date.month, 1, 12) - 1) / months * months + 1;
        // Year 0 is not counted: the year after -1 is 1.
        const std::int32_t next_year = date.year == -1 ? 1 : date.year + 1;
        const bool last = first + months > 12;
        start = (DayNumber(date.year, first, 1) - epoch_day) * 86400;
        end = (DayNumber(last ? next_year : date.year, last ? 1 : first + months, 1) - epoch_day) *
              86400;
    }
    std::int64_t seconds = when == StampTime::Start ? start : end;
    if (when == StampTime::End && length == 0) {
        seconds -= 86400;  // a month, quarter or year ends on its last day
    } else if (when == StampTime::End && !timed) {
        --seconds;  // the period's last moment: its last day
    }
    const std::int64_t day = FloorDiv(seconds, 86400);
    const std::int64_t second_of_day = seconds - day * 86400;
    ParsedDate moment;
    DateOfDay(epoch_day + day, moment.year, moment.month, moment.day);
    moment.hours = static_cast<std::int32_t>(second_of_day / 3600);
    moment.minutes = static_cast<std::int32_t>(second_of_day / 60 % 60);
    moment.seconds = static_cast<std::int32_t>(second_of_day % 60);
    return moment;
}

ShortText BarStamp(const ParsedDate& date, TimeLayout time_layout) {
    // Written into one buffer, then made a string once.
    char text[64];
    char* at = text;
    char* const end = text + sizeof text;
    at = std::to_chars(at, end, date.month).ptr;
    *at++ = '.';
    at = std::to_chars(at, end, date.day).ptr;
    *at++ = '.';
    at = std::to_chars(at, end, date.year).ptr;
    if (time_layout != TimeLayout::NotIndicated) {
        *at++ = ' ';
        at = std::to_chars(at, end, date.hours).ptr;
        *at++ = ':';
        at = std::to_chars(at, end, date.minutes).ptr;
    }
    return ShortText(text, at);
}

namespace {

// Appends value in decimal with at least width digits (zeros before).
void AppendPadded(ShortText& text, std::int32_t signed_value, int width) {
    std::int64_t value = signed_value;  // -INT32_MIN does not fit 32 bits
    if (value < 0) {
        text += '-';
        value = -value;
    }
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    for (auto n = result.ptr - digits; n < width; ++n) text += '0';
    text.append(digits, result.ptr);
}

}  // namespace

ShortText BarStamp(const ParsedDate& date, TimeLayout time_layout, StampStyle style) {
    if (style == StampStyle::Classic) return BarStamp(date, time_layout);
    ShortText stamp;
    AppendPadded(stamp, date.year, 4);
    stamp += '-';
    AppendPadded(stamp, date.month, 2);
    stamp += '-';
    AppendPadded(stamp, date.day, 2);
    if (time_layout != TimeLayout::NotIndicated) {
        stamp += 'T';
        AppendPadded(stamp, date.hours, 2);
        stamp += ':';
        AppendPadded(stamp, date.minutes, 2);
        stamp += ':';
        AppendPadded(stamp, date.seconds, 2);
    }
    return stamp;
}

namespace {

// The decimals a number that TextToDouble reads is written with: the digits
// after its point less its exponent ("1.25" 2, "1.5e-3" 4, "2.5E1" 0), at
// most MaxPriceDecimals.
int DecimalsOf(std::string_view number) {
    const std::size_t point = number.find('.');
    if (point == std::string_view::npos) return 0;
    std::size_t end = point + 1;
    while (end < number.size() && number[end] >= '0' && number[end] <= '9') ++end;
    int exponent = 0;
    if (end + 1 < number.size() && (number[end] == 'e' || number[end] == 'E')) {
        const std::size_t digits = end + (number[end + 1] == '+' || number[end + 1] == '-' ? 2 : 1);
        (void)std::from_chars(number.data() + digits, number.data() + number.size(), exponent);
        if (number[end + 1] == '-') exponent = -exponent;
    }
    const auto places = static_cast<std::int64_t>(end - point - 1) - exponent;
    return static_cast<int>(std::clamp<std::int64_t>(places, 0, MaxPriceDecimals));
}

// The next field of text at PriceTable from pos, read as TextToDouble reads
// it, in one pass for the plain form that nearly every price has: 1 to 15
// digits with at most one "." or "," among them, 16 characters at most (the
// value is then one exact division away). Other fields go to TextToDouble.
// Empty when no field is left; value is then untouched. With kCount, the
// decimals of a field that reads are raised to at least its own.
template <bool kCount>
std::string_view ReadPriceField(std::string_view text, std::size_t& pos, double& value,
                                int& decimals) {
    static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const char* p = text.data() + pos;
    const char* const end = text.data() + text.size();
    while (p != end && PriceTable.Contains(*p)) ++p;
    const char* const start = p;
    std::uint64_t digits = 0;  // wraps harmlessly past 19 digits: too long then
    const auto read_digits = [&p, end, &digits] {
        for (unsigned digit = 0; p != end && (digit = static_cast<unsigned char>(*p) - '0') < 10;
             ++p) {
            digits = digits * 10 + digit;
        }
    };
    // Digits, then at most a "." and digits: no separator ends a field at a
    // "." (a "," always does), so the field is plain when a separator or the
    // end comes next.
    read_digits();
    const char* separator = nullptr;
    if (p != end && *p == '.') {
        separator = p++;
        read_digits();
    }
    bool plain = true;
    if (p != end && !PriceTable.Contains(*p)) {
        plain = false;
        while (p != end && !PriceTable.Contains(*p)) ++p;
    }
    pos = static_cast<std::size_t>(p - text.data());
    const auto size = static_cast<std::size_t>(p - start);
    const std::string_view field(start, size);
    const std::size_t count = separator == nullptr ? size : size - 1;
    if (plain && size <= 16 && count >= 1 && count <= 15) {
        const auto fraction =
            separator == nullptr ? 0 : static_cast<std::size_t>(p - separator - 1);
        value = static_cast<double>(digits) / kPowers[fraction];
        if constexpr (kCount) decimals = std::max(decimals, static_cast<int>(fraction));
    } else if (size > 0) {
        if (TextToDouble(field, value) && kCount) decimals = std::max(decimals, DecimalsOf(field));
    }
    return field;
}

// Moves pos past a zone word that stands first in the rest of a line
// ("09:30:00 US/Eastern,1.5"): the word says in which zone the time is.
void SkipZoneWord(std::string_view rest, std::size_t& pos) {
    // Nearly always a price comes first: tell it by its first character.
    std::size_t first = pos;
    while (first < rest.size() && PriceTable.Contains(rest[first])) ++first;
    if (first == rest.size() || static_cast<unsigned char>(rest[first] - 'A') >= 26) return;
    std::size_t end = pos;
    if (IsZoneWord(NextField(rest, end, PriceTable))) pos = end;
}

// The zone word that ends at pos in text (after SkipZoneWord), or empty.
std::string_view ZoneWordBefore(std::string_view text, std::size_t pos) {
    std::size_t start = 0;
    return pos == 0 ? std::string_view() : NextField(text.substr(0, pos), start, PriceTable);
}

// Reads the date of line and the first count of its numbers, by the form of
// reading; true when the prices of that form all read.
bool ReadLine(DateLayout date_layout, TimeLayout time_layout, const BarReading& reading,
              std::string_view line, const DateNames& names, ParsedDate& date, BarLine& bar,
              std::size_t count, ShortText* reason, std::string* symbol = nullptr) {
    bar.open = bar.high = bar.low = bar.close = bar.volume = bar.open_interest = Missing;
    bar.out_of_order = false;
    if (reading.shape != nullptr && reading.shape->Rewrites()) {
        std::string_view symbol_text;
        line = ShapeLine(line, *reading.shape, &symbol_text);
        if (symbol != nullptr) symbol->assign(symbol_text);
    }
    thread_local ShortText rest_store;
    std::string_view rest;
    if (!ParseDateTextView(line.substr(0, ShortTextMax), date_layout, time_layout, true, names,
                           date, rest, rest_store, ShortTextMax, reason)) {
        if (reason != nullptr && reason->empty()) reason->assign(DateOrTimeDoesNotRead);
        return false;
    }
    const std::string_view text = rest;
    std::size_t pos = 0;
    if (time_layout != TimeLayout::NotIndicated) SkipZoneWord(text, pos);
    // The wall time in the zone of the bars, when one is chosen.
    bool repeated = false;
    if (reading.zones.Converts() &&
        !ShiftZone(reading.zones, date, ZoneWordBefore(text, pos), repeated, reason)) {
        return false;
    }
    // A year far outside the calendar gives no key of its own: refused.
    bar.seconds = MomentSeconds(date);
    const std::int64_t key = WideBarKey(reading.span, date, bar.seconds);
    if (key < INT32_MIN || key > INT32_MAX) {
        if (reason != nullptr) reason->assign(YearOutOfRange);
        return false;
    }
    bar.key = static_cast<std::int32_t>(key);

    // Fields of the rest, in one pass.
    const bool single = reading.form == PriceForm::Single;
    double* const four[] = {&bar.open,  &bar.high,   &bar.low,
                            &bar.close, &bar.volume, &bar.open_interest};
    double* const one[] = {&bar.close, &bar.volume};
    double* const* const numbers = single ? one : four;
    if (single) count = std::min<std::size_t>(count, 2);
    int decimals = 0;
    if (reading.count_decimals) {
        // Of the prices: not of the volume and open interest after them.
        const std::size_t prices = single ? 1 : 4;
        int quantity_decimals = 0;
        for (std::size_t k = 0; k < count; ++k) {
            if (ReadPriceField<true>(text, pos, *numbers[k],
                                     k < prices ? decimals : quantity_decimals)
                    .empty()) {
                break;
            }
        }
        bar.decimals = static_cast<std::uint8_t>(std::min(decimals, MaxPriceDecimals));
    } else {
        for (std::size_t k = 0; k < count; ++k) {
            // A whole number reads the same as a price would.
            if (ReadPriceField<false>(text, pos, *numbers[k], decimals).empty()) break;
        }
    }
    const auto fail = [reason](std::string_view why) {
        if (reason != nullptr) reason->assign(why);
        return false;
    };
    if (single) {
        bar.open = bar.high = bar.low = bar.close;
        if (IsMissing(bar.close)) return fail(NoPrice);
        if (!(std::abs(bar.close) < MaxPrice)) return fail(PriceOutOfRange);
    } else {
        if (IsMissing(bar.open) || IsMissing(bar.high) || IsMissing(bar.low) ||
            IsMissing(bar.close)) {
            return fail(FewerThanFourPrices);
        }
        if (!(std::abs(bar.open) < MaxPrice && std::abs(bar.high) < MaxPrice &&
              std::abs(bar.low) < MaxPrice && std::abs(bar.close) < MaxPrice)) {
            return fail(PriceOutOfRange);
        }
        bar.out_of_order = !(bar.low <= bar.open && bar.open <= bar.high && bar.low <= bar.close &&
                             bar.close <= bar.high);
    }
    // A missing volume or open interest (NaN) passes: it is no number.
    if (std::abs(bar.volume) >= MaxQuantity || std::abs(bar.open_interest) >= MaxQuantity) {
        return fail(QuantityOutOfRange);
    }
    if (repeated && reading.zones.tally != nullptr) reading.zones.tally->CountRepeated();
    return true;
}

}  // namespace

bool ParseBarLine(DateLayout date_layout, TimeLayout time_layout, BarPeriod period,
                  std::string_view line, const DateNames& names, BarLine& bar,
                  std::size_t stamp_max_length) {
    ParsedDate date;
    const BarReading reading{BarSpan{period, 0, 0}};
    if (!ReadLine(date_layout, time_layout, reading, line, names, date, bar, 6, nullptr)) {
        return false;
    }
    bar.stamp = BarStamp(date, time_layout);
    if (bar.stamp.size() > stamp_max_length) bar.stamp.resize(stamp_max_length);
    return true;
}

bool ParseBarPrices(DateLayout date_layout, TimeLayout time_layout, BarPeriod period,
                    std::string_view line, const DateNames& names, ParsedDate& date, BarLine& bar,
                    ShortText* reason) {
    const BarReading reading{BarSpan{period, 0, 0}};
    return ReadLine(date_layout, time_layout, reading, line, names, date, bar, 4, reason);
}

bool ReadBarFields(DateLayout date_layout, TimeLayout time_layout, const BarReading& reading,
                   std::string_view line, const DateNames& names, ParsedDate& date, BarLine& bar,
                   ShortText* reason, std::string* symbol) {
    std::size_t count = 4;
    if (reading.form == PriceForm::Single) {
        count = reading.volume ? 2 : 1;
    } else if (reading.open_interest) {
        count = 6;
    } else if (reading.volume) {
        count = 5;
    }
    return ReadLine(date_layout, time_layout, reading, line, names, date, bar, count, reason,
                    symbol);
}

bool LineFitsLayouts(DateLayout date_layout, TimeLayout time_layout, std::string_view line,
                     const DateNames& names) {
    ParsedDate date;
    BarLine bar;
    return ParseBarPrices(date_layout, time_layout, BarPeriod::FiveMinutes, line, names, date,
                          bar) &&
           !bar.out_of_order;
}

std::string ZoneWordOf(DateLayout date_layout, TimeLayout time_layout, std::string_view line,
                       const DateNames& names) {
    ParsedDate date;
    ShortText rest;
    if (time_layout == TimeLayout::NotIndicated ||
        !ParseDateText(line, date_layout, time_layout, true, names, date, rest, ShortTextMax)) {
        return {};
    }
    std::size_t pos = 0;
    SkipZoneWord(rest, pos);
    std::size_t start = 0;
    return std::string(NextField(std::string_view(rest).substr(0, pos), start, PriceTable));
}

bool LineFitsLayouts(DateLayout date_layout, TimeLayout time_layout, PriceForm form,
                     std::string_view line, const DateNames& names) {
    if (form != PriceForm::Single) return LineFitsLayouts(date_layout, time_layout, line, names);
    ParsedDate date;
    BarLine bar;
    BarReading reading{BarSpan{BarPeriod::FiveMinutes, 0, 0}};
    reading.form = PriceForm::Single;
    return ReadBarFields(date_layout, time_layout, reading, line, names, date, bar);
}

}  // namespace varn
