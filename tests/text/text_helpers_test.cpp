#include "text/text_helpers.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace varn {
namespace {

TEST(FormatPrice, ChoosesDecimalsByMagnitude) {
    struct Row {
        double value;
        const char* want;
    };
    const Row rows[] = {
        {0.05, "0.05000"},      {0.0999, "0.09990"},      {0.1, "0.1000"},
        {9.5, "9.5000"},        {10.0, "10.00"},          {1271.75, "1271.75"},
        {0.0, "0.00000"},       {-0.05, "-0.05000"},      {-9.5, "-9.5000"},
        {-1271.75, "-1271.75"}, {1e10, "10000000000.00"}, {0.000001, "0.00000"},
        {-0.000001, "0.00000"},  // no "-" on a zero
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.want);
        EXPECT_EQ(FormatPrice(row.value), row.want);
    }
}

TEST(FormatPrice, RoundsEighteenDigitsHalvesAwayFromZero) {
    struct Row {
        double value;
        const char* want;
    };
    const Row rows[] = {
        {12.125, "12.13"},     {-12.125, "-12.13"},    {9.99999, "10.0000"},
        {0.099999, "0.10000"}, {0.000005, "0.00001"},  {0.0000049, "0.00000"},
        {99.995, "100.00"},  // 99.99499999999999744 to 18 digits is 99.9950000000000000
        {1000.005, "1000.01"}, {1000.0049, "1000.00"}, {0.31415926, "0.3142"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.want);
        EXPECT_EQ(FormatPrice(row.value), row.want);
    }
}

TEST(FormatPrice, WritesAPointUnderADecimalCommaLocale) {
    const char* const candidates[] = {"de_DE.UTF-8", "de_DE.utf8",  "fr_FR.UTF-8", "fr_FR.utf8",
                                      "nl_NL.UTF-8", "it_IT.UTF-8", "de_DE",       "fr_FR"};
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    const char* found = nullptr;
    for (const char* name : candidates) {
        if (std::setlocale(LC_ALL, name) != nullptr &&
            std::localeconv()->decimal_point == std::string(",")) {
            found = name;
            break;
        }
    }
    if (found == nullptr) {
        std::setlocale(LC_ALL, saved.c_str());
        GTEST_SKIP() << "no decimal-comma locale installed";
    }
    const ShortText small = FormatPrice(0.05);
    const ShortText large = FormatPrice(1271.755);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(small, "0.05000");
    EXPECT_EQ(large, "1271.76");
}

TEST(AppendFixedPrice, WritesTheShortestDigitsToTheCount) {
    struct Row {
        double value;
        int decimals;
        const char* want;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const Row rows[] = {
        {1.09497, 5, "1.09497"},  // 1.0949699999999999... as a double
        {151.234, 3, "151.234"},
        {0.00002717, 8, "0.00002717"},
        {1.5, 2, "1.50"},
        {1271, 0, "1271"},
        {12345678901.1, 10, "12345678901.1000000000"},  // 12345678901.100000381 as a double
        {0.1 + 0.2, 10, "0.3000000000"},                // 0.30000000000000004 is rounded
        {1.005, 2, "1.01"},                             // halves away, on the digits
        {-1.005, 2, "-1.01"},
        {99.995, 2, "100.00"},
        {9.9999, 3, "10.000"},
        {0.5, 0, "1"},
        {0.49, 0, "0"},
        {-0.00001, 4, "0.0000"},  // no "-" on a zero
        {5e-11, 10, "0.0000000001"},
        {1e-300, 10, "0.0000000000"},
        {1.25, 12, "1.2500000000"},                    // at most 10
        {-99999.9999999999, 10, "-99999.9999999999"},  // 10^15 - 1 units of 10^-10
        {99999.99999999999, 10, "100000.0000000000"},  // rounded: 10^15 of them
        {-37.63, 2, "-37.63"},
        {std::nan(""), 2, "nan"},
        {-inf, 2, "-inf"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.want);
        std::string text = "x ";
        AppendFixedPrice(text, row.value, row.decimals);
        EXPECT_EQ(text, std::string("x ") + row.want);
    }
}

TEST(IntToShortText, WritesEveryInt32) {
    struct Row {
        std::int32_t value;
        const char* want;
    };
    const Row rows[] = {
        {0, "0"}, {7, "7"}, {-7, "-7"}, {INT32_MAX, "2147483647"}, {INT32_MIN, "-2147483648"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.want);
        EXPECT_EQ(IntToShortText(row.value), row.want);
    }
}

TEST(PadLeft, FillsToWidthAndNeverCuts) {
    struct Row {
        const char* text;
        char fill;
        int width;
        std::string want;
    };
    const Row rows[] = {
        {"7", '0', 2, "07"},
        {"123", '0', 2, "123"},
        {"12", '0', 2, "12"},
        {"", '*', 3, "***"},
        {"ab", ' ', 0, "ab"},
        {"ab", ' ', -5, "ab"},
        {"ab", '.', 300, std::string(253, '.') + "ab"},  // widths stop at 255
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.want.substr(0, 10));
        EXPECT_EQ(PadLeft(row.text, row.fill, row.width), row.want);
    }
}

