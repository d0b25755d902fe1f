#include "bars/parse_batch.h"

namespace varn {

void ParseBarLines(std::span<const std::string_view> lines, DateLayout date_layout,
                   TimeLayout time_layout, const BarReading& reading, const DateNames& names,
                   std::span<ParsedBarLine> out) {
    const bool symbols = reading.shape != nullptr && reading.shape->HasSymbol();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        ParsedBarLine& parsed = out[i];
        parsed.ok = ReadBarFields(date_layout, time_layout, reading, lines[i], names, parsed.date,
                                  parsed.bar, nullptr, symbols ? &parsed.symbol : nullptr);
    }
}

}  // namespace varn
