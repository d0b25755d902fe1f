#include "text/quantity.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace varn {
namespace {

TEST(FormatQuantity, WholeNumbersPlainOthersToEightDecimals) {
    struct Row {
        double value;
        const char* want;
    };
    const Row rows[] = {
        {0, "0"},
        {-0.0, "0"},
        {123456, "123456"},
        {-42, "-42"},
        {1e20, "100000000000000000000"},
        {1.5, "1.5"},
        {0.1 + 0.2, "0.3"},
        {1000.375, "1000.375"},
        {0.123456789, "0.12345679"},
        {2.000000001, "2"},
        {1e-9, "0"},
        {-1e-9, "0"},
        {-3.25, "-3.25"},
        {0.00000001, "0.00000001"},
        {4503599627370495.5, "4503599627370495.5"},
        {std::numeric_limits<double>::infinity(), "inf"},
        {-std::numeric_limits<double>::infinity(), "-inf"},
        {std::nan(""), "nan"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.want);
        EXPECT_EQ(FormatQuantity(row.value), row.want);
    }
    // The largest double, all its digits.
    const std::string max = FormatQuantity(std::numeric_limits<double>::max());
    EXPECT_EQ(max.size(), 309U);
    EXPECT_EQ(max.substr(0, 6), "179769");
}

TEST(FormatQuantity, AppendsAfterWhatIsThere) {
    std::string text = "a ";
    AppendQuantity(text, 7.5);
    AppendQuantity(text.append(" "), 2);
    EXPECT_EQ(text, "a 7.5 2");
}

}  // namespace
}  // namespace varn
