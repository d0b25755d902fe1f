// Feeds arbitrary bytes to the date parser, the bar line reader (date, time,
// bar key and prices) under every pair of layouts and period, and to the line
// step of each conversion. The first byte picks a period and whether to ask
// for the error text, and with it a bar length, a session start and a price
// form for the fuller reader; the rest is the line.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "bars/bar_line.h"
#include "calendar/date_layouts.h"
#include "calendar/parse_date.h"
#include "convert/daily_to_monthly.h"
#include "convert/reorder.h"
#include "convert/truncated_julian.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static const varn::DateNames names(varn::EnglishRegionalNames());
    const auto period = static_cast<varn::BarPeriod>(data[0] % varn::BarPeriodCount);
    const bool want_error = (data[0] & 0x80) != 0;
    const std::string_view line(reinterpret_cast<const char*>(data + 1), size - 1);
    varn::ParsedDate date;
    varn::ShortText rest;
    varn::ShortText error;
    varn::BarLine bar;
    // A length in minutes (the reader takes any, not only those dividing a
    // day) and a session start either way.
    varn::BarReading reading;
    reading.span = {period, data[0] % 3 == 0 ? 1440 / (1 + data[0] % 36) : 0,
                    (data[0] % 5 == 0 ? -1 : 1) * (data[0] * 11 % 1440)};
    reading.form = (data[0] & 0x40) != 0 ? varn::PriceForm::Single : varn::PriceForm::Ohlc;
    reading.volume = (data[0] & 0x20) != 0;
    reading.open_interest = (data[0] & 0x10) != 0;
    for (int d = 0; d < varn::DateLayoutCount; ++d) {
        for (int t = 0; t < varn::TimeLayoutCount; ++t) {
            const auto date_layout = static_cast<varn::DateLayout>(d);
            const auto time_layout = static_cast<varn::TimeLayout>(t);
            (void)varn::ParseDateText(line, date_layout, time_layout, true, names, date, rest, 255,
                                      want_error ? &error : nullptr);
            (void)varn::ParseBarLine(date_layout, time_layout, period, line, names, bar);
            (void)varn::ParseBarPrices(date_layout, time_layout, period, line, names, date, bar,
                                       want_error ? &error : nullptr);
            (void)varn::ReadBarFields(date_layout, time_layout, reading, line, names, date, bar,
                                      want_error ? &error : nullptr);
        }
    }
    std::string out;
    varn::ReorderDatePriceLine(line, out);
    (void)varn::ReorderIntradayLine(line, out);
    (void)varn::MonthKey(line);
    std::string converted;
    (void)varn::ConvertTruncatedJulianLine(line, converted);
    return 0;
}
