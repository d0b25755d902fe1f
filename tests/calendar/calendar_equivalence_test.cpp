// Moments before the century zero and far from it, where the day arithmetic
// works on negative day counts.
#include <gtest/gtest.h>

#include <cstdint>

#include "calendar/calendar.h"

namespace varn {
namespace {

TEST(CenturiesToCalendar, ReadsMomentsFarFromTheZero) {
    struct Row {
        double moment;
        std::int32_t year, month, day;
        double hours, hms;
    };
    const Row rows[] = {
        {-1.0, 1799, 12, 30, 12.0, 12.0},
        {-10.0, 899, 12, 19, 12.0, 12.0},
        {-16.5, 249, 12, 19, 0.0, 0.0},
        {3.5, 2250, 1, 3, 0.0, 0.0},
        {1.0000001000000001, 2000, 1, 1, 12.087660000050164, 12.051600000000001},
        {-0.50000370000000005, 1849, 12, 30, 20.756579999955648, 20.452400000000001},
        {1.0000000000000001e-09, 1899, 12, 31, 12.000876600000993, 12.000299999999999},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.moment);
        std::int32_t year = 0, month = 0, day = 0;
        double hours = -1.0, hms = -1.0;
        CenturiesToCalendar(row.moment, year, month, day, hours, hms);
        EXPECT_EQ(year, row.year);
        EXPECT_EQ(month, row.month);
        EXPECT_EQ(day, row.day);
        EXPECT_DOUBLE_EQ(hours, row.hours);
        EXPECT_DOUBLE_EQ(hms, row.hms);
    }
}

}  // namespace
}  // namespace varn
