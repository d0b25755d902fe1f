// Every reader of lines must agree with the line rules and with each other:
// the line reader (from a file, and from a stream whose reads end where the
// test says), the backward scan for the last lines, counting, the bar page's
// line store and pasting. The same bytes go to each, and each is checked
// against a plain byte-by-byte statement of the rules.
//
// The random cases are reproducible: a failure names its seed and case.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bars/bar_input.h"
#include "io/line_reader.h"
#include "io/line_rules.h"
#include "test_support.h"
#include "truncate/truncate.h"

namespace varn {
namespace {

using testing::TempDir;
using Lines = std::vector<std::string>;

constexpr std::size_t kBuffer = LineReader::kBufferSize;

// ---- The rules, stated byte by byte ----

// The lines of bytes under the List rules; starts, when given, receives the
// offset at which each line begins.
Lines ModelList(const std::string& bytes, std::vector<std::size_t>* starts = nullptr) {
    Lines lines;
    std::string line;
    bool open = false;  // a line has begun and not yet ended
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
            lines.push_back(line);
            if (starts != nullptr) starts->push_back(start);
            line.clear();
            open = false;
            start = i + 1;
        } else {
            line += c;
            open = true;
        }
    }
    if (open) {
        lines.push_back(line);
        if (starts != nullptr) starts->push_back(start);
    }
    return lines;
}

Lines ModelStream(const std::string& bytes) {
    Lines lines;
    std::string line;
    bool open = false;
    for (const char c : bytes) {
        if (c == CtrlZ) break;
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
            open = false;
        } else {
            if (c != '\r') line += c;
            open = true;  // even a lone CR begins a line, which then is empty
        }
    }
    if (open) lines.push_back(line);
    return lines;
}

Lines LastOf(const Lines& lines, std::int64_t n) {
    const auto keep = static_cast<std::size_t>(
        std::clamp<std::int64_t>(n, 0, static_cast<std::int64_t>(lines.size())));
    return Lines(lines.end() - static_cast<std::ptrdiff_t>(keep), lines.end());
}

std::string WithCrLf(const Lines& lines) {
    std::string out;
    for (const std::string& line : lines) out += line + "\r\n";
    return out;
}

// ---- The readers ----

Lines ReadAll(LineReader& reader) {
    Lines lines;
    std::string_view line;
    while (reader.Next(line)) lines.emplace_back(line);
    EXPECT_TRUE(reader.status().ok()) << reader.status().error.message();
    return lines;
}

Lines ReadFileLines(const std::string& path, LineRules rules) {
    LineReader reader;
    EXPECT_TRUE(reader.Open(path, rules).ok());
    return ReadAll(reader);
}

// Reads bytes through a packet socket: each read of the reader returns
// exactly one of the pieces, so the test places the read boundaries.
Lines ReadInPieces(const std::string& bytes, const std::vector<std::size_t>& pieces,
                   LineRules rules) {
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET, 0, fds) != 0) {
        ADD_FAILURE() << "socketpair failed";
        return {};
    }
    std::thread writer([&bytes, &pieces, fd = fds[1]] {
        std::size_t at = 0;
        for (const std::size_t size : pieces) {
            if (::send(fd, bytes.data() + at, size, MSG_NOSIGNAL) != static_cast<ssize_t>(size))
                break;
            at += size;
        }
        ::close(fd);
    });
    Lines lines;
    {
        // The reader stops at a Ctrl-Z under Stream: closing its end lets a
        // writer still sending finish.
        LineReader reader;
        reader.Adopt(fds[0], "packets", rules);
        lines = ReadAll(reader);
    }
    writer.join();
    return lines;
}

// Sizes of pieces that cut bytes into parts of at most limit bytes (none
// empty: an empty packet would read as the end).
std::vector<std::size_t> RandomPieces(std::size_t total, std::size_t limit, std::mt19937_64& rng) {
    std::vector<std::size_t> pieces;
    while (total > 0) {
        const std::size_t size =
            std::min(total, std::uniform_int_distribution<std::size_t>(1, limit)(rng));
        pieces.push_back(size);
        total -= size;
    }
    return pieces;
}

// Blocks of the given size, the first of which may be of another.
struct Blocks {
    std::size_t first;
    std::size_t rest;
};

