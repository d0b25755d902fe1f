#include "bars/parse_batch.h"

#include <thread>

namespace varn {
namespace {

// Below this many lines a second thread costs more than it saves.
constexpr std::size_t kMinLinesToSplit = 1024;

void ParseRange(std::span<const std::string_view> lines, DateLayout date_layout,
                TimeLayout time_layout, const BarReading& reading, const DateNames& names,
                std::span<ParsedBarLine> out) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        ParsedBarLine& parsed = out[i];
        parsed.ok = ReadBarFields(date_layout, time_layout, reading, lines[i], names, parsed.date,
                                  parsed.bar);
    }
}

}  // namespace

void ParseBarLines(std::span<const std::string_view> lines, DateLayout date_layout,
                   TimeLayout time_layout, const BarReading& reading, const DateNames& names,
                   std::span<ParsedBarLine> out) {
    static const bool two_cores = std::thread::hardware_concurrency() >= 2;
    if (!two_cores || lines.size() < kMinLinesToSplit) {
        ParseRange(lines, date_layout, time_layout, reading, names, out);
        return;
    }
    const std::size_t half = lines.size() / 2;
    std::thread second([&] {
        ParseRange(lines.subspan(half), date_layout, time_layout, reading, names,
                   out.subspan(half));
    });
    ParseRange(lines.first(half), date_layout, time_layout, reading, names, out.first(half));
    second.join();
}

}  // namespace varn