TEST(TrimBlanks, RemovesControlCodesAndSpacesAtBothEnds) {
    struct Row {
        std::string text;
        const char* want;
    };
    const Row rows[] = {
        {" \t a b \r\n", "a b"},        {"\x01x\x1f", "x"}, {"", ""},
        {std::string("\0y\0", 3), "y"}, {"\x7f", "\x7f"},   {"\xc8", "\xc8"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.want);
        EXPECT_EQ(TrimBlanks(row.text), row.want);
    }
}

TEST(RemoveChar, RemovesEveryOccurrence) {
    EXPECT_EQ(RemoveChar("1,234,567", ','), "1234567");
    EXPECT_EQ(RemoveChar("", ','), "");
    EXPECT_EQ(RemoveChar(",,,", ','), "");
}

TEST(WithTrailingBackslash, AddsOneUnlessAtAPathEnd) {
    struct Row {
        std::string path;
        std::string want;
    };
    const Row rows[] = {
        {"", ""},
        {"C:", "C:"},
        {"C:\\data\\", "C:\\data\\"},
        {"C:\\data", "C:\\data\\"},
        {"data", "data\\"},
        {std::string("a\0", 2), std::string("a\0", 2)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        EXPECT_EQ(WithTrailingBackslash(row.path), row.want);
    }
}

TEST(ClampInt, RaisesThenLowers) {
    struct Row {
        std::int32_t low, high, value, want;
    };
    const Row rows[] = {
        {0, 10, 5, 5},
        {0, 10, -3, 0},
        {0, 10, 11, 10},
        {0, -1, -5, -1},
        {0, -1, 0, -1},
        {0, -1, 5, -1},
        {INT32_MIN, INT32_MAX, 42, 42},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.low << " " << row.high << " " << row.value);
        EXPECT_EQ(ClampInt(row.low, row.high, row.value), row.want);
    }
}

TEST(HoursToHms, PacksHoursMinutesSeconds) {
    struct Row {
        double hours;
        long double want;
    };
    const Row rows[] = {
        {1.5, 1.3L},    {-1.25, -1.15L},  {0.0, 0.0L},        {12.5, 12.3L}, {2.0125, 2.0045L},
        {1.0001, 1.0L}, {-0.00001, 0.0L}, {0.03125, 0.0152L},  // 312.5 ten-thousandths round to the
                                                               // even 312
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.hours);
        EXPECT_EQ(HoursToHms(row.hours), row.want);
    }
}

TEST(HoursToHms, CarriesSixtySecondsAndSixtyMinutes) {
    struct Row {
        double hours;
        long double want;
    };
    const Row rows[] = {
        {0.9999, 1.0L},  // 59 min 59.64 s: 60 s, then 60 min carry
        {0.4999, 0.3L},  // 29 min 59.64 s becomes 30 min
        {-0.9999, -1.0L},
        {23.9999, 24.0L},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.hours);
        EXPECT_EQ(HoursToHms(row.hours), row.want);
    }
}

TEST(To12Hour, ShowsTheFirstHourAsTwelve) {
    struct Row {
        double hours;
        bool pm;
        double want;
    };
    const Row rows[] = {
        {0.5, false, 12.5},   {0.0, false, 12.0},  {11.5, false, 11.5}, {12.0, true, 12.0},
        {12.25, true, 12.25}, {13.75, true, 1.75}, {23.5, true, 11.5},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.hours);
        bool pm = !row.pm;
        EXPECT_EQ(To12Hour(row.hours, pm), row.want);
        EXPECT_EQ(pm, row.pm);
    }
}

TEST(From12Hour, TakesTwelveAsTheFirstHour) {
    struct Row {
        std::uint8_t pm_flag;
        std::int32_t hour, want;
    };
    const Row rows[] = {
        {0, 12, 0}, {1, 12, 12}, {1, 1, 13}, {0, 1, 1}, {1, 11, 23}, {2, 5, 5}, {0, 13, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << int{row.pm_flag} << " " << row.hour);
        EXPECT_EQ(From12Hour(row.pm_flag, row.hour), row.want);
    }
}

}  // namespace
}  // namespace varn