std::int64_t CountInBlocks(const std::string& bytes, Blocks blocks) {
    ListLineCounter counter;
    for (std::size_t at = 0, size = blocks.first; at < bytes.size(); at += size) {
        if (at > 0) size = blocks.rest;
        counter.Add(std::string_view(bytes).substr(at, size));
    }
    return counter.Count();
}

// The offset where the last n lines begin, scanning blocks from the end as
// the truncation does.
std::size_t LastLinesStartInBlocks(const std::string& bytes, std::int64_t n, Blocks blocks) {
    LastLinesScanner scanner(n);
    std::size_t end = bytes.size() - FinalBreakLength(bytes);
    std::size_t size = blocks.first;
    while (end > 0) {
        const std::size_t begin = end > size ? end - size : 0;
        std::size_t start = 0;
        if (scanner.Scan(std::string_view(bytes).substr(begin, end - begin), start)) {
            return begin + start;
        }
        end = begin;
        size = blocks.rest;
    }
    return 0;
}

Lines StoreLines(const BarInputLines& store) {
    Lines lines;
    for (std::size_t i = 0; i < store.Count(); ++i) lines.emplace_back(store.Line(i));
    return lines;
}

// A readable account of bytes for a failure message: length, and the
// special bytes near each read boundary.
std::string Describe(const std::string& bytes) {
    std::ostringstream out;
    out << bytes.size() << " bytes";
    for (std::size_t b = kBuffer; b < bytes.size() + 4; b += kBuffer) {
        out << "; around " << b << ":";
        for (std::size_t i = b >= 4 ? b - 4 : 0; i < std::min(bytes.size(), b + 4); ++i) {
            out << ' ' << static_cast<int>(static_cast<unsigned char>(bytes[i]));
        }
    }
    return out.str();
}

// Feeds bytes to every reader and checks each against the rules. Block
// readers also get blocks that end right around offset focus, when given.
void CheckEveryReader(const std::string& bytes, std::mt19937_64& rng,
                      std::size_t focus = std::string::npos) {
    SCOPED_TRACE(Describe(bytes));
    std::vector<std::size_t> starts;
    const Lines list = ModelList(bytes, &starts);
    const Lines stream = ModelStream(bytes);
    const auto count = static_cast<std::int64_t>(list.size());

    TempDir dir;
    const std::string path = dir.Write("in.txt", bytes);

    // Forward, from a file: reads end at every multiple of the buffer.
    EXPECT_EQ(ReadFileLines(path, LineRules::Stream), stream) << "line reader, Stream";
    EXPECT_EQ(ReadFileLines(path, LineRules::List), list) << "line reader, List";
    EXPECT_EQ(ListLines(bytes), list) << "ListLines";

    // Forward, with reads ending at random places.
    if (!bytes.empty()) {
        const std::vector<std::size_t> pieces = RandomPieces(bytes.size(), 9000, rng);
        EXPECT_EQ(ReadInPieces(bytes, pieces, LineRules::Stream), stream) << "pieces, Stream";
        EXPECT_EQ(ReadInPieces(bytes, pieces, LineRules::List), list) << "pieces, List";
    }

    // Counting, from the file and in blocks that split the input anywhere
    // (of one and two bytes only for short inputs).
    std::vector<Blocks> forward_blocks = {{4093, 4093}, {kBuffer, kBuffer}};
    if (bytes.size() <= 8192) {
        forward_blocks.insert(forward_blocks.end(), {{1, 1}, {2, 2}, {3, 3}});
    }
    std::vector<Blocks> backward_blocks = forward_blocks;
    if (focus < bytes.size()) {
        const std::size_t from_end = bytes.size() - FinalBreakLength(bytes) - focus;
        for (std::size_t d = 0; d < 3; ++d) {
            if (focus + d > 1) forward_blocks.push_back({focus + d - 1, kBuffer});
            if (from_end + d > 1) backward_blocks.push_back({from_end + d - 1, kBuffer});
        }
    }
    std::int64_t counted = -1;
    const JobReport count_report = RunCount(LineSource::File(path));
    EXPECT_TRUE(count_report.ok());
    counted = count_report.lines_read;
    EXPECT_EQ(counted, count) << "CountLines";
    for (const Blocks block : forward_blocks) {
        EXPECT_EQ(CountInBlocks(bytes, block), count)
            << "counted in blocks of " << block.first << " then " << block.rest;
    }

    // Backward: where the last n lines begin, for n around the ends of the
    // range, scanned in the same blocks.
    const std::int64_t picks[] = {
        1,
        count / 2,
        count - 1,
        count,
        count + 1,
        std::uniform_int_distribution<std::int64_t>(1, std::max<std::int64_t>(1, count))(rng)};
    for (const std::int64_t n : picks) {
        if (n < 1) continue;
        SCOPED_TRACE("last " + std::to_string(n) + " of " + std::to_string(count) + " lines");
        const std::size_t want = n >= count ? 0 : starts[static_cast<std::size_t>(count - n)];
        EXPECT_EQ(LastLinesStart(bytes, n), want);
        for (const Blocks block : backward_blocks) {
            EXPECT_EQ(LastLinesStartInBlocks(bytes, n, block), want)
                << "scanned in blocks of " << block.first << " then " << block.rest;
        }
    }
    const std::int64_t n = picks[5];
    const std::string out = dir.Path("out.txt");
    ASSERT_TRUE(RunTruncate(LineSource::File(path), Destination::File(out), {n}).ok());
    EXPECT_EQ(testing::ReadAll(out), WithCrLf(LastOf(list, n))) << "TruncateFile, last " << n;

    // The line store, from text and from the file.
    BarInputLines store;
    store.Assign(bytes);
    EXPECT_EQ(StoreLines(store), list) << "line store";
    BarInputLines loaded;
    Detection detection;
    ASSERT_TRUE(LoadBarInput(path, loaded, DateNames(EnglishRegionalNames()), detection).ok());
    EXPECT_EQ(StoreLines(loaded), list) << "bar input file";

    // Pasting: the lines, and an empty last piece after a final break.
    Lines pieces = list;
    if (bytes.empty() || bytes.back() == '\n' || bytes.back() == '\r') pieces.emplace_back();
    EXPECT_EQ(SplitPastedText(bytes), pieces) << "paste";
}

