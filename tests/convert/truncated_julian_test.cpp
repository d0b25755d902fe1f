#include "convert/truncated_julian.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <string>
#include <string_view>

#include "calendar/calendar.h"
#include "convert/reorder.h"
#include "text/fields.h"
#include "text/numbers.h"
#include "text/short_text.h"

namespace varn {
namespace {

TEST(ConvertTruncatedJulianLine, WritesDateTimeAndPrice) {
    struct Row {
        const char* line;
        const char* want;
    };
    const Row rows[] = {
        // Exact times come out exact, not one second early.
        {"52275.5 1.234", "1/1/2002 12:00:00  1.234"},
        {"53371.25 7", "1/1/2005 6:00:00  7"},
        {"52275,5 1.234", "1/1/2002 12:00:00  1.234"},  // decimal comma
        {"  52275.5   1.234 extra", "1/1/2002 12:00:00  1.234"},
        {"52275.5", "1/1/2002 12:00:00  "},
        {"52275.0 3", "1/1/2002 0:00:00  3"},
        {"52275.4999999 2", "1/1/2002 12:00:00  2"},
        // A moment a tiny bit before midnight rounds into the next date.
        {"52275.9999999 2", "1/2/2002 0:00:00  2"},
        {"52275.50001 2", "1/1/2002 12:00:01  2"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        // Appended after what is there already.
        std::string got = "kept|";
        ASSERT_TRUE(ConvertTruncatedJulianLine(row.line, got));
        EXPECT_EQ(got, std::string("kept|") + row.want);
    }
}

TEST(ConvertTruncatedJulianLine, SkipsLinesWithoutADay) {
    const char* rows[] = {"", "   ", "Date Price", "52275.5\t1.234", "1,2,3 4"};
    for (const char* line : rows) {
        SCOPED_TRACE(line);
        std::string got = "kept";
        EXPECT_FALSE(ConvertTruncatedJulianLine(line, got));
        EXPECT_EQ(got, "kept");
    }
}

// Conversion 4 as it was first written, all through Julian century values
// and the general number reading: the reference that the exact day reading
// must match byte for byte.
bool ReferenceLine(std::string_view line, std::string& out) {
    const std::string_view day_field = FieldView(1, line, BlankSet);
    if (day_field.empty()) return false;
    const ShortText text = ToShortText(std::string("24").append(day_field));
    double julian_day = NoValue;
    if (!ParseNumber(text, julian_day, NoValue) || julian_day == NoValue) return false;
    const auto centuries =
        static_cast<double>((static_cast<long double>(julian_day) - 2415020.0L) / 36525.0L);
    const double moment = OneDayInCenturies / 2 + centuries;
    std::int32_t year = 0, month = 0, day = 0;
    double hours = 0, hms = 0;
    CenturiesToCalendar(moment, year, month, day, hours, hms);
    auto seconds =
        static_cast<std::int64_t>(std::llround(static_cast<long double>(hours) * 3600.0L));
    if (seconds >= 86400) {
        CenturiesToCalendar(moment + OneDayInCenturies / 86400 * 2, year, month, day, hours, hms);
        seconds = 0;
    }
    const std::int64_t m = seconds / 60 % 60;
    const std::int64_t s = seconds % 60;
    out += std::to_string(month) + '/' + std::to_string(day) + '/' + std::to_string(year) + ' ' +
           std::to_string(seconds / 3600) + ':' + (m < 10 ? "0" : "") + std::to_string(m) + ':' +
           (s < 10 ? "0" : "") + std::to_string(s) + "  ";
    out += FieldView(2, line, BlankSet);
    return true;
}

// Counts the lines where the conversion and the reference differ, and
// reports the first few.
class Comparison {
  public:
    void Check(const std::string& line) {
        std::string got;
        std::string want;
        const bool got_ok = ConvertTruncatedJulianLine(line, got);
        const bool want_ok = ReferenceLine(line, want);
        ++checked_;
        if (got_ok != want_ok || got != want) {
            if (++differences_ <= 5) {
                ADD_FAILURE() << "line \"" << line << "\": got \"" << got << "\" (" << got_ok
                              << "), want \"" << want << "\" (" << want_ok << ")";
            }
        }
    }
    std::int64_t checked() const { return checked_; }
    std::int64_t differences() const { return differences_; }

  private:
    std::int64_t checked_ = 0;
    std::int64_t differences_ = 0;
};

// Day texts of every length the exact reading takes, with decimals chosen
// to fall right at and around midnight and noon, and near the half-way
// points between whole seconds.
TEST(ConvertTruncatedJulianLine, MatchesTheCenturyReadingOnEveryDay) {
    struct Row {
        const char* fraction;
    };
    const Row fractions[] = {
        {""},        {"."},       {","},       {".0"},      {".5"},      {",5"},
        {".25"},     {".000001"}, {".999999"}, {".499999"}, {".500001"}, {".499994"},
        {".500006"}, {".99999"},  {".00001"},  {".4999"},   {".5001"},   {".123456"},
        {".000006"}, {".999994"}, {".1"},      {".9"},      {".75"},     {".000000"},
    };
    Comparison comparison;
    char day[16];
    const int rows = static_cast<int>(std::size(fractions));
    // Every day text of one to five digits, leading zeros included: those of
    // up to four digits with every fraction, those of five (every day from
    // 2400000 to 2499999) with three fractions each in turn.
    for (int width = 0; width <= 5; ++width) {
        int count = 1;
        for (int i = 0; i < width; ++i) count *= 10;
        for (int n = 0; n < count; ++n) {
            std::snprintf(day, sizeof day, "%0*d", width, n);
            if (width == 0) day[0] = '\0';
            for (int r = 0; r < rows; ++r) {
                if (width == 5 && r != n % rows && r != (n + 7) % rows && r != (n + 15) % rows) {
                    continue;
                }
                const std::string field = std::string(day) + fractions[r].fraction;
                if (field.empty()) continue;
                comparison.Check(field + " 1.5");
            }
        }
    }
    EXPECT_GT(comparison.checked(), 500000);
    EXPECT_EQ(comparison.differences(), 0) << "of " << comparison.checked();
}

// Six decimals around midnight and noon on days at both ends of the range and
// in the middle, and every seventh millionth of a day through one whole day.
TEST(ConvertTruncatedJulianLine, MatchesTheCenturyReadingAtMillionthsOfADay) {
    struct Row {
        const char* day;
        int first;  // millionths
        int last;
        int step;
    };
    const Row rows[] = {
        {"0", 0, 3000, 1},       {"0", 497000, 503000, 1},     {"0", 997000, 999999, 1},
        {"52275", 0, 3000, 1},   {"52275", 497000, 503000, 1}, {"52275", 997000, 999999, 1},
        {"99999", 0, 3000, 1},   {"99999", 497000, 503000, 1}, {"99999", 997000, 999999, 1},
        {"45678", 0, 999999, 7},
    };
    Comparison comparison;
    char fraction[16];
    for (const Row& row : rows) {
        SCOPED_TRACE(row.day);
        for (int f = row.first; f <= row.last; f += row.step) {
            std::snprintf(fraction, sizeof fraction, ".%06d", f);
            comparison.Check(std::string(row.day) + fraction + "  7");
        }
    }
    EXPECT_GT(comparison.checked(), 170000);
    EXPECT_EQ(comparison.differences(), 0) << "of " << comparison.checked();
}

// Times whose exact second lies closest to half-way, on many days: the
// fractions of five and six decimals that are nearest to x.5 seconds.
TEST(ConvertTruncatedJulianLine, MatchesTheCenturyReadingNearHalfSeconds) {
    Comparison comparison;
    char line[48];
    std::uint64_t state = 12345;
    for (int k = 0; k < 100000; ++k) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        const auto day = static_cast<int>((state >> 33) % 100000);
        // 6 decimals: f * 864 / 10000 seconds is 8/10000 off x.5 when
        // f * 864 % 10000 is 4992 or 5008.
        const auto f = static_cast<int>((state >> 13) % 1000000);
        if ((f * 864LL % 10000 == 4992) || (f * 864LL % 10000 == 5008) || (k % 16 == 0)) {
            std::snprintf(line, sizeof line, "%05d.%06d 2", day, f);
            comparison.Check(line);
        }
        std::snprintf(line, sizeof line, "%05d.%05d 2", day, f / 10);
        comparison.Check(line);
    }
    EXPECT_GT(comparison.checked(), 100000);
    EXPECT_EQ(comparison.differences(), 0) << "of " << comparison.checked();
}

// Fields outside the exact reading keep to the century reading: signs,
// exponents, more digits, stray characters, long fields.
TEST(ConvertTruncatedJulianLine, MatchesTheCenturyReadingOnOtherFields) {
    struct Row {
        const char* line;
    };
    const Row rows[] = {
        {"123456.5 1"},    {"52275.5000001 1"}, {"+52275.5 1"},     {"-1 1"},       {"1e3 1"},
        {"52275.5e0 1"},   {"5,2.5 1"},         {"52275..5 1"},     {"52275.5x 1"}, {"x 1"},
        {"0x10 1"},        {"52275.1234567 1"}, {"999999999999 1"}, {"1.5,5 1"},    {"  52275.5 "},
        {"52275.5 1 2 3"}, {"5e99999 1"},       {"00000000.5 1"},   {"52275.5\t1"}, {".5e1 1"},
    };
    Comparison comparison;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        comparison.Check(row.line);
    }
    comparison.Check(std::string(300, '1') + " 5");
    comparison.Check("1." + std::string(300, '1') + " 5");
    EXPECT_EQ(comparison.differences(), 0);
}

}  // namespace
}  // namespace varn
