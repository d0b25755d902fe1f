#include "convert/reorder.h"

#include <gtest/gtest.h>

#include <string>

#include "calendar/parse_date.h"
#include "convert/daily_to_monthly.h"
#include "convert/dated_price.h"

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
        {"991231,2359,1,2,3,4,5,6", "12/31/1999  23:59  1  2  3  4  5  6"},
        {"991231,2359,1,2,3,4,5,6,7,8", "12/31/1999  23:59  1  2  3  4  5  6"},
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

TEST(ReorderIntradayLine, ReadsTwoDigitYearsAsTheBarReaderDoes) {
    // Every two-digit year: the year written is the year layout 0 (YYMMDD)
    // of the bar reader reads from the same date.
    for (int yy = 0; yy < 100; ++yy) {
        const std::string year = (yy < 10 ? "0" : "") + std::to_string(yy);
        SCOPED_TRACE(year);
        std::string out;
        ASSERT_TRUE(ReorderIntradayLine(year + "0615,1200,1", out));
        ParsedDate date;
        ShortText rest;
        ASSERT_TRUE(ParseDateText(year + "0615 1 2 0.5 1", DateLayout::YYMMDD,
                                  TimeLayout::NotIndicated, true, DateNames(), date, rest, 255));
        EXPECT_EQ(out.substr(6, 4), std::to_string(date.year));
    }
}

TEST(ConversionInput, TellsTheLinesEachConversionReads) {
    // Whether conversions 0, 2 and 3 read the line.
    struct Row {
        const char* line;
        bool date_price, month_day_year, number_first;
    };
    const Row rows[] = {
        {"1971,1,4,4.318", true, false, true},
        {",,1971,,1,4,4.318,", true, false, false},
        {"1971, 1, 4, -4,5", true, false, true},
        {"1971,13,45,abc", false, false, true},
        {"1971,12,0,1", false, false, true},
        {"1971,12,31,1e5", false, false, true},
        {"19711,12,31,1", false, false, true},
        {"this is line 1 of my notes,hello world", false, false, false},
        {"", false, false, false},
        {"01/30/2004 10", false, true, false},
        {"1/5/04,3", false, true, false},
        {"13/01/2004 1", false, false, false},
        {"01/32/2004 1", false, false, false},
        {"01/30/2004/5", false, false, false},
        {"//12/31/2003", false, false, false},
        {"4.318", false, false, true},
        {"  -1 x", false, false, true},
        {".", false, false, false},
        {"x 4.318", false, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        EXPECT_EQ(IsDatePriceLine(row.line), row.date_price);
        EXPECT_EQ(IsMonthDayYearLine(row.line), row.month_day_year);
        EXPECT_EQ(StartsWithNumber(row.line), row.number_first);
    }
}

}  // namespace
}  // namespace varn