// ---- Inputs ----

// count lines of width bytes each (the last byte LF).
std::string Filler(std::size_t count, std::size_t width) {
    std::string bytes;
    for (std::size_t i = 0; i < count; ++i) {
        bytes += std::string(width - 1, static_cast<char>('a' + i % 26));
        bytes += '\n';
    }
    return bytes;
}

// Random bytes rich in the bytes the rules care about: runs of letters (some
// longer than the reader's buffer), LF, CR, CR LF, NUL and Ctrl-Z.
std::string RandomBytes(std::size_t target, std::mt19937_64& rng) {
    std::string bytes;
    std::uniform_int_distribution<int> pick(0, 99);
    while (bytes.size() < target) {
        const int p = pick(rng);
        if (p < 40) {
            bytes += std::string(std::uniform_int_distribution<std::size_t>(1, 40)(rng), 'x');
        } else if (p < 41) {
            bytes +=
                std::string(std::uniform_int_distribution<std::size_t>(1, 2 * kBuffer)(rng), 'L');
        } else if (p < 60) {
            bytes += '\n';
        } else if (p < 72) {
            bytes += "\r\n";
        } else if (p < 82) {
            bytes += '\r';
        } else if (p < 90) {
            bytes += '\0';
        } else if (p < 93) {
            bytes += CtrlZ;
        } else {
            bytes += static_cast<char>(std::uniform_int_distribution<int>(0, 255)(rng));
        }
    }
    return bytes;
}

