#include "convert/conversions.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "convert/daily_to_monthly.h"
#include "test_support.h"

namespace varn {
namespace {

using testing::ReadAll;
using testing::TempDir;

// Runs a conversion from file to file.
JobStatus ConvertFile(const std::string& in, const std::string& out, int conversion) {
    return RunConversion(LineSource::File(in), Destination::File(out),
                         {static_cast<Conversion>(conversion)})
        .status;
}

std::string Convert(const std::string& input, int conversion) {
    TempDir dir;
    const std::string in = dir.Write("in.txt", input);
    const std::string out = dir.Path("out.txt");
    const JobStatus status = ConvertFile(in, out, conversion);
    EXPECT_TRUE(status.ok()) << status.Message();
    return ReadAll(out);
}

TEST(RunConversion, RunsEachConversionOverWholeFiles) {
    struct Row {
        const char* name;
        int conversion;
        std::string input;
        std::string want;
    };
    const Row rows[] = {
        {"empty input gives empty output", 0, "", ""},
        {"date price", 0, "1971,1,4,4.318\n1971,1,5,4.3117\r\n",
         "1/4/1971   4.318\r\n1/5/1971   4.3117\r\n"},
        {"lone CR dropped", 0, "1971,1,\r4,4.318", "1/4/1971   4.318\r\n"},
        {"Ctrl-Z ends the input", 0,
         "1971,1,4,4.318\n\x1a"
         "1971,1,5,1\n",
         "1/4/1971   4.318\r\n"},
        {"intraday skips header", 1, "\"Date\",\"Time\"\n060523,0930,1,2,3,4,5\n",
         "05/23/2006  09:30  1  2  3  4  5  \r\n"},
        {"monthly keeps the last month", 2,
         "01/30/2004 10\n01/31/2004 11\n02/27/2004 12\n02/28/2004 13\n",
         "01/31/2004 11\r\n02/28/2004 13\r\n"},
        {"monthly skips a header and a trailing blank line", 2,
         "Date,Price\n01/30/2004 10\n01/31/2004 11\n02/27/2004 12\n02/28/2004 13\n\n",
         "01/31/2004 11\r\n02/28/2004 13\r\n"},
        {"monthly: a line without a date does not split a month", 2,
         "01/30/2004 10\nnote\n01/31/2004 11\n02/27/2004 12\n",
         "01/31/2004 11\r\n02/27/2004 12\r\n"},
        {"one month gives its last line", 2, "1/15/2004 1\n01/16/2004 2\n", "01/16/2004 2\r\n"},
        {"change of year", 2, "12/31/2003 1\n01/02/2004 2\n", "12/31/2003 1\r\n01/02/2004 2\r\n"},
        {"dated prices: a skipped line keeps its date", 3, "4.318\n\nx\n4.3117,1\n",
         "01.01.1000   4.318\r\n01.04.1000   4.3117,1\r\n"},
        {"date price skips prose and impossible dates", 0,
         "this is line 1 of my notes,hello world\n1971,13,45,abc\n1971,12,31,1\n",
         "12/31/1971   1\r\n"},
        {"truncated Julian", 4, "52275.5 1.234\n\nDate Price\n53371.25 7\n",
         "1/1/2002 12:00:00  1.234\r\n1/1/2005 6:00:00  7\r\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(Convert(row.input, row.conversion), row.want);
    }
}

TEST(RunConversion, DatesFollowTheJulianCalendarThroughTheReform) {
    // Line 60 is the Julian leap day of the year 1000; the reform skips ten days.
    std::string input;
    const int lines = 213'000;
    for (int i = 0; i < lines; ++i) input += "1\n";
    const std::string out = Convert(input, 3);
    EXPECT_NE(out.find("02.28.1000   1\r\n02.29.1000   1\r\n03.01.1000   1\r\n"),
              std::string::npos);
    EXPECT_NE(out.find("10.04.1582   1\r\n10.15.1582   1\r\n"), std::string::npos);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), lines);
}

TEST(RunConversion, MayWriteOverItsOwnInput) {
    TempDir dir;
    const std::string path = dir.Write("prices.txt", "1971,1,4,4.318\n");
    ASSERT_TRUE(ConvertFile(path, path, 0).ok());
    EXPECT_EQ(ReadAll(path), "1/4/1971   4.318\r\n");
    EXPECT_EQ(dir.Listing(), "prices.txt ");
}

TEST(RunConversion, FailureLeavesExistingOutputUntouched) {
    TempDir dir;
    const std::string out = dir.Write("out.txt", "precious");
    const JobStatus missing = ConvertFile(dir.Path("missing.txt"), out, 0);
    ASSERT_FALSE(missing.ok());
    EXPECT_NE(missing.Message().find("missing.txt"), std::string::npos);
    EXPECT_EQ(ReadAll(out), "precious");

    const std::string in = dir.Write("in.txt", "1971,1,4,4.318\n");
    const JobStatus unwritable = ConvertFile(in, dir.Path("no/such/out.txt"), 0);
    ASSERT_FALSE(unwritable.ok());
    EXPECT_NE(unwritable.Message().find("no/such/out.txt"), std::string::npos);
    EXPECT_EQ(dir.Listing(), "in.txt out.txt ");
}

TEST(ConversionExample, ShowsLinesOfTheFirstTwoOnly) {
    EXPECT_EQ(ConversionExample(Conversion::DatePrice).size(), 4U);
    EXPECT_EQ(ConversionExample(Conversion::DatePrice)[3], "1971,1,7,4.3103");
    ASSERT_EQ(ConversionExample(Conversion::Intraday).size(), 5U);
    EXPECT_EQ(ConversionExample(Conversion::Intraday)[0],
              R"("Date","Time","Open","High","Low","Close","Volume")");
    for (int n : {2, 3, 4}) EXPECT_TRUE(ConversionExample(*ConversionOf(n)).empty()) << n;
    EXPECT_FALSE(ConversionOf(-1).has_value());
    EXPECT_FALSE(ConversionOf(5).has_value());
}

TEST(MonthKey, ReadsTheTextBeforeTheFirstSlash) {
    struct Row {
        const char* line;
        std::int32_t want;
    };
    const Row rows[] = {{"01/30/2004 10", 1}, {"1/30/2004", 1}, {"//12/31/2003", 12},
                        {"Date,Price", -1},   {"", -1},         {"a1/2/3", -1},
                        {"x1/2/3", 1}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        EXPECT_EQ(MonthKey(row.line), row.want);
    }
}

}  // namespace
}  // namespace varn

