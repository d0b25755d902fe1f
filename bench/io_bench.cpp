// Reading lines: the line reader under each rule set, counting, the last lines
// of a file, and the bar page's load into its line store, over a file of
// 200,000 one-minute lines (about 10 MB) in the page cache. Arg 1 uses CR LF
// line ends, arg 0 LF.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "bars/bar_input.h"
#include "io/line_reader.h"
#include "truncate/truncate.h"

namespace varn {
namespace {

constexpr int kLines = 200000;

// The path of a file of kLines lines, written once per line end.
const std::string& InputFile(bool crlf) {
    static std::string paths[2];
    std::string& path = paths[crlf ? 1 : 0];
    if (!path.empty()) return path;
    path = (std::filesystem::temp_directory_path() /
            ("varn-io-bench-" + std::to_string(::getpid()) + (crlf ? "-crlf" : "-lf")))
               .string();
    std::ofstream out(path, std::ios::binary);
    for (int i = 0; i < kLines; ++i) {
        const int minute = i % 1440;
        char line[96];
        std::snprintf(line, sizeof line, "01/%02d/2001,%02d:%02d,1.%04d,1.%04d,1.%04d,1.%04d,%d%s",
                      i / 1440 % 28 + 1, minute / 60, minute % 60, i % 9000, i % 9000 + 5, i % 9000,
                      i % 9000 + 2, i % 500, crlf ? "\r\n" : "\n");
        out << line;
    }
    return path;
}

// Removes the input files at exit.
struct RemoveInputs {
    ~RemoveInputs() {
        for (bool crlf : {false, true}) std::remove(InputFile(crlf).c_str());
    }
} remove_inputs;

void ReadAll(benchmark::State& state, LineRules rules) {
    const std::string& path = InputFile(state.range(0) != 0);
    for (auto _ : state) {
        LineReader reader;
        if (!reader.Open(path, rules)) state.SkipWithError("cannot open");
        std::string_view line;
        std::size_t bytes = 0;
        while (reader.Next(line)) bytes += line.size();
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}

void BM_LineReaderStream(benchmark::State& state) { ReadAll(state, LineRules::Stream); }
BENCHMARK(BM_LineReaderStream)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_LineReaderList(benchmark::State& state) { ReadAll(state, LineRules::List); }
BENCHMARK(BM_LineReaderList)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_CountLines(benchmark::State& state) {
    const std::string& path = InputFile(state.range(0) != 0);
    for (auto _ : state) {
        const JobReport report = RunCount(LineSource::File(path));
        if (!report.ok() || report.lines_read != kLines) state.SkipWithError("wrong count");
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_CountLines)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_TruncateFile(benchmark::State& state) {
    const std::string& path = InputFile(state.range(0) != 0);
    const std::string out = path + ".out";
    for (auto _ : state) {
        if (!RunTruncate(LineSource::File(path), Destination::File(out), {10000}).ok()) {
            state.SkipWithError("cannot truncate");
        }
    }
    std::remove(out.c_str());
}
BENCHMARK(BM_TruncateFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_LoadBarInput(benchmark::State& state) {
    const std::string& path = InputFile(state.range(0) != 0);
    const DateNames names(EnglishRegionalNames());
    for (auto _ : state) {
        BarInputLines lines;
        Detection detection;
        if (!LoadBarInput(path, lines, names, detection) || lines.Count() != kLines) {
            state.SkipWithError("cannot load");
        }
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_LoadBarInput)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varn
