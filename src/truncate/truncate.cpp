#include "truncate/truncate.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <memory>
#include <string_view>

#include "io/decoded_input.h"
#include "io/line_output.h"
#include "io/line_reader.h"
#include "io/line_rules.h"
#include "text/text_helpers.h"

namespace varn {
namespace {

constexpr std::size_t kBlock = std::size_t{64} << 10;
// Counting reads in blocks that stay in the processor's cache: the kernel's
// copy into a larger buffer costs more than the counting itself.
constexpr std::size_t kCountBlock = std::size_t{16} << 10;

enum class ReadResult { Full, Short, Failed };

// Reads size bytes at offset. Short when the file ends before them: the size
// the system gave was not the file's (a file of /proc or /sys, or one that
// shrank meanwhile).
ReadResult ReadFully(int fd, char* at, std::size_t size, off_t offset) {
    while (size > 0) {
        const ssize_t got = ::pread(fd, at, size, offset);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return ReadResult::Failed;
        if (got == 0) return ReadResult::Short;
        at += got;
        size -= static_cast<std::size_t>(got);
        offset += got;
    }
    return ReadResult::Full;
}

// The offset at which the last n lines of the bytes [origin, size) of a
// regular file begin, found by reading backwards from its end. Short when the
// file holds fewer bytes than size: start is then not set.
ReadResult FindLastLinesStart(int fd, off_t origin, off_t size, std::int64_t n, off_t& start) {
    // The last 0 lines (or fewer) begin at the end.
    start = n < 1 ? std::max(origin, size) : origin;
    if (size <= origin || n < 1) return ReadResult::Full;
    char tail[2] = {0, 0};
    const off_t tail_size = std::min<off_t>(size - origin, 2);
    if (const ReadResult result = ReadFully(fd, tail + 2 - tail_size,
                                            static_cast<std::size_t>(tail_size), size - tail_size);
        result != ReadResult::Full) {
        return result;
    }
    // A final line break adds no line: leave it out of the scan.
    off_t end = size - static_cast<off_t>(FinalBreakLength(std::string_view(
                           tail + 2 - tail_size, static_cast<std::size_t>(tail_size))));

    auto block = std::make_unique<char[]>(kBlock);
    LastLinesScanner scanner(n);
    while (end > origin) {
        const off_t begin =
            end - origin > static_cast<off_t>(kBlock) ? end - static_cast<off_t>(kBlock) : origin;
        const auto len = static_cast<std::size_t>(end - begin);
        if (const ReadResult result = ReadFully(fd, block.get(), len, begin);
            result != ReadResult::Full) {
            return result;
        }
        std::size_t found = 0;
        if (scanner.Scan(std::string_view(block.get(), len), found)) {
            start = begin + static_cast<off_t>(found);
            return ReadResult::Full;
        }
        end = begin;
    }
    return ReadResult::Full;
}

}  // namespace

JobStatus LoadTruncFile(const std::string& path, TruncLines& lines) {
    return ReadLineList(path, lines);
}

std::int64_t FirstKeptLine(std::int64_t count, std::int64_t n) {
    if (count <= n) return 0;
    return count - n;
}

namespace {

JobStatus WriteLastLines(const LineList& lines, std::int64_t n, LineOutput& out) {
    const auto count = static_cast<std::int64_t>(lines.Count());
    std::int64_t first = FirstKeptLine(count, n);
    if (count > 0 && count <= INT32_MAX) {
        first = ClampInt(0, static_cast<std::int32_t>(count - 1), static_cast<std::int32_t>(first));
    }
    for (auto i = static_cast<std::size_t>(first); i < lines.Count(); ++i) {
        out.WriteLine(lines.Line(i));
    }
    return out.status();
}

JobStatus CountLines(const LineSource& source, std::int64_t& count) {
    count = 0;
    DecodedInput input;
    if (JobStatus status = input.Open(source); !status) return status;
    auto block = std::make_unique<char[]>(kCountBlock);
    ListLineCounter counter;
    while (const std::size_t got = input.Read(block.get(), kCountBlock)) {
        counter.Add(std::string_view(block.get(), got));
    }
    if (!input.status().ok()) return input.status();
    count = counter.Count();
    return JobStatus::Ok();
}

// Writes the lines of reader from where it stands.
void WriteRest(LineReader& reader, LineOutput& out, std::int64_t& lines_read) {
    std::string_view line;
    while (reader.Next(line)) {
        ++lines_read;
        out.WriteLine(line);
    }
}

// Reads reader through, keeping its last n lines, and writes them.
void WriteLastOfAll(LineReader& reader, std::int64_t n, LineOutput& out, std::int64_t& lines_read) {
    std::deque<std::string> kept;
    std::string_view line;
    while (reader.Next(line)) {
        ++lines_read;
        if (n < 1) continue;
        if (static_cast<std::int64_t>(kept.size()) == n) kept.pop_front();
        kept.emplace_back(line);
    }
    if (reader.status().ok()) {
        for (const std::string& k : kept) out.WriteLine(k);
    }
}

JobStatus TruncateFile(const LineSource& source, std::int64_t n, LineOutput& out,
                       std::int64_t& lines_read) {
    DecodedInput input;
    if (JobStatus status = input.Open(source); !status) return status;
    if (!input.Sniff()) return input.status();
    LineReader reader;
    // A plain regular file is read from its end, as far as its last n lines
    // reach. The size the system gives may be wrong (0 for a file of /proc,
    // 4096 for one of /sys, the old size of a file that shrank): a file that
    // ends short of it is read forward, as a pipe is.
    if (input.plain() && input.regular() && input.file_size() > 0) {
        off_t start = 0;
        const ReadResult result =
            FindLastLinesStart(input.fd(), input.text_offset(), input.file_size(), n, start);
        if (result == ReadResult::Failed) return JobStatus::FromErrno(input.name(), "cannot read");
        // A file that ends short of its size is read again from its start.
        if (!input.SeekPlain(result == ReadResult::Full ? start : input.text_offset())) {
            return input.status();
        }
        if (result == ReadResult::Full) {
            reader.Adopt(std::move(input), LineRules::List);
            WriteRest(reader, out, lines_read);
            if (!reader.status().ok()) return reader.status();
            return out.status();
        }
    }
    // A pipe, a decoded input, or a file whose size was not its own: keep
    // the last n lines seen.
    reader.Adopt(std::move(input), LineRules::List);
    WriteLastOfAll(reader, n, out, lines_read);
    if (!reader.status().ok()) return reader.status();
    return out.status();
}

}  // namespace

JobReport RunTruncate(const LineSource& source, const Destination& destination,
                      const TruncateChoices& choices, const JobCallbacks& callbacks) {
    JobReport report;
    LineOutput out;
    if (report.status = out.Open(destination); !report.ok()) return report;
    if (const LineList* lines = source.lines()) {
        report.lines_read = static_cast<std::int64_t>(lines->Count());
        report.status = WriteLastLines(*lines, choices.lines, out);
    } else {
        report.status = TruncateFile(source, choices.lines, out, report.lines_read);
    }
    report.lines_used = report.lines_written = out.lines_written();
    if (report.ok()) report.status = out.Commit();
    if (report.ok() && callbacks.step) callbacks.step(100);
    return report;
}

JobReport RunCount(const LineSource& source) {
    JobReport report;
    if (const LineList* lines = source.lines()) {
        report.lines_read = static_cast<std::int64_t>(lines->Count());
    } else {
        report.status = CountLines(source, report.lines_read);
    }
    report.lines_used = report.lines_read;
    return report;
}

}  // namespace varn
