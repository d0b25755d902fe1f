#include "convert/truncated_julian.h"

#include <gtest/gtest.h>

namespace varn {
namespace {

TEST(ConvertTruncatedJulianLine, WritesDateTimeAndPrice) {
    struct Row {
        const char* line;
        const char* want;
    };
    const Row rows[] = {
        // Exact times come out exact, not one second early.
        {"52275.5 1.234", "1/1/2002 12:00:00  1.234"},
        {"53371.25 7", "1/1/2005 6:00:00  7"},
        {"52275,5 1.234", "1/1/2002 12:00:00  1.234"},  // decimal comma
        {"  52275.5   1.234 extra", "1/1/2002 12:00:00  1.234"},
        {"52275.5", "1/1/2002 12:00:00  "},
        {"52275.0 3", "1/1/2002 0:00:00  3"},
        {"52275.4999999 2", "1/1/2002 12:00:00  2"},
        // A moment a tiny bit before midnight rounds into the next date.
        {"52275.9999999 2", "1/2/2002 0:00:00  2"},
        {"52275.50001 2", "1/1/2002 12:00:01  2"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        // Appended after what is there already.
        std::string got = "kept|";
        ASSERT_TRUE(ConvertTruncatedJulianLine(row.line, got));
        EXPECT_EQ(got, std::string("kept|") + row.want);
    }
}

TEST(ConvertTruncatedJulianLine, SkipsLinesWithoutADay) {
    const char* rows[] = {"", "   ", "Date Price", "52275.5\t1.234", "1,2,3 4"};
    for (const char* line : rows) {
        SCOPED_TRACE(line);
        std::string got = "kept";
        EXPECT_FALSE(ConvertTruncatedJulianLine(line, got));
        EXPECT_EQ(got, "kept");
    }
}

}  // namespace
}  // namespace varn
