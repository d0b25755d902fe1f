#include "bars/bar_line.h"

#include <charconv>
#include <cstdint>

#include "calendar/calendar.h"
#include "text/fields.h"
#include "text/numbers.h"

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

void AppendInt(ShortText& text, std::int32_t value) {
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    text.append(digits, result.ptr);
}

}  // namespace

double BarEpoch() {
    static const double epoch = CalendarToCenturies(1850, 9, 9, 0);
    return epoch;
}

std::int64_t WideBarKey(BarPeriod period, const ParsedDate& date) {
    if (Number(period) < static_cast<int>(kPeriodSeconds.size())) {
        // Whole seconds from the epoch; hours of 24 and minutes or seconds of
        // 60 simply carry.
        static const std::int64_t epoch_day = DayNumber(1850, 9, 9);
        // Neighbouring lines mostly share their date.
        thread_local ParsedDate last_date{0, 0, 0, 0, 0, 0};
        thread_local std::int64_t last_day = DayNumber(0, 0, 0);
        if (date.year != last_date.year || date.month != last_date.month ||
            date.day != last_date.day) {
            last_date = date;
            last_day = DayNumber(date.year, date.month, date.day);
        }
        const std::int64_t seconds = (last_day - epoch_day) * 86400 +
                                     std::int64_t{date.hours} * 3600 +
                                     std::int64_t{date.minutes} * 60 + date.seconds;
        return FloorDiv(seconds, kPeriodSeconds[static_cast<std::size_t>(Number(period))]);
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

std::int32_t BarKey(BarPeriod period, const ParsedDate& date) {
    return static_cast<std::int32_t>(WideBarKey(period, date));
}

ShortText BarStamp(const ParsedDate& date, TimeLayout time_layout) {
    ShortText stamp;
    AppendInt(stamp, date.month);
    stamp += '.';
    AppendInt(stamp, date.day);
    stamp += '.';
    AppendInt(stamp, date.year);
    if (time_layout != TimeLayout::NotIndicated) {
        stamp += ' ';
        AppendInt(stamp, date.hours);
        stamp += ':';
        AppendInt(stamp, date.minutes);
    }
    return stamp;
}

namespace {

// Reads the date of line and the first count of its six numbers; true when
// open, high, low and close all read.
bool ReadLine(DateLayout date_layout, TimeLayout time_layout, BarPeriod period,
              std::string_view line, const DateNames& names, ParsedDate& date, BarLine& bar,
              std::size_t count, ShortText* reason) {
    bar.open = bar.high = bar.low = bar.close = bar.volume = bar.open_interest = NoValue;
    thread_local ShortText rest;
    if (!ParseDateText(line.substr(0, ShortTextMax), date_layout, time_layout, true, names, date,
                       rest, ShortTextMax, reason)) {
        if (reason != nullptr && reason->empty()) reason->assign(DateOrTimeDoesNotRead);
        return false;
    }
    // A year far outside the calendar gives no key of its own: refused.
    const std::int64_t key = WideBarKey(period, date);
    if (key < INT32_MIN || key > INT32_MAX) {
        if (reason != nullptr) reason->assign(YearOutOfRange);
        return false;
    }
    bar.key = static_cast<std::int32_t>(key);

    // Fields of the rest, in one pass.
    double* const numbers[] = {&bar.open,  &bar.high,   &bar.low,
                               &bar.close, &bar.volume, &bar.open_interest};
    const std::string_view text = rest;
    std::size_t pos = 0;
    for (std::size_t k = 0; k < count; ++k) {
        const std::string_view field = NextField(text, pos, PriceTable);
        if (field.empty()) break;
        (void)TextToDouble(field, *numbers[k]);
    }
    const bool ok =
        bar.open != NoValue && bar.high != NoValue && bar.low != NoValue && bar.close != NoValue;
    if (!ok && reason != nullptr) reason->assign(FewerThanFourPrices);
    return ok;
}

}  // namespace

bool ParseBarLine(DateLayout date_layout, TimeLayout time_layout, BarPeriod period,
                  std::string_view line, const DateNames& names, BarLine& bar,
                  std::size_t stamp_max_length) {
    ParsedDate date;
    if (!ReadLine(date_layout, time_layout, period, line, names, date, bar, 6, nullptr)) {
        return false;
    }
    bar.stamp = BarStamp(date, time_layout);
    if (bar.stamp.size() > stamp_max_length) bar.stamp.resize(stamp_max_length);
    return true;
}

bool ParseBarPrices(DateLayout date_layout, TimeLayout time_layout, BarPeriod period,
                    std::string_view line, const DateNames& names, ParsedDate& date, BarLine& bar,
                    ShortText* reason) {
    return ReadLine(date_layout, time_layout, period, line, names, date, bar, 4, reason);
}

bool LineFitsLayouts(DateLayout date_layout, TimeLayout time_layout, std::string_view line,
                     const DateNames& names) {
    ParsedDate date;
    BarLine bar;
    return ParseBarPrices(date_layout, time_layout, BarPeriod::FiveMinutes, line, names, date, bar);
}

}  // namespace varn
