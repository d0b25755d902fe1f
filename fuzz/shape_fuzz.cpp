// Feeds arbitrary text to the reading of a file's shape: the separator, a
// header naming the columns, the decimal mark (FindLineShape), and the
// rewriting of each line (ShapeLine), which the bar reader then reads under a
// few layouts. The first byte picks a decimal comma, a column list and a price
// form; the rest is the file's first lines.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "bars/bar_line.h"
#include "bars/line_shape.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static const varn::DateNames names(varn::EnglishRegionalNames());
    static const char* const kLists[] = {"", "date,time,open,high,low,close,volume",
                                         "symbol,skip,datetime,close,volume", "date,bid,ask"};
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start <= text.size() && lines.size() < 12;) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    varn::ShapeChoices choices;
    choices.decimal_comma = (data[0] & 1) != 0;
    choices.prices = static_cast<varn::PriceForm>(data[0] >> 1 & 1 ? 2 : 0);
    std::string reason;
    (void)varn::ReadColumnList(kLists[data[0] >> 2 & 3], choices.columns, reason);
    if ((data[0] >> 2 & 3) == 0) choices.columns.clear();
    varn::LineShape shape;
    if (!varn::FindLineShape(lines, choices, shape, reason)) return 0;
    varn::BarReading reading;
    reading.shape = &shape;
    reading.volume = true;
    reading.open_interest = true;
    for (const std::string_view line : lines) {
        std::string_view symbol;
        (void)varn::ShapeLine(line, shape, &symbol);
        varn::ParsedDate date;
        varn::BarLine bar;
        std::string symbol_text;
        for (const auto pair : {std::pair{5, 6}, std::pair{12, 8}, std::pair{22, 8}}) {
            (void)varn::ReadBarFields(static_cast<varn::DateLayout>(pair.first),
                                      static_cast<varn::TimeLayout>(pair.second), reading, line,
                                      names, date, bar, nullptr, &symbol_text);
        }
    }
    return 0;
}