TEST(LineRulesProperty, ReadersAgreeAroundEveryBufferBoundary) {
    // Each pattern is placed so that its first byte falls at offset shift
    // from a read boundary (1 or 2 buffers in), for every shift from -3 to 3;
    // the text before and after it is filler lines.
    struct Row {
        const char* name;
        std::string pattern;
    };
    const Row rows[] = {
        {"CR LF", "\r\n"},
        {"lone CR", "q\rq"},
        {"CR CR LF", "\r\r\n"},
        {"LF CR", "\n\r"},
        {"final CR", "\r"},
        {"Ctrl-Z", "\x1a"},
        {"Ctrl-Z after CR", "\r\x1a\n"},
        {"Ctrl-Z then LF", "\x1a\n"},
        {"NUL", std::string("\0", 1)},
        {"NUL CR LF", std::string("\0\r\n", 3)},
        {"LF", "\n"},
        {"break then NUL", std::string("\n\0\n", 3)},
    };
    std::mt19937_64 rng(20240607);
    for (const Row& row : rows) {
        for (const std::size_t boundary : {kBuffer, 2 * kBuffer}) {
            for (int shift = -3; shift <= 3; ++shift) {
                SCOPED_TRACE(std::string(row.name) + " at " + std::to_string(boundary) + " " +
                             std::to_string(shift));
                const std::size_t at = boundary + static_cast<std::size_t>(shift);
                std::string bytes = Filler(at / 1024, 1024);
                bytes += std::string(at - bytes.size(), 'p');
                bytes += row.pattern;
                // The input ends right after the pattern, and also goes on.
                CheckEveryReader(bytes, rng, at);
                CheckEveryReader(bytes + Filler(3, 10) + "end", rng, at);
            }
        }
    }
}

TEST(LineRulesProperty, ReadersAgreeOnRandomBytes) {
    const std::uint64_t seed = 0x5eed'0001;
    std::mt19937_64 rng(seed);
    constexpr int kCases = 60;
    for (int c = 0; c < kCases; ++c) {
        // Mostly small inputs, some over one or two buffers.
        const std::size_t limit = c % 4 == 0 ? 3 * kBuffer : 600;
        const std::size_t target = std::uniform_int_distribution<std::size_t>(0, limit)(rng);
        const std::string bytes = RandomBytes(target, rng);
        SCOPED_TRACE("seed " + std::to_string(seed) + ", case " + std::to_string(c));
        CheckEveryReader(bytes, rng);
        if (HasFailure()) break;  // one reported case is enough to reproduce
    }
}

// The readers' own boundaries for the smallest inputs: every text of up to
// four bytes drawn from the bytes that matter.
TEST(LineRulesProperty, ReadersAgreeOnEveryShortText) {
    const std::string alphabet = std::string("a\r\n\x1a", 4) + std::string(1, '\0');
    std::mt19937_64 rng(7);
    std::vector<std::string> texts = {""};
    for (std::size_t length = 1; length <= 4; ++length) {
        std::vector<std::string> longer;
        for (const std::string& text : texts) {
            if (text.size() != length - 1) continue;
            for (const char c : alphabet) longer.push_back(text + c);
        }
        texts.insert(texts.end(), longer.begin(), longer.end());
    }
    for (const std::string& text : texts) {
        CheckEveryReader(text, rng);
        if (HasFailure()) break;
    }
}

// Ctrl-Z ends the input wherever it falls, even as the first byte of a read.
TEST(LineReader, CtrlZOpeningAReadAddsNoLine) {
    struct Row {
        const char* name;
        std::string bytes;
        std::size_t want;
    };
    const Row rows[] = {
        {"right after the first buffer", Filler(4096, 16) + "\x1a" + "more\n", 4096},
        {"first byte", "\x1a", 0},
        {"first byte, more after", "\x1a" + Filler(3, 8), 0},
        {"after a line without its break", std::string(kBuffer, 'x') + "\x1a", 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        const Lines lines = ReadFileLines(dir.Write("in.txt", row.bytes), LineRules::Stream);
        EXPECT_EQ(lines.size(), row.want);
        EXPECT_EQ(lines, ModelStream(row.bytes));
    }
}

TEST(LineReader, CtrlZInALaterWriteOfAPipeAddsNoLine) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    LineReader reader;
    reader.Adopt(fds[0], "pipe", LineRules::Stream);
    std::string_view line;
    ASSERT_EQ(::write(fds[1], "a\n", 2), 2);
    ASSERT_TRUE(reader.Next(line));
    EXPECT_EQ(line, "a");
    // The next read of the reader begins with the Ctrl-Z.
    ASSERT_EQ(::write(fds[1],
                      "\x1a"
                      "b\n",
                      3),
              3);
    ::close(fds[1]);
    EXPECT_FALSE(reader.Next(line)) << "got a line \"" << line << "\"";
    EXPECT_TRUE(reader.status().ok());
}

}  // namespace
}  // namespace varn
