// One line at a time on one core: conversion 4 and the reading of a bar line,
// over lines shaped like the files they meet (a truncated Julian day every
// quarter hour with five decimals; one-minute price lines with a comma after
// the date and the time).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bars/bar_line.h"
#include "calendar/parse_date.h"
#include "convert/truncated_julian.h"

namespace varn {
namespace {

std::vector<std::string> TruncatedJulianLines(int count) {
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        char line[64];
        // 40000 + i / 96 days, to five decimals, and a price.
        const long long units = 4000000000LL + i * 100000LL / 96;
        std::snprintf(line, sizeof line, "%lld.%05lld 1.%03d", units / 100000, units % 100000,
                      i % 1000);
        lines.emplace_back(line);
    }
    return lines;
}

std::vector<std::string> MinuteLines(int count) {
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const int day = i / 1440 % 28 + 1;
        const int month = i / (1440 * 28) % 12 + 1;
        const int minute = i % 1440;
        char line[96];
        std::snprintf(line, sizeof line, "%02d/%02d/2000,%02d:%02d,1.%04d,1.%04d,1.%04d,1.%04d,%d",
                      month, day, minute / 60, minute % 60, i % 9000, i % 9000 + 5, i % 9000,
                      i % 9000 + 2, i % 500);
        lines.emplace_back(line);
    }
    return lines;
}

void BM_TruncatedJulianLine(benchmark::State& state) {
    static const std::vector<std::string> lines = TruncatedJulianLines(4096);
    std::string out;
    std::size_t i = 0;
    for (auto _ : state) {
        out.clear();
        benchmark::DoNotOptimize(ConvertTruncatedJulianLine(lines[i], out));
        benchmark::DoNotOptimize(out.data());
        i = (i + 1) % lines.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TruncatedJulianLine);

// The per-line reading of bar building: date layout 5, time layout 6, by
// period 0 (5 minutes), 3 (day) and 5 (month).
void BM_BarLineParse(benchmark::State& state) {
    static const std::vector<std::string> lines = MinuteLines(4096);
    static const DateNames names;
    BarReading reading;
    reading.span.period = static_cast<BarPeriod>(state.range(0));
    ParsedDate date;
    BarLine bar;
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadBarFields(DateLayout::MMDDYYYYSlash, TimeLayout::SemicolonHm,
                                               reading, lines[i], names, date, bar));
        benchmark::DoNotOptimize(bar.close);
        i = (i + 1) % lines.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BarLineParse)->Arg(0)->Arg(3)->Arg(5);

}  // namespace
}  // namespace varn
