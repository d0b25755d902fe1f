// Conversions 0, 1, 3 and 4 on a pool of threads and in blocks of any size give
// the output and report of converting the lines one by one.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

#include "calendar/calendar.h"
#include "convert/conversions.h"
#include "convert/dated_price.h"
#include "convert/reorder.h"
#include "convert/truncated_julian.h"
#include "io/line_reader.h"
#include "test_support.h"

namespace varn {
namespace {

using testing::PipedStandardInput;
using testing::ReadAll;
using testing::TempDir;

// What converting the lines of input one by one gives: the output file's
// bytes and the report's counts.
struct Expected {
    std::string out;
    std::int64_t read = 0;
    std::int64_t used = 0;
    std::int64_t skipped = 0;
    std::vector<SkippedLine> first_skipped;
};

// One line converted the plain way; false when the conversion skips it.
// moment is conversion 3's date, one day on for each line.
bool ConvertAlone(Conversion conversion, std::string_view line, double& moment, std::string& out) {
    out.clear();
    if (conversion == Conversion::PriceToDatedPrice) {
        ShortText date;
        DatedPriceDate(moment, date);
        moment += OneDayInCenturies;
        out.append(date).append(DatedPriceGap).append(line);
        return StartsWithNumber(line);
    }
    if (conversion == Conversion::DatePrice) {
        ReorderDatePriceLine(line, out);
        return IsDatePriceLine(line);
    }
    if (conversion == Conversion::Intraday) return ReorderIntradayLine(line, out);
    return ConvertTruncatedJulianLine(line, out);
}

Expected OneByOne(const std::string& path, Conversion conversion) {
    Expected want;
    LineReader reader;
    EXPECT_TRUE(reader.Open(path, LineRules::Stream).ok());
    const std::string_view reason = conversion == Conversion::DatePrice ? NotADatePriceLine
                                    : conversion == Conversion::PriceToDatedPrice ? NoNumberFirst
                                    : conversion == Conversion::Intraday ? NotAnIntradayLine
                                                                         : NoTruncatedJulianDay;
    std::string converted;
    double moment = FirstDatedPriceMoment();
    for (std::string_view line; reader.Next(line);) {
        ++want.read;
        if (ConvertAlone(conversion, line, moment, converted)) {
            ++want.used;
            want.out += converted + "\r\n";
        } else {
            ++want.skipped;
            if (want.first_skipped.size() < JobReport::KeptSkips) {
                want.first_skipped.push_back({want.read, std::string(reason)});
            }
        }
    }
    return want;
}

void ExpectReport(const JobReport& report, const Expected& want) {
    EXPECT_TRUE(report.ok()) << report.status.Message();
    EXPECT_FALSE(report.stopped);
    EXPECT_EQ(report.lines_read, want.read);
    EXPECT_EQ(report.lines_used, want.used);
    EXPECT_EQ(report.lines_skipped, want.skipped);
    EXPECT_EQ(report.first_skipped, want.first_skipped);
    EXPECT_EQ(report.lines_written, want.used);
}

std::string LongLine(Conversion conversion) {
    const std::string digits(5000, '7');
    if (conversion == Conversion::DatePrice) return "1971,1,4," + digits;
    if (conversion == Conversion::Intraday) return "060523,0930," + digits + ",2,3,4,5";
    return "52275.5 " + digits;
}

// Inputs that put line ends at awkward places for small blocks.
struct Input {
    const char* name;
    std::string text;
};

std::vector<Input> Inputs(Conversion conversion) {
    std::string good;
    std::string bad;
    if (conversion == Conversion::DatePrice) {
        good = "1971,1,4,4.318";
        bad = "x";
    } else if (conversion == Conversion::PriceToDatedPrice) {
        good = "4.318";
        bad = "x";
    } else if (conversion == Conversion::Intraday) {
        good = "060523,0930,1271.75,1273.5,1271,1273.25,37235";
        bad = "\"Date\",\"Time\",\"Open\"";
    } else {
        good = "52275.5 1.234";
        bad = "Date Price";
    }
    std::string many;
    for (int i = 0; i < 40; ++i) many += (i % 7 == 3 ? bad : good) + (i % 2 ? "\r\n" : "\n");
    return {
        {"CR LF line ends", good + "\r\n" + bad + "\r\n" + good + "\r\n"},
        {"lone CRs inside lines", good + "\r\n" + "\r" + good + "\r\r\n" + good + "\r"},
        {"Ctrl-Z ends the input", good + "\n" + good + "\x1a" + good + "\n" + good + "\n"},
        {"Ctrl-Z opens a line", good + "\n\x1a" + good + "\n"},
        {"NUL in a line", good + "\n" + std::string("5\0x", 3) + "\n" + good + "\n"},
        {"a line longer than any block", good + "\n" + LongLine(conversion) + "\n" + good},
        {"empty lines", "\n\n" + good + "\n\r\n\n" + good + "\n\n"},
        {"no final line break", good + "\n" + bad + "\n" + good},
        {"skipped lines among many", many + bad},
        {"nothing", ""},
    };
}

TEST(ConvertInBlocks, GivesTheOutputOfOneLineAtATime) {
    const std::vector<std::size_t> block_sizes = {1,  2,  3,  4,  5,  6,  7,  8,    9, 10,
                                                  11, 12, 13, 14, 15, 16, 17, 4096, 0};
    for (const Conversion conversion :
         {Conversion::DatePrice, Conversion::Intraday, Conversion::PriceToDatedPrice,
          Conversion::TruncatedJulian}) {
        for (const Input& input : Inputs(conversion)) {
            SCOPED_TRACE(std::string("conversion ") + std::to_string(Number(conversion)) + ", " +
                         input.name);
            TempDir dir;
            const std::string in = dir.Write("in.txt", input.text);
            const Expected want = OneByOne(in, conversion);
            if (std::string(input.name) == "skipped lines among many") {
                ASSERT_GT(want.read, 30);
                if (conversion == Conversion::Intraday ||
                    conversion == Conversion::TruncatedJulian) {
                    ASSERT_GT(want.skipped, 5);
                }
            }
            for (const int threads : {1, 2, 7}) {
                for (const std::size_t block : block_sizes) {
                    SCOPED_TRACE("threads " + std::to_string(threads) + ", block " +
                                 std::to_string(block));
                    ConversionChoices choices{conversion, threads, block};
                    const std::string out = dir.Path("out.txt");
                    const JobReport report =
                        RunConversion(LineSource::File(in), Destination::File(out), choices);
                    if (want.read > 0 && want.used == 0) {
                        EXPECT_TRUE(report.used_no_line());
                        continue;
                    }
                    ExpectReport(report, want);
                    EXPECT_EQ(ReadAll(out), want.out);
                }
            }
        }
    }
}

TEST(ConvertInBlocks, ReadsLinesInMemoryAsTheyStand) {
    // Lines in memory are split already: a CR in one is kept, and so the line
    // does not read.
    const std::vector<std::string> lines = {"1971,1,4,4.318", "1971,1,\r5,1", "", "1972,2,2,2"};
    const std::vector<std::string> want = {"1/4/1971   4.318", "2/2/1972   2"};
    for (const int threads : {1, 2, 7}) {
        for (const std::size_t block : {std::size_t{1}, std::size_t{5}, std::size_t{0}}) {
            SCOPED_TRACE("threads " + std::to_string(threads) + ", block " + std::to_string(block));
            std::vector<std::string> got;
            const StringLines source(lines);
            const JobReport report =
                RunConversion(LineSource::Lines(source, "lines"), Destination::Lines(got),
                              {Conversion::DatePrice, threads, block});
            EXPECT_TRUE(report.ok());
            EXPECT_EQ(report.lines_read, 4);
            EXPECT_EQ(report.lines_skipped, 2);
            EXPECT_EQ(report.lines_written, 2);
            EXPECT_EQ(got, want);
        }
    }
}

TEST(ConvertInBlocks, ReadsAPipeOnStandardInput) {
    std::string text;
    for (int i = 0; i < 20000; ++i) {
        text += i % 1000 == 17 ? "Date Price\r\n"
                               : std::to_string(40000 + i) + ".25 1." + std::to_string(i) + "\n";
    }
    TempDir dir;
    const Expected want = OneByOne(dir.Write("copy.txt", text), Conversion::TruncatedJulian);
    for (const int threads : {1, 2, 7}) {
        SCOPED_TRACE(threads);
        const std::string out = dir.Path("out.txt");
        JobReport report;
        {
            PipedStandardInput piped(text);
            report = RunConversion(LineSource::StandardInput(), Destination::File(out),
                                   {Conversion::TruncatedJulian, threads, 4096});
        }
        ExpectReport(report, want);
        EXPECT_EQ(ReadAll(out), want.out);
    }
}

TEST(ConvertInBlocks, AStopMidwayLeavesTheDestinationAsItWas) {
    std::string input;
    for (int i = 0; i < 5000; ++i) input += i % 10 == 0 ? "header\n" : "52275.5 1.234\n";
    struct Row {
        int threads;
        std::size_t block;
        int stop_after;
    };
    const Row rows[] = {{1, 0, 2500}, {2, 100, 2500}, {7, 13, 1}, {2, 4096, 4999}};
    for (const Row& row : rows) {
        SCOPED_TRACE("threads " + std::to_string(row.threads) + ", block " +
                     std::to_string(row.block) + ", stop after " + std::to_string(row.stop_after));
        TempDir dir;
        const std::string out = dir.Write("out.txt", "precious");
        int asked = 0;
        JobCallbacks callbacks;
        callbacks.stop_requested = [&asked, &row] { return ++asked > row.stop_after; };
        const JobReport report =
            RunConversion(LineSource::File(dir.Write("in.txt", input)), Destination::File(out),
                          {Conversion::TruncatedJulian, row.threads, row.block}, callbacks);
        EXPECT_TRUE(report.ok());
        EXPECT_TRUE(report.stopped);
        EXPECT_EQ(report.lines_read, row.stop_after);
        // Every tenth line from the first is a header, skipped.
        EXPECT_EQ(report.lines_skipped, (row.stop_after + 9) / 10);
        EXPECT_EQ(report.lines_used + report.lines_skipped, report.lines_read);
        EXPECT_EQ(ReadAll(out), "precious");
        EXPECT_EQ(dir.Listing(), "in.txt out.txt ");
    }
}

TEST(ConvertInBlocks, AStopKeepsTheLinesBeforeItInMemory) {
    const std::vector<std::string> lines(300, "1971,1,4,4.318");
    const StringLines source(lines);
    for (const int threads : {1, 2, 7}) {
        SCOPED_TRACE(threads);
        std::vector<std::string> got;
        int asked = 0;
        JobCallbacks callbacks;
        callbacks.stop_requested = [&asked] { return ++asked > 123; };
        const JobReport report =
            RunConversion(LineSource::Lines(source, "lines"), Destination::Lines(got),
                          {Conversion::DatePrice, threads, 64}, callbacks);
        EXPECT_TRUE(report.stopped);
        EXPECT_EQ(report.lines_read, 123);
        EXPECT_EQ(report.lines_written, 123);
        EXPECT_EQ(got.size(), 123U);
    }
}

}  // namespace
}  // namespace varn
