// Feeds arbitrary bytes to the date parser and the bar line reader under every
// pair of layouts. The first byte picks a period and whether to ask for the
// error text; the rest is the line.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "bars/bar_line.h"
#include "calendar/date_layouts.h"
#include "calendar/parse_date.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static const varn::DateNames names(varn::EnglishRegionalNames());
    const int period = data[0] % varn::BarPeriodCount;
    const bool want_error = (data[0] & 0x80) != 0;
    const std::string_view line(reinterpret_cast<const char*>(data + 1), size - 1);
    varn::ParsedDate date;
    varn::ShortText rest;
    varn::ShortText error;
    varn::BarLine bar;
    for (int d = 0; d < varn::DateLayoutCount; ++d) {
        for (int t = 0; t < varn::TimeLayoutCount; ++t) {
            (void)varn::ParseDateText(line, d, t, true, names, date, rest, 255,
                                      want_error ? &error : nullptr);
            (void)varn::ParseBarLine(d, t, period, line, names, bar);
        }
    }
    return 0;
}
