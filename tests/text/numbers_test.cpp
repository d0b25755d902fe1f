#include "text/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

#include "text/short_text.h"

namespace varn {
namespace {

TEST(ReadStrictInteger, ReadsDecimalAndHexForms) {
    struct Row {
        const char* text;
        std::int32_t want;
    };
    const Row rows[] = {
        {"42", 42},
        {"   42", 42},
        {"+42", 42},
        {"-42", -42},
        {"007", 7},
        {"$1F", 31},
        {"x1f", 31},
        {"X10", 16},
        {"0x10", 16},
        {"0X1a", 26},
        {"-$10", -16},
        {"2147483647", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"$7FFFFFFF", INT32_MAX},
        {"-$80000000", INT32_MIN},
        {"0", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        std::int32_t value = -999;
        EXPECT_TRUE(ReadStrictInteger(row.text, value));
        EXPECT_EQ(value, row.want);
    }
}

TEST(ReadStrictInteger, ReportsWhereItStopped) {
    struct Row {
        const char* text;
        std::int32_t stop;
    };
    const Row rows[] = {
        {"", 1},
        {"   ", 4},
        {"42 ", 3},
        {"42\t", 3},
        {"\t42", 1},
        {"4 2", 2},
        {"+", 2},
        {"- 1", 2},
        {"1.5", 2},
        {"$", 2},
        {"0x", 3},
        {"$G", 2},
        {"0x1g", 4},
        {"1e3", 2},
        {"2147483648", 10},
        {"-2147483649", 11},
        {"$80000000", 9},
        {"99999999999", 10},
        {"+-1", 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        std::int32_t value = -999;
        EXPECT_FALSE(ReadStrictInteger(row.text, value));
        EXPECT_EQ(value, row.stop);
    }
}

TEST(StrictIntegerOr, GivesFallbackWhenTextDoesNotRead) {
    EXPECT_EQ(StrictIntegerOr("12", -1), 12);
    EXPECT_EQ(StrictIntegerOr("12 ", -1), -1);
    EXPECT_EQ(StrictIntegerOr("", 5), 5);
}

TEST(ReadStrictReal, ReadsOptionalDigitsAroundThePoint) {
    struct Row {
        const char* text;
        double want;
    };
    const Row rows[] = {
        {"3.25", 3.25}, {".", 0.0},      {"E5", 0.0},       {"-.5", -0.5},    {"5.", 5.0},
        {"1e3", 1e3},   {"1E+3", 1e3},   {"2.5e-1", 0.25},  {"  7", 7.0},     {"+.5e1", 5.0},
        {"0.1", 0.1},   {"1e-400", 0.0}, {"0012.50", 12.5}, {"1e308", 1e308},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        double value = -999.0;
        EXPECT_TRUE(ReadStrictReal(row.text, value));
        EXPECT_EQ(value, row.want);
    }
}

TEST(ReadStrictReal, ReportsWhereItStopped) {
    struct Row {
        const char* text;
        double stop;
    };
    const Row rows[] = {
        {"", 1},    {"   ", 4},  {"+", 2},     {"-", 2},     {"1e", 3},     {"1e+", 4},
        {"E", 2},   {".e", 3},   {"1.2.3", 4}, {"3,25", 2},  {"1 ", 2},     {"inf", 1},
        {"nan", 1}, {"-inf", 2}, {"0x10", 2},  {"1e400", 1}, {"-1e400", 2}, {"1d5", 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        double value = -999.0;
        EXPECT_FALSE(ReadStrictReal(row.text, value));
        EXPECT_EQ(value, row.stop);
    }
}

TEST(TextToInteger, RemovesTrailingSpacesOnly) {
    struct Row {
        std::string text;
        bool ok;
        std::int32_t value;  // the stop position when not ok
    };
    const Row rows[] = {
        {"42  ", true, 42},
        {"  -7 ", true, -7},
        {"42\t", false, 3},
        {"   ", false, 1},
        {"", false, 1},
        {"1" + std::string(300, ' '), true, 1},
        {"1" + std::string(254, ' ') + "x", true, 1},  // the x lies beyond 255
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text.substr(0, 10));
        std::int32_t value = -999;
        EXPECT_EQ(TextToInteger(row.text, value), row.ok);
        EXPECT_EQ(value, row.value);
    }
}

TEST(TextToReal, AcceptsOneDecimalComma) {
    struct Row {
        const char* text;
        bool ok;
        double value;  // the stop position when not ok
    };
    const Row rows[] = {
        {"3,25", true, 3.25}, {"3.25  ", true, 3.25}, {"1,234.5", false, 6}, {"1,2,3", false, 4},
        {"abc", false, 1},    {"", false, 1},         {"-0,5 ", true, -0.5},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        double value = -999.0;
        EXPECT_EQ(TextToReal(row.text, value), row.ok);
        EXPECT_EQ(value, row.value);
    }
}

TEST(TextToDouble, LeavesThePresetOnFailure) {
    double value = NoValue;
    EXPECT_FALSE(TextToDouble("x", value));
    EXPECT_EQ(value, NoValue);
    EXPECT_FALSE(TextToDouble("1,234.5", value));
    EXPECT_EQ(value, NoValue);
    EXPECT_TRUE(TextToDouble("2,5", value));
    EXPECT_EQ(value, 2.5);
}

TEST(ParseNumber, RetriesWithCommaAsPoint) {
    struct Row {
        const char* text;
        bool ok;
        double value;
    };
    const Row rows[] = {
        {"3,25", true, 3.25},      {"3.25", true, 3.25},      {"1,234", true, 1.234},
        {"3.25 ", false, NoValue}, {"3,25 ", false, NoValue}, {"1,234.5", false, NoValue},
        {"1,2,3", false, NoValue}, {"", false, NoValue},      {"-7e2", true, -700.0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        double value = -999.0;
        EXPECT_EQ(ParseNumber(row.text, value, NoValue), row.ok);
        EXPECT_EQ(value, row.value);
    }
}

// The quick reading of plain prices must give what the full reading gives:
// every text of up to seven characters made of digits, "." and ",", and
// long runs of digits around the 15-digit limit.
TEST(TextToReal, PlainPricesReadAsTheFullReadingReadsThem) {
    const auto reference = [](std::string text, double& value) {
        const std::size_t comma = text.find(',');
        if (comma != std::string::npos) text[comma] = '.';
        return ReadStrictReal(text, value);
    };
    std::int64_t checked = 0;
    std::int64_t wrong = 0;
    const auto check = [&](const std::string& text) {
        double got = -1.0;
        double want = -1.0;
        const bool got_ok = TextToReal(text, got);
        const bool want_ok = reference(text, want);
        ++checked;
        if (got_ok != want_ok || got != want || std::signbit(got) != std::signbit(want)) {
            if (++wrong <= 5) ADD_FAILURE() << "\"" << text << "\": " << got << " vs " << want;
        }
    };
    const std::string alphabet = "0159.,";
    std::string text;
    for (std::size_t length = 1; length <= 7; ++length) {
        std::size_t combinations = 1;
        for (std::size_t i = 0; i < length; ++i) combinations *= alphabet.size();
        text.assign(length, '0');
        for (std::size_t n = 0; n < combinations; ++n) {
            std::size_t k = n;
            for (std::size_t i = 0; i < length; ++i, k /= alphabet.size()) {
                text[i] = alphabet[k % alphabet.size()];
            }
            check(text);
        }
    }
    struct Row {
        const char* text;
    };
    const Row rows[] = {
        {"123456789012345"},   {"1234567890123456"},  {"12345678901234.5"}, {"1234567890123.45"},
        {"9999999999999999"},  {"0.00000000000001"},  {"99999999999999.9"}, {"123456789012345.6"},
        {"1.234567890123456"}, {"000000000000001.5"}, {"0000000000000015"}, {"12345678901234,5"},
    };
    for (const Row& row : rows) check(row.text);
    EXPECT_GT(checked, 300000);
    EXPECT_EQ(wrong, 0);
}

}  // namespace
}  // namespace varn
