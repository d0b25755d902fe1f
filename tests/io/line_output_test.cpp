// Lines written with CR LF or LF alone, by every way a job writes them.
#include "io/line_output.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace varn {
namespace {

TEST(LineOutput, EndsLinesAsAsked) {
    const std::string long_line(100000, 'x');  // more than the writer's buffer
    for (const auto& [end, eol] : {std::pair{LineEnd::CrLf, "\r\n"}, {LineEnd::Lf, "\n"}}) {
        SCOPED_TRACE(eol[0] == '\r' ? "CR LF" : "LF");
        testing::TempDir dir;
        LineOutput out;
        ASSERT_TRUE(out.Open(Destination::File(dir.Path("out.txt"))).ok());
        out.SetLineEnd(end);
        out.WriteLine("a");
        const std::string_view parts[] = {"b", " ", "c"};
        out.WriteLineParts(parts);
        out.WriteEndedLines("d\r\ne\r\n", 2);
        out.WriteLine(long_line);
        ASSERT_TRUE(out.Commit().ok());
        EXPECT_EQ(out.lines_written(), 5);
        const std::string e = eol;
        EXPECT_EQ(testing::ReadAll(dir.Path("out.txt")),
                  "a" + e + "b c" + e + "d" + e + "e" + e + long_line + e);
    }
}

}  // namespace
}  // namespace varn