namespace varn {
namespace {

TEST(RunConversion, ReportsTheLinesItSkips) {
    struct Row {
        const char* name;
        Conversion conversion;
        std::string input;
        std::int64_t read, used, written;
        std::vector<SkippedLine> skipped;
    };
    const Row rows[] = {
        {"conversion 0 skips a word",
         Conversion::DatePrice,
         "1971,1,4,4.318\nx\n",
         2,
         1,
         1,
         {{2, "not a YYYY,MM,DD,PRICE line"}}},
        {"conversion 1 skips the header",
         Conversion::Intraday,
         "\"Date\",\"Time\"\n060523,0930,1,2,3,4,5\n0605,0930,1\n",
         3,
         1,
         1,
         {{1, "not a YYMMDD,HHMM line"}, {3, "not a YYMMDD,HHMM line"}}},
        {"conversion 2 uses every line, writes one a month",
         Conversion::DailyToMonthly,
         "01/30/2004 10\n01/31/2004 11\n02/27/2004 12\n",
         3,
         3,
         2,
         {}},
        {"conversion 2 skips a header",
         Conversion::DailyToMonthly,
         "Date Price\n01/30/2004 10\n",
         2,
         1,
         1,
         {{1, "no MM/DD/YYYY date"}}},
        {"conversion 3 skips a blank line",
         Conversion::PriceToDatedPrice,
         "4.318\n\n",
         2,
         1,
         1,
         {{2, "does not start with a number"}}},
        {"conversion 4 skips a blank line",
         Conversion::TruncatedJulian,
         "52275.5 1.234\n   \n",
         2,
         1,
         1,
         {{2, "no truncated Julian day"}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        const JobReport report =
            RunConversion(LineSource::File(dir.Write("in.txt", row.input)),
                          Destination::File(dir.Path("out.txt")), {row.conversion});
        ASSERT_TRUE(report.ok()) << report.status.Message();
        EXPECT_EQ(report.lines_read, row.read);
        EXPECT_EQ(report.lines_used, row.used);
        EXPECT_EQ(report.lines_skipped, static_cast<std::int64_t>(row.skipped.size()));
        EXPECT_EQ(report.first_skipped, row.skipped);
        EXPECT_EQ(report.lines_written, row.written);
        EXPECT_FALSE(report.stopped);
    }
}

TEST(RunConversion, AStopLeavesTheDestinationAsItWas) {
    TempDir dir;
    const std::string out = dir.Write("out.txt", "precious");
    std::string input;
    for (int i = 0; i < 1000; ++i) input += "1971,1,4,4.318\n";
    int asked = 0;
    JobCallbacks callbacks;
    callbacks.stop_requested = [&asked] { return ++asked > 500; };
    const JobReport report =
        RunConversion(LineSource::File(dir.Write("in.txt", input)), Destination::File(out),
                      {Conversion::DatePrice}, callbacks);
    EXPECT_TRUE(report.ok());
    EXPECT_TRUE(report.stopped);
    EXPECT_EQ(report.lines_read, 500);
    EXPECT_EQ(ReadAll(out), "precious");
    EXPECT_EQ(dir.Listing(), "in.txt out.txt ");
}

}  // namespace
}  // namespace varn
