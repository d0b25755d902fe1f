// Lines written with CR LF or LF alone, by every way a job writes them.
#include "io/line_output.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "test_support.h"

namespace varn {
namespace {

using testing::ReadAll;
using testing::TempDir;

TEST(LineOutput, EndsLinesAsAsked) {
    const std::string long_line(100000, 'x');  // more than the writer's buffer
    struct Row {
        const char* name;
        LineEnd end;
        std::string want;
    };
    const Row rows[] = {
        {"CR LF", LineEnd::CrLf, "a\r\nb c\r\nd\r\ne\r\n" + long_line + "\r\nf g\r\n"},
        {"LF", LineEnd::Lf, "a\nb c\nd\ne\n" + long_line + "\nf g\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        LineOutput out;
        ASSERT_TRUE(out.Open(Destination::File(dir.Path("out.txt"))).ok());
        out.SetLineEnd(row.end);
        out.WriteLine("a");
        const std::string_view parts[] = {"b", " ", "c"};
        out.WriteLineParts(parts);
        out.WriteEndedLines("d\r\ne\r\n", 2);
        out.WriteLine(long_line);
        const std::string_view long_parts[] = {"f", std::string_view(" g")};
        out.WriteLineParts(long_parts);
        ASSERT_TRUE(out.Commit().ok());
        EXPECT_EQ(out.lines_written(), 6);
        EXPECT_EQ(ReadAll(dir.Path("out.txt")), row.want);
    }
}

}  // namespace
}  // namespace varn
