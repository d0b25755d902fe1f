#include "calendar/date_layouts.h"

#include <gtest/gtest.h>

#include <string>

namespace varn {
namespace {

TEST(DateLayoutItem, FillsThePlaceholderWithNothing) {
    struct Row {
        int number;
        const char* want;
    };
    const Row rows[] = {
        {0, "YYMMDD  OHLC Vol O.I."},          {1, "MM/DD/YY   OHLC Vol O.I."},
        {4, "DD.MM.YY   OHLC Vol O.I."},       {9, "DD January, YYYY  OHLC Vol O.I."},
        {14, "YYYYMMDD    OHLC Vol O.I."},     {15, "M / D/YYYY  OHLC Vol O.I."},
        {18, "January , YYYY  OHLC Vol O.I."}, {19, "YYYY OHLC Vol O.I."},
        {21, "MM,YYYY OHLC Vol O.I."},         {22, "Unix seconds  OHLC Vol O.I."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.number);
        EXPECT_EQ(DateLayoutItem(row.number), row.want);
    }
}

TEST(DateLayoutItem, KeepsTheBlanksBeforeThePriceFields) {
    ASSERT_EQ(DateLayoutCount, 24);
    for (int n = 0; n < DateLayoutCount; ++n) {
        SCOPED_TRACE(n);
        const std::string item = DateLayoutItem(n);
        EXPECT_EQ(item.find('%'), std::string::npos);
        const std::size_t tail = item.find("OHLC Vol O.I.");
        ASSERT_NE(tail, std::string::npos);
        EXPECT_EQ(tail + 13, item.size());
        std::size_t blanks = 0;
        while (blanks < tail && item[tail - 1 - blanks] == ' ') ++blanks;
        const std::size_t want = n == 14                ? 4
                                 : (n >= 1 && n <= 4)   ? 3
                                 : (n >= 19 && n <= 21) ? 1
                                                        : 2;
        EXPECT_EQ(blanks, want);
        // The stored text is the item with "%s" right behind the date part.
        EXPECT_EQ(std::string(DateLayoutTable[static_cast<std::size_t>(n)]),
                  item.substr(0, tail - blanks) + "%s" + item.substr(tail - blanks));
        EXPECT_LE(DateLayoutTable[static_cast<std::size_t>(n)].size(), 63U);
    }
}

TEST(DateLayoutItem, IsEmptyOutsideTheTable) {
    EXPECT_EQ(DateLayoutItem(-1), "");
    EXPECT_EQ(DateLayoutItem(24), "");
}

TEST(TimeLayoutItems, ListsTheNineTimeLayouts) {
    ASSERT_EQ(TimeLayoutCount, 9);
    EXPECT_EQ(TimeLayoutItems[0], "Not Indicated");
    EXPECT_EQ(TimeLayoutItems[1], "DATE;21:45:15");
    EXPECT_EQ(TimeLayoutItems[3], "DATE  21:45:15");
    EXPECT_EQ(TimeLayoutItems[5], "DATE  2145");
    EXPECT_EQ(TimeLayoutItems[7], "DATE;214515");
    EXPECT_EQ(TimeLayoutItems[8], "DATET21:45:15");
}

}  // namespace
}  // namespace varn
