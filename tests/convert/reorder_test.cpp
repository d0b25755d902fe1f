#include "convert/reorder.h"

#include <gtest/gtest.h>

namespace varn {
namespace {

TEST(ReorderDatePriceLine, CopiesFieldsAsTheyStand) {
    struct Row {
        const char* line;
        const char* want;
    };
    const Row rows[] = {
        {"1971,1,7,4.3103", "1/7/1971   4.3103"},
        {"2001,12,31,10", "12/31/2001   10"},
        {"a,b", "b//a   "},
        {"", "//   "},
        {",,1971,,1,4,4.318,", "1/4/1971   4.318"},  // a run of commas is one separator
        {"Date,Price", "Price//Date   "},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        EXPECT_EQ(ReorderDatePriceLine(row.line), row.want);
    }
}

TEST(ReorderIntradayLine, ReordersDateAndTime) {
    struct Row {
        const char* line;
        const char* want;
    };
    const Row rows[] = {
        {"060523,0930,1271.750000,1273.500000,1271.000000,1273.250000,37235",
         "05/23/2006  09:30  1271.750000  1273.500000  1271.000000  1273.250000  37235  "},
        {"991231,2359,1,2,3,4,5,6", "12/31/2099  23:59  1  2  3  4  5  6"},
        {"991231,2359,1,2,3,4,5,6,7,8", "12/31/2099  23:59  1  2  3  4  5  6"},
        {"060523,0930,1,,2,3,4", "05/23/2006  09:30  1  2  3  4    "},
        {"060523,0930", "05/23/2006  09:30            "},
        // trailing blanks are removed before the integer is read, not before
        // the length is tested
        {"06052 ,0930,1,2,3,4,5", "05/2 /2006  09:30  1  2  3  4  5  "},
        {"060523,093 ,1,2,3,4,5", "05/23/2006  09:3   1  2  3  4  5  "},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        std::string out;
        ASSERT_TRUE(ReorderIntradayLine(row.line, out));
        EXPECT_EQ(out, row.want);
    }
}

TEST(ReorderIntradayLine, SkipsLinesThatFailATest) {
    const char* rows[] = {
        R"("Date","Time","Open","High","Low","Close","Volume")",
        "60523,0930,1,2,3,4,5",    // date of 5 characters
        "060523,930,1,2,3,4,5",    // time of 3 characters
        "-10000,0930,1,2,3,4,5",   // the value that means no integer
        "060523,09:30,1,2,3,4,5",  // time not an integer
        "06052a,0930,1,2,3,4,5",
        "0605 ,0930,1,2,3,4,5",  // five characters with the blank
        "",
    };
    for (const char* line : rows) {
        SCOPED_TRACE(line);
        std::string out;
        EXPECT_FALSE(ReorderIntradayLine(line, out));
    }
}

}  // namespace
}  // namespace varn
