#include "io/block_reader.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "io/line_reader.h"
#include "io/ordered_pool.h"
#include "test_support.h"

namespace varn {
namespace {

using testing::TempDir;
using Lines = std::vector<std::string>;

Lines ByLineReader(const std::string& path, LineRules rules) {
    LineReader reader;
    EXPECT_TRUE(reader.Open(path, rules).ok());
    Lines lines;
    for (std::string_view line; reader.Next(line);) lines.emplace_back(line);
    return lines;
}

// The lines of the blocks, each block split alone; checks that every block
// but the last ends at a line end.
Lines ByBlocks(const std::string& path, LineRules rules, std::size_t block_size) {
    BlockReader reader;
    EXPECT_TRUE(reader.Open(LineSource::File(path), rules, block_size).ok());
    Lines lines;
    std::string block;
    std::string scratch;
    bool ended = true;
    while (reader.Next(block)) {
        EXPECT_TRUE(ended) << "a block before the last ends inside a line";
        EXPECT_FALSE(block.empty());
        ended = block.back() == '\n' || (rules == LineRules::List && block.back() == '\r');
        if (rules == LineRules::Stream) {
            ForEachStreamLine(block, scratch,
                              [&](std::string_view line) { lines.emplace_back(line); });
        } else {
            for (std::string& line : ListLines(block)) lines.push_back(std::move(line));
        }
    }
    EXPECT_TRUE(reader.status().ok());
    return lines;
}

TEST(BlockReader, CutsBlocksAtLineEndsOnly) {
    struct Row {
        const char* name;
        std::string bytes;
    };
    const Row rows[] = {
        {"empty", ""},
        {"CR LF line ends", "ab\r\ncd\r\nef\r\n"},
        {"lone CRs", "a\rb\rc\r"},
        {"CR CR LF", "a\r\r\nb\r\r\r\n"},
        {"a CR LF at every offset", "x\r\nxy\r\nxyz\r\nxyzw\r\nxyzwv\r\n"},
        {"Ctrl-Z",
         "ab\ncd\x1a"
         "ef\ngh\n"},
        {"Ctrl-Z after a CR", "ab\r\x1a\nc"},
        {"NUL", std::string("a\0b\nc\0\n", 7)},
        {"a long line", "a\n" + std::string(300, 'x') + "\r\nb"},
        {"empty lines", "\n\n\r\n\r\r\n\n"},
        {"no final line break", "abc\ndef"},
        {"only a CR", "\r"},
    };
    for (const Row& row : rows) {
        TempDir dir;
        const std::string path = dir.Write("in.txt", row.bytes);
        for (const LineRules rules : {LineRules::Stream, LineRules::List}) {
            const Lines want = ByLineReader(path, rules);
            for (const std::size_t block :
                 {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 4096, 0}) {
                SCOPED_TRACE(std::string(row.name) +
                             (rules == LineRules::Stream ? ", stream" : ", list") + ", block " +
                             std::to_string(block));
                EXPECT_EQ(ByBlocks(path, rules, block), want);
            }
        }
    }
}

TEST(BlockReader, TellsAFileThatDoesNotOpen) {
    TempDir dir;
    BlockReader reader;
    const JobStatus status =
        reader.Open(LineSource::File(dir.Path("missing.txt")), LineRules::Stream, 0);
    EXPECT_FALSE(status.ok());
    std::string block;
    EXPECT_FALSE(reader.Next(block));
}

TEST(NextListedRun, GathersLinesOfAboutABlock) {
    const std::vector<std::string> lines = {"abc", "", "defgh", "i", "jklmnopq"};
    const StringLines list(lines);
    struct Row {
        std::size_t block;
        std::vector<std::pair<std::size_t, std::size_t>> runs;
    };
    const Row rows[] = {
        {1, {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}}},
        {5, {{0, 2}, {2, 3}, {3, 5}}},
        {100, {{0, 5}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.block);
        std::size_t next = 0, first = 0, last = 0;
        std::vector<std::pair<std::size_t, std::size_t>> runs;
        while (NextListedRun(list, next, row.block, first, last)) runs.emplace_back(first, last);
        EXPECT_EQ(runs, row.runs);
    }
}

TEST(OrderedPool, TakesResultsInInputOrder) {
    for (const int threads : {1, 2, 7}) {
        SCOPED_TRACE(threads);
        std::atomic<int> worked{0};
        OrderedPool<int, long> pool(threads, [&worked](int& block, long& result) {
            // Some blocks take longer, so order comes from the pool.
            std::this_thread::sleep_for(std::chrono::microseconds(block % 7 == 0 ? 50 : 0));
            result = static_cast<long>(block) * block;
            ++worked;
        });
        // The pool serves more than one run.
        for (int run = 0; run < 2; ++run) {
            int next = 0;
            std::vector<long> taken;
            pool.Run([&next](int& block) { return next < 1000 ? (block = next++, true) : false; },
                     [&taken](int& block, long& result) {
                         EXPECT_EQ(result, static_cast<long>(block) * block);
                         taken.push_back(result);
                         return true;
                     });
            ASSERT_EQ(taken.size(), 1000U);
            for (std::size_t i = 0; i < taken.size(); ++i) {
                EXPECT_EQ(taken[i], static_cast<long>(i * i));
            }
        }
        EXPECT_EQ(worked.load(), 2000);
    }
}

TEST(OrderedPool, StopsTakingWhenAsked) {
    for (const int threads : {1, 2, 7}) {
        SCOPED_TRACE(threads);
        OrderedPool<int, int> pool(threads, [](int& block, int& result) { result = block; });
        int next = 0;
        int read = 0;
        std::vector<int> taken;
        pool.Run(
            [&](int& block) {
                ++read;
                block = next++;
                return true;  // an endless input
            },
            [&taken](int&, int& result) {
                taken.push_back(result);
                return taken.size() < 10;
            });
        EXPECT_EQ(taken, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
        // Reading ahead is bounded by the slots in flight.
        EXPECT_LE(read, 10 + static_cast<int>(OrderedPool<int, int>::kMaxSlots));
    }
}

TEST(OrderedPool, RaisesAWorkersFailureInTheCaller) {
    for (const int threads : {1, 2, 7}) {
        SCOPED_TRACE(threads);
        OrderedPool<int, int> pool(threads, [](int& block, int& result) {
            if (block == 5) throw std::runtime_error("out of room");
            result = block;
        });
        int next = 0;
        int taken = 0;
        EXPECT_THROW(
            pool.Run([&next](int& block) { return next < 100 ? (block = next++, true) : false; },
                     [&taken](int&, int&) { return ++taken > 0; }),
            std::runtime_error);
        EXPECT_EQ(taken, 5);
    }
}

}  // namespace
}  // namespace varn
