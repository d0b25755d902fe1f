// Bar building per line, for one-minute lines built into 5-minute, daily and
// monthly bars.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bars/bar_input.h"
#include "bars/build_bars.h"

namespace varn {
namespace {

BarInputLines MinuteLines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        const int day = i / 1440 % 28 + 1;
        const int month = i / (1440 * 28) % 12 + 1;
        const int minute = i % 1440;
        char line[96];
        std::snprintf(
            line, sizeof line, "%02d/%02d/2001,%02d:%02d,1.%04d,1.%04d,1.%04d,1.%04d,%d\n", month,
            day, minute / 60, minute % 60, i % 9000, i % 9000 + 5, i % 9000, i % 9000 + 2, i % 500);
        text += line;
    }
    BarInputLines lines;
    lines.Assign(std::move(text));
    return lines;
}

void BM_BuildBars(benchmark::State& state) {
    static const BarInputLines lines = MinuteLines(100000);
    BarChoices choices;
    choices.date_layout = DateLayout::MMDDYYYYSlash;
    choices.time_layout = TimeLayout::BlankHms;
    choices.period = static_cast<BarPeriod>(state.range(0));
    std::vector<std::string> bars;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            RunBars(LineSource::Lines(lines, "bench"), Destination::Lines(bars), choices));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(lines.Count()));
}
BENCHMARK(BM_BuildBars)->Arg(0)->Arg(3)->Arg(5)->Unit(benchmark::kMillisecond);

// Daily bars of the same lines with a further choice: 0 none, 1 the volume
// column, 2 volume and open interest, 3 one price a line, 4 an ISO stamp and
// a session start.
void BM_BuildBarsWithOptions(benchmark::State& state) {
    static const BarInputLines lines = MinuteLines(100000);
    BarChoices choices;
    choices.date_layout = DateLayout::MMDDYYYYSlash;
    choices.time_layout = TimeLayout::BlankHms;
    choices.period = BarPeriod::Day;
    choices.volume = state.range(0) == 1 || state.range(0) == 2;
    choices.open_interest = state.range(0) == 2;
    if (state.range(0) == 3) choices.prices = PriceForm::Single;
    if (state.range(0) == 4) {
        choices.stamp = StampStyle::Iso;
        choices.session_offset_minutes = -420;
    }
    std::vector<std::string> bars;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            RunBars(LineSource::Lines(lines, "bench"), Destination::Lines(bars), choices));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(lines.Count()));
}
BENCHMARK(BM_BuildBarsWithOptions)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varn
