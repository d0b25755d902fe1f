// Cases at the edges of the exact fast paths of FormatPrice and TextToDouble:
// ties, the 0.1 and 10 bounds, carries, the ends of the exact range.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>

#include "text/numbers.h"
#include "text/text_helpers.h"

namespace varn {
namespace {

TEST(FormatPrice, KeepsResultsAtTheEdgesOfTheExactPath) {
    struct Row {
        double value;
        const char* want;
    };
    const Row rows[] = {
        {1000.000030517578125, "1000.00"},  // exactly 19 digits ending in 5
        {-1000.000030517578125, "-1000.00"},
        {0.1, "0.1000"},
        {0.09999999999999999, "0.10000"},  // below the bound, carries to 0.1
        {9.999995, "10.0000"},
        {9.9999949999999, "10.0000"},
        {0.0999995, "0.10000"},
        {1.00005, "1.0001"},
        {0.000122, "0.00012"},  // below 2^-13
        {0.00012207031250000001, "0.00012"},
        {72057594037927930.0, "72057594037927928.00"},  // just below 2^56
        {72057594037927936.0, "72057594037927936.00"},  // 2^56
        {123456789012345.67, "123456789012345.67"},
        {1e15, "1000000000000000.00"},
        {1e-5, "0.00001"},
        {2.5e-5, "0.00003"},
        {-0.000004, "0.00000"},
        {0.30000000000000004, "0.3000"},
        {4503599627370495.5, "4503599627370495.50"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.want);
        EXPECT_EQ(FormatPrice(row.value), row.want);
    }
}

// A price that is the double nearest a short decimal is written as that
// decimal, whatever its size up to 10^14 units of the last decimal, and so is
// every double a few steps away on either side.
TEST(FormatPrice, WritesTheDecimalADoubleIsNearest) {
    std::mt19937_64 random(20261209);
    const struct {
        int decimals;
        std::uint64_t units_max;
    } kinds[] = {{2, 100'000'000'000'000}, {2, 100'000}, {4, 100'000}, {5, 10'000}};
    for (const auto& kind : kinds) {
        std::uniform_int_distribution<std::uint64_t> units(1, kind.units_max - 1);
        for (int i = 0; i < 20000; ++i) {
            const std::uint64_t u = units(random);
            std::string want = std::to_string(u);
            if (want.size() <= static_cast<std::size_t>(kind.decimals)) {
                want.insert(0, static_cast<std::size_t>(kind.decimals) + 1 - want.size(), '0');
            }
            want.insert(want.size() - static_cast<std::size_t>(kind.decimals), ".");
            // Below 10 (0.1) the price has four (five) decimals, not two.
            const double value =
                static_cast<double>(u) / std::pow(10.0, static_cast<double>(kind.decimals));
            if (kind.decimals == 2 && value < 10.0) continue;
            if (kind.decimals == 4 && value < 0.1) continue;
            SCOPED_TRACE(want);
            ASSERT_EQ(FormatPrice(value), want);
            ASSERT_EQ(FormatPrice(-value), "-" + want);
            // Neighbours a few steps away still round to the same decimal.
            double below = value, above = value;
            for (int step = 0; step < 3; ++step) {
                below = std::nextafter(below, 0.0);
                above = std::nextafter(above, 1e300);
                if (below >= (kind.decimals == 2 ? 10.0 : kind.decimals == 4 ? 0.1 : 0.0)) {
                    ASSERT_EQ(FormatPrice(below), want);
                }
                if (above < (kind.decimals == 2 ? 1e300 : kind.decimals == 4 ? 10.0 : 0.1)) {
                    ASSERT_EQ(FormatPrice(above), want);
                }
            }
        }
    }
}

TEST(TextToDouble, ReadsTheNearestDoubleOnBothPaths) {
    struct Row {
        const char* text;
        double want;
    };
    const Row rows[] = {
        {"1273.500000", 1273.5},
        {"9007199254740993", 9007199254740992.0},  // beyond 2^53: ties to even
        {"9007199254740992", 9007199254740992.0},
        {"1234567890123456789", 1234567890123456789.0},
        {"12345678901234567890", 12345678901234567890.0},
        {"1e22", 1e22},
        {"1e23", 1e23},
        {"1e-23", 1e-23},
        {"0.30000000000000004", 0.30000000000000004},
        {"-0.0", -0.0},
        {"0000000000000000000000001,5", 1.5},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        double value = 0.0;
        ASSERT_TRUE(TextToDouble(row.text, value));
        EXPECT_EQ(std::memcmp(&value, &row.want, sizeof value), 0) << value;
    }
}

}  // namespace
}  // namespace varn
