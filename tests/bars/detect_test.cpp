#include "bars/detect.h"

#include <gtest/gtest.h>

#include "bars/bar_input.h"
#include "test_support.h"

namespace varn {
namespace {

using testing::TempDir;

const RegionalNames kNames = EnglishRegionalNames();

// fitting lines of "01/02/2001 1.5 1.6 1.4 1.55", the rest headers, then more
// fitting lines up to total.
std::string File(int fitting_of_first_100, int total, const std::string& line) {
    std::string text;
    for (int i = 0; i < total; ++i) {
        text += (i < 100 && i >= fitting_of_first_100 ? std::string("Date Open High Low Close")
                                                      : line) +
                "\n";
    }
    return text;
}

LayoutPair Pair(int date, int time) {
    return {static_cast<DateLayout>(date), static_cast<TimeLayout>(time)};
}

std::optional<LayoutPair> Load(const std::string& text) {
    TempDir dir;
    BarInputLines lines;
    Detection detection;
    EXPECT_TRUE(LoadBarInput(dir.Write("in.txt", text), lines, kNames, detection).ok());
    if (!detection.detected()) return std::nullopt;
    return detection.pair;
}

TEST(DetectLayouts, NeedsMoreThan100LinesAnd96Fitting) {
    const std::string line = "01/02/2001 1.5 1.6 1.4 1.55";
    struct Row {
        const char* name;
        int fitting;
        int total;
        std::optional<LayoutPair> want;
    };
    const Row rows[] = {
        {"100 lines are not examined", 100, 100, std::nullopt},
        {"101 lines are", 100, 101, Pair(5, 0)},
        {"96 of 100 fit", 96, 150, Pair(5, 0)},
        {"95 do not", 95, 150, std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(Load(File(row.fitting, row.total, line)), row.want);
    }
}

TEST(DetectLayouts, PrefersTheFirstFittingPair) {
    struct Row {
        const char* line;
        LayoutPair want;
    };
    const Row rows[] = {
        {"01/02/2001 1000 1010 990 1005", Pair(5, 0)},  // integer prices are no times
        {"01/02/2001 9:45pm 2 4 1 3", Pair(5, 4)},      // am/pm is not a 24-hour time
        {"01/02/2001;21:45:15;2;4;1;3", Pair(5, 6)},    // the colon rule, tried before 3 and 1
        {"20010102 1.5 1.6 1.4 1.55", Pair(14, 0)},
        {"2001-01-02,1.5,1.6,1.4,1.55", Pair(12, 0)},
        {"15 January, 2001 1.5 1.6 1.4 1.55", Pair(9, 0)},
        {"10.2001 1.5 1.6 1.4 1.55", Pair(21, 0)},
        {"25/12/2001 1.5 1.6 1.4 1.55", Pair(6, 0)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        const auto pair = Load(File(100, 101, row.line));
        ASSERT_TRUE(pair.has_value());
        EXPECT_EQ(pair->date_layout, row.want.date_layout);
        EXPECT_EQ(pair->time_layout, row.want.time_layout);
    }
}

TEST(DetectLayouts, KeepsAGivenLayoutFixed) {
    std::vector<std::string_view> lines(100, "01/02/2001 1.5 1.6 1.4 1.55");
    EXPECT_EQ(DetectLayouts(lines, kNames, DateLayout::DDMMYYYYSlash, std::nullopt), Pair(6, 0));
    EXPECT_EQ(DetectLayouts(lines, kNames, std::nullopt, TimeLayout::NotIndicated), Pair(5, 0));
    EXPECT_EQ(DetectLayouts(lines, kNames, DateLayout::YYYYMMDD, std::nullopt), std::nullopt);
}

TEST(LoadBarInput, ReportsAMissingFile) {
    TempDir dir;
    BarInputLines lines;
    lines.Assign("old\n");
    Detection detection;
    detection.outcome = Detection::Outcome::Detected;
    const JobStatus status = LoadBarInput(dir.Path("missing.txt"), lines, kNames, detection);
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(lines.Count(), 0U);
    EXPECT_FALSE(detection.detected());
}

}  // namespace
}  // namespace varn
