// Decompressing a gzip file, to choose the library that reads gzip inputs:
// zlib's inflate straight into the reader's buffer, libarchive's gzip filter
// (which inflates through zlib too, into buffers of its own), and the
// decoding reader as the jobs use it. One thread each; the file is read from
// the page cache. The file is VARN_BENCH_GZIP (bench/decode.sh makes one of
// the 5,000,000 one-minute lines); without it the cases are skipped.
#include <archive.h>
#include <archive_entry.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "io/decoded_input.h"

namespace varn {
namespace {

constexpr std::size_t kBuffer = std::size_t{256} << 10;

const char* GzipPath(benchmark::State& state) {
    const char* path = std::getenv("VARN_BENCH_GZIP");
    if (path == nullptr) state.SkipWithError("VARN_BENCH_GZIP names no file");
    return path;
}

// The bytes out of path through zlib; 0 on a failure.
std::size_t InflateWithZlib(const char* path, char* out, char* in) {
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    z_stream z{};
    inflateInit2(&z, 15 + 16);
    std::size_t total = 0;
    bool ok = fd >= 0;
    while (ok) {
        if (z.avail_in == 0) {
            const ssize_t got = ::read(fd, in, kBuffer);
            if (got <= 0) break;
            z.next_in = reinterpret_cast<Bytef*>(in);
            z.avail_in = static_cast<uInt>(got);
        }
        z.next_out = reinterpret_cast<Bytef*>(out);
        z.avail_out = static_cast<uInt>(kBuffer);
        const int result = inflate(&z, Z_NO_FLUSH);
        total += kBuffer - z.avail_out;
        if (result == Z_STREAM_END) {
            inflateReset(&z);
        } else if (result != Z_OK && result != Z_BUF_ERROR) {
            ok = false;
        }
    }
    inflateEnd(&z);
    if (fd >= 0) ::close(fd);
    return ok ? total : 0;
}

std::size_t InflateWithLibarchive(const char* path, char* out) {
    archive* a = archive_read_new();
    archive_read_support_filter_gzip(a);
    archive_read_support_format_raw(a);
    archive_entry* entry = nullptr;
    std::size_t total = 0;
    if (archive_read_open_filename(a, path, kBuffer) == ARCHIVE_OK &&
        archive_read_next_header(a, &entry) == ARCHIVE_OK) {
        la_ssize_t got = 0;
        while ((got = archive_read_data(a, out, kBuffer)) > 0)
            total += static_cast<std::size_t>(got);
        if (got < 0) total = 0;
    }
    archive_read_free(a);
    return total;
}

std::size_t InflateWithDecodedInput(const char* path, char* out) {
    DecodedInput input;
    if (!input.Open(LineSource::File(path)).ok()) return 0;
    std::size_t total = 0;
    while (const std::size_t got = input.Read(out, kBuffer)) total += got;
    return input.status().ok() ? total : 0;
}

void Report(benchmark::State& state, std::size_t bytes) {
    if (bytes == 0) state.SkipWithError("cannot decompress");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(bytes));
}

void BM_InflateZlib(benchmark::State& state) {
    const char* path = GzipPath(state);
    auto out = std::make_unique<char[]>(kBuffer);
    auto in = std::make_unique<char[]>(kBuffer);
    std::size_t bytes = 0;
    for (auto _ : state) {
        if (path != nullptr) bytes = InflateWithZlib(path, out.get(), in.get());
    }
    Report(state, bytes);
}
BENCHMARK(BM_InflateZlib)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_InflateLibarchive(benchmark::State& state) {
    const char* path = GzipPath(state);
    auto out = std::make_unique<char[]>(kBuffer);
    std::size_t bytes = 0;
    for (auto _ : state) {
        if (path != nullptr) bytes = InflateWithLibarchive(path, out.get());
    }
    Report(state, bytes);
}
BENCHMARK(BM_InflateLibarchive)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_InflateDecodedInput(benchmark::State& state) {
    const char* path = GzipPath(state);
    auto out = std::make_unique<char[]>(kBuffer);
    std::size_t bytes = 0;
    for (auto _ : state) {
        if (path != nullptr) bytes = InflateWithDecodedInput(path, out.get());
    }
    Report(state, bytes);
}
BENCHMARK(BM_InflateDecodedInput)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace varn
