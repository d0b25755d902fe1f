#include "io/line_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace varn {
namespace {

using testing::TempDir;

std::vector<std::string> ReadLines(const std::string& bytes, LineRules rules) {
    TempDir dir;
    const std::string path = dir.Write("in.txt", bytes);
    LineReader reader;
    EXPECT_TRUE(reader.Open(path, rules).ok());
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.Next(line)) lines.emplace_back(line);
    EXPECT_TRUE(reader.status().ok());
    return lines;
}

using Lines = std::vector<std::string>;

TEST(LineReader, AppliesLineRulesOfEachKind) {
    struct Row {
        const char* name;
        std::string bytes;
        Lines stream;
        Lines list;
    };
    const Row rows[] = {
        {"empty", "", {}, {}},
        {"one line without break", "a", {"a"}, {"a"}},
        {"final LF adds no line", "a\nb\n", {"a", "b"}, {"a", "b"}},
        {"CR LF", "a\r\nb\r\n", {"a", "b"}, {"a", "b"}},
        {"lone CR", "a\rb\rc", {"abc"}, {"a", "b", "c"}},
        {"final lone CR", "a\rb\r", {"ab"}, {"a", "b"}},
        {"blank lines kept", "a\n\n\nb", {"a", "", "", "b"}, {"a", "", "", "b"}},
        {"mixed", "a\r\nb\nc\rd\r\n", {"a", "b", "cd"}, {"a", "b", "c", "d"}},
        {"CR CR LF", "a\r\r\nb", {"a", "b"}, {"a", "", "b"}},
        {"Ctrl-Z ends stream input",
         std::string("a\nb\x1a"
                     "c\nd\n"),
         {"a", "b"},
         {"a",
          "b\x1a"
          "c",
          "d"}},
        {"NUL is an ordinary byte",
         std::string("a\0b\nc", 5),
         {std::string("a\0b", 3), "c"},
         {std::string("a\0b", 3), "c"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ReadLines(row.bytes, LineRules::Stream), row.stream);
        EXPECT_EQ(ReadLines(row.bytes, LineRules::List), row.list);
    }
}

TEST(LineReader, ReadsLinesLongerThanItsBuffer) {
    // Lines that straddle the reader's refills, with CR LF split across one.
    constexpr std::size_t block = LineReader::kBufferSize;
    const std::string long_line(3 * block + 17, 'x');
    std::string bytes = long_line + "\r\nshort\n";
    bytes += std::string(block - 1 - (bytes.size() % block), 'y');  // CR ends a block
    bytes += "\r\nlast";
    for (LineRules rules : {LineRules::Stream, LineRules::List}) {
        const Lines lines = ReadLines(bytes, rules);
        ASSERT_EQ(lines.size(), 4U);
        EXPECT_EQ(lines[0], long_line);
        EXPECT_EQ(lines[1], "short");
        EXPECT_EQ(lines[2].find_first_not_of('y'), std::string::npos);
        EXPECT_EQ(lines[3], "last");
    }
}

TEST(LineReader, ReportsMissingFileByName) {
    TempDir dir;
    LineReader reader;
    const JobStatus status = reader.Open(dir.Path("missing.txt"), LineRules::Stream);
    ASSERT_FALSE(status.ok());
    EXPECT_NE(status.Message().find("missing.txt"), std::string::npos);
    EXPECT_NE(status.Message().find("No such file"), std::string::npos);
}

TEST(ReadLineList, ReplacesTheHeldLines) {
    TempDir dir;
    std::vector<std::string> lines = {"old"};
    ASSERT_TRUE(ReadLineList(dir.Write("in.txt", "1\r2\r\n3"), lines).ok());
    EXPECT_EQ(lines, (Lines{"1", "2", "3"}));
    EXPECT_FALSE(ReadLineList(dir.Path("none"), lines).ok());
    EXPECT_TRUE(lines.empty());
}

}  // namespace
}  // namespace varn
