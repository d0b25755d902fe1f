// Hot routines of the text module and the conversions, per call.
#include <benchmark/benchmark.h>

#include <string>

#include "convert/reorder.h"
#include "text/fields.h"
#include "text/numbers.h"
#include "text/text_helpers.h"

namespace varn {
namespace {

void BM_FormatPrice(benchmark::State& state) {
    double value = 1271.75;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatPrice(value));
        value += 0.25;
    }
}
BENCHMARK(BM_FormatPrice);

void BM_TextToDouble(benchmark::State& state) {
    double value = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(TextToDouble("1273.500000", value));
    }
}
BENCHMARK(BM_TextToDouble);

void BM_ExtractField(benchmark::State& state) {
    const std::string line = "060523,0930,1271.750000,1273.500000,1271.000000,1273.250000,37235";
    for (auto _ : state) benchmark::DoNotOptimize(ExtractField(5, line, CharSet(",")));
}
BENCHMARK(BM_ExtractField);

void BM_ReorderDatePriceLine(benchmark::State& state) {
    std::string out;
    for (auto _ : state) {
        ReorderDatePriceLine("1971,1,4,4.318", out);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_ReorderDatePriceLine);

void BM_ReorderIntradayLine(benchmark::State& state) {
    std::string out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReorderIntradayLine(
            "060523,0930,1271.750000,1273.500000,1271.000000,1273.250000,37235", out));
    }
}
BENCHMARK(BM_ReorderIntradayLine);

}  // namespace
}  // namespace varn
