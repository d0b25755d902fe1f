#include "truncate/truncate.h"

#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <fstream>
#include <iterator>
#include <thread>

#include "io/line_rules.h"
#include "test_support.h"

namespace varn {
namespace {

using testing::ReadAll;
using testing::TempDir;

// The window's job: the last n of the lines held, to path.
JobStatus WriteLastLines(const TruncLines& lines, std::int64_t n, const std::string& path) {
    const StringLines held(lines);
    return RunTruncate(LineSource::Lines(held, "held"), Destination::File(path), {n}).status;
}

// The command line's job: the last n lines of the file in, to out.
JobStatus TruncateFile(const std::string& in, std::int64_t n, const std::string& out) {
    return RunTruncate(LineSource::File(in), Destination::File(out), {n}).status;
}

JobStatus CountLines(const std::string& path, std::int64_t& count) {
    const JobReport report = RunCount(LineSource::File(path));
    count = report.lines_read;
    return report.status;
}

// "1\r\n2\r\n...n\r\n"
std::string Numbered(int from, int to, const char* end = "\r\n") {
    std::string text;
    for (int i = from; i <= to; ++i) text += std::to_string(i) + end;
    return text;
}

TEST(WriteLastLines, WritesTheLastNLines) {
    struct Row {
        const char* name;
        int count;
        std::int32_t n;
        int first_kept;  // counted from 1
    };
    const Row rows[] = {
        {"100 lines, last 10", 100, 10, 91}, {"fewer lines than N", 5, 10, 1},
        {"exactly N lines", 10, 10, 1},      {"N + 1 lines lose the first", 11, 10, 2},
        {"last line only", 7, 1, 7},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        TruncLines lines;
        ASSERT_TRUE(LoadTruncFile(dir.Write("in.txt", Numbered(1, row.count, "\n")), lines).ok());
        ASSERT_EQ(static_cast<int>(lines.size()), row.count);
        ASSERT_TRUE(WriteLastLines(lines, row.n, dir.Path("out.txt")).ok());
        EXPECT_EQ(ReadAll(dir.Path("out.txt")), Numbered(row.first_kept, row.count));
        // The held lines are only read: a second run with another N works too.
        ASSERT_TRUE(WriteLastLines(lines, 2, dir.Path("out2.txt")).ok());
        EXPECT_EQ(ReadAll(dir.Path("out2.txt")), Numbered(std::max(1, row.count - 1), row.count));
    }
}

TEST(WriteLastLines, ReplacesTheOpenedFileItself) {
    TempDir dir;
    const std::string path = dir.Write("in.txt", Numbered(1, 20, "\r"));
    TruncLines lines;
    ASSERT_TRUE(LoadTruncFile(path, lines).ok());
    ASSERT_TRUE(WriteLastLines(lines, 3, path).ok());
    EXPECT_EQ(ReadAll(path), Numbered(18, 20));
}

TEST(WriteLastLines, UnwritableDestinationWritesNothing) {
    TempDir dir;
    TruncLines lines = {"a"};
    const JobStatus status = WriteLastLines(lines, 1, dir.Path("no/out.txt"));
    ASSERT_FALSE(status.ok());
    EXPECT_NE(status.Message().find("no/out.txt"), std::string::npos);
}

TEST(LoadTruncFile, EmptiesTheLinesWhenTheFileCannotBeRead) {
    TempDir dir;
    TruncLines lines = {"old"};
    EXPECT_FALSE(LoadTruncFile(dir.Path("missing.txt"), lines).ok());
    EXPECT_TRUE(lines.empty());
}

TEST(CountLines, CountsEveryKindOfLineBreak) {
    struct Row {
        const char* name;
        std::string bytes;
        std::int64_t want;
    };
    const Row rows[] = {
        {"empty", "", 0},
        {"no final break", "a\nb", 2},
        {"final LF", "a\nb\n", 2},
        {"CR LF", "a\r\nb\r\n", 2},
        {"lone CR", "a\rb\rc", 3},
        {"blank lines", "\n\n\n", 3},
        {"CR then LF as two breaks", "a\n\rb", 3},
        {"NUL is ordinary", std::string("a\0b\nc", 5), 2},
        {"CR LF across a 1 MiB block", std::string((1 << 20) - 1, 'x') + "\r\n" + "y", 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        std::int64_t count = -1;
        ASSERT_TRUE(CountLines(dir.Write("in.txt", row.bytes), count).ok());
        EXPECT_EQ(count, row.want);
        TruncLines lines;
        ASSERT_TRUE(LoadTruncFile(dir.Path("in.txt"), lines).ok());
        EXPECT_EQ(static_cast<std::int64_t>(lines.size()), row.want) << "the line list agrees";
    }
}

TEST(TruncateFile, ReadsTheEndOfARegularFile) {
    struct Row {
        const char* name;
        std::string bytes;
        std::int64_t n;
        std::string want;
    };
    const Row rows[] = {
        {"empty", "", 10, ""},
        {"last two of LF lines", "a\nb\nc\n", 2, "b\r\nc\r\n"},
        {"no final break", "a\nb\nc", 2, "b\r\nc\r\n"},
        {"CR LF lines", "a\r\nb\r\nc\r\n", 1, "c\r\n"},
        {"lone CR lines", "a\rb\rc\r", 2, "b\r\nc\r\n"},
        {"CR LF counted once", "a\r\n\r\nb", 2, "\r\nb\r\n"},
        {"blank last lines", "a\n\n\n", 2, "\r\n\r\n"},
        {"more asked than held", "a\nb", 5, "a\r\nb\r\n"},
        {"long file", Numbered(1, 300000, "\n"), 3, Numbered(299998, 300000)},
        {"a UTF-8 mark is no part of the first line",
         "\xef\xbb\xbf"
         "a\nb\n",
         5, "a\r\nb\r\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        const std::string in = dir.Write("in.txt", row.bytes);
        ASSERT_TRUE(TruncateFile(in, row.n, dir.Path("out.txt")).ok());
        EXPECT_EQ(ReadAll(dir.Path("out.txt")), row.want);
        // In place, and the same as the held-lines job gives.
        ASSERT_TRUE(TruncateFile(in, row.n, in).ok());
        EXPECT_EQ(ReadAll(in), row.want);
    }
}

// The lines of a file read forward, as the system gives them.
std::vector<std::string> ForwardLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return ListLines(text);
}

TEST(TruncateFile, ReadsForwardAFileWhoseSizeIsNotItsOwn) {
    // Files of /proc have the size 0, those of /sys 4096, whatever they hold.
    struct Row {
        const char* path;
        std::int64_t n;
    };
    const Row rows[] = {{"/proc/filesystems", 2},
                        {"/proc/self/limits", 3},
                        {"/sys/kernel/mm/transparent_hugepage/enabled", 1},
                        {"/sys/devices/system/cpu/online", 2}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        const std::vector<std::string> lines = ForwardLines(row.path);
        if (lines.empty()) continue;  // not on this system
        TempDir dir;
        const std::string out = dir.Path("out.txt");
        const JobStatus status = TruncateFile(row.path, row.n, out);
        ASSERT_TRUE(status.ok()) << status.Message();
        std::string want;
        for (std::size_t i = lines.size() - std::min<std::size_t>(lines.size(), row.n);
             i < lines.size(); ++i) {
            want += lines[i] + "\r\n";
        }
        EXPECT_EQ(ReadAll(out), want);
    }
}

TEST(TruncateFile, AFileThatShrinksMeanwhileIsNoReadError) {
    // The file is cut down as soon as the job has read from it: the job,
    // reading backwards from the end it was told, finds the file ending
    // sooner and reads it again forward (or, if the cut comes later, stops
    // where the file now ends).
    TempDir dir;
    const std::string in = dir.Write("in.txt", Numbered(1, 2000000, "\n"));
    const int watch = ::inotify_init1(IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, in.c_str(), IN_ACCESS), 0);
    std::thread cutter([&] {
        alignas(inotify_event) char event[sizeof(inotify_event) + NAME_MAX + 1];
        if (::read(watch, event, sizeof event) > 0) ::truncate(in.c_str(), 6);  // "1\n2\n3\n"
    });
    const std::string out = dir.Path("out.txt");
    const JobStatus status = TruncateFile(in, 5000000, out);
    cutter.join();
    ::close(watch);
    ASSERT_TRUE(status.ok()) << status.Message();
    // Lines 1 to k, the last perhaps cut short.
    const std::vector<std::string> got = ListLines(ReadAll(out));
    ASSERT_FALSE(got.empty());
    for (std::size_t i = 0; i < got.size(); ++i) {
        const std::string line = std::to_string(i + 1);
        EXPECT_TRUE(i + 1 < got.size() ? got[i] == line : line.starts_with(got[i])) << i;
    }
}

TEST(TruncateFile, FailureLeavesTheDestination) {
    TempDir dir;
    const std::string out = dir.Write("out.txt", "precious");
    EXPECT_FALSE(TruncateFile(dir.Path("missing"), 1, out).ok());
    EXPECT_EQ(ReadAll(out), "precious");
    EXPECT_EQ(dir.Listing(), "out.txt ");
}

TEST(TruncateFile, KeepsNoLineForACountBelowOne) {
    // The last 0 lines are none, from a regular file and from a pipe alike
    // (a pipe once dropped a line from an empty queue here).
    struct Row {
        const char* name;
        bool pipe;
        std::int64_t n;
    };
    const Row rows[] = {{"file, 0", false, 0},
                        {"file, -3", false, -3},
                        {"pipe, 0", true, 0},
                        {"pipe, -3", true, -3}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        const std::string out = dir.Path("out.txt");
        if (!row.pipe) {
            ASSERT_TRUE(TruncateFile(dir.Write("in.txt", "a\nb\n"), row.n, out).ok());
        } else {
            const std::string fifo = dir.Path("fifo");
            ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
            std::thread writer([&fifo] { std::ofstream(fifo, std::ios::binary) << "a\nb\n"; });
            const JobStatus status = TruncateFile(fifo, row.n, out);
            writer.join();
            ASSERT_TRUE(status.ok());
        }
        EXPECT_EQ(ReadAll(out), "");
    }
}

}  // namespace
}  // namespace varn
