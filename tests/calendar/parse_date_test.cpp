#include "calendar/parse_date.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <iterator>
#include <string>

namespace varn {
namespace {

struct Outcome {
    bool ok = false;
    ParsedDate date;
    ShortText rest;
    ShortText error;
};

Outcome Parse(std::string_view line, int date_layout, int time_layout,
              const RegionalNames& names = EnglishRegionalNames(), bool short_year = true,
              std::size_t rest_max_length = 255) {
    Outcome out;
    out.error = "stale";
    out.ok = ParseDateText(line, static_cast<DateLayout>(date_layout),
                           static_cast<TimeLayout>(time_layout), short_year, names, out.date,
                           out.rest, rest_max_length, &out.error);
    return out;
}

RegionalNames DutchNames() {
    RegionalNames names;
    names.long_months = {"januari", "februari", "maart",     "april",   "mei",      "juni",
                         "juli",    "augustus", "september", "oktober", "november", "december"};
    names.short_months = {"jan", "feb", "mrt", "apr", "mei", "jun",
                          "jul", "aug", "sep", "okt", "nov", "dec"};
    names.am = "VM";
    names.pm = "NM";
    return names;
}

RegionalNames NumericNames() {
    RegionalNames names;
    for (std::size_t m = 0; m < 12; ++m) {
        names.long_months[m] = std::to_string(m + 1);
        names.short_months[m] = std::to_string(m + 1);
    }
    names.am = "VORM";
    names.pm = "NACHM";
    return names;
}

TEST(ParseDateText, ReadsEveryDateLayout) {
    struct Row {
        const char* line;
        int layout;
        int year, month, day;
    };
    const Row rows[] = {
        {"010203 1.5", 0, 2001, 2, 3},
        {"01/02/03 1.5", 1, 2003, 1, 2},
        {"01-02-50 1.5", 1, 2050, 1, 2},
        {"01/02/51 1.5", 1, 1951, 1, 2},
        {"02/01/03 1.5", 2, 2003, 1, 2},
        {"01.02.03 1.5", 3, 2003, 1, 2},
        {"02.01.03 1.5", 4, 2003, 1, 2},
        {"01/02/2001 1.5", 5, 2001, 1, 2},
        {"01-02-2001 1.5", 5, 2001, 1, 2},
        {"00/15/2001 1.5", 5, 2001, 0, 15},
        {"02/01/2001 1.5", 6, 2001, 1, 2},
        {"01.02.2001 1.5", 7, 2001, 1, 2},
        {"02.01.2001 1.5", 8, 2001, 1, 2},
        {"02/01/2001 1.5", 8, 2001, 1, 2},
        {"15 January, 2001 1.5", 9, 2001, 1, 15},
        {"15-Jan-2001 1.5", 9, 2001, 1, 15},
        {"\"15 Feb 2001\",1.5", 9, 2001, 2, 15},
        {"January 15, 2001 1.5", 10, 2001, 1, 15},
        {"15 JAN 01 1.5", 11, 2001, 1, 15},
        {"15 JAN 75 1.5", 11, 1975, 1, 15},
        {"2001/01/02 1.5", 12, 2001, 1, 2},
        {"2001-01-02 1.5", 12, 2001, 1, 2},
        {"2001.01.02 1.5", 12, 2001, 1, 2},
        {"2001/02/01 1.5", 13, 2001, 1, 2},
        {"20010203 1.5", 14, 2001, 2, 3},
        {"3/4/2001 1.5", 15, 2001, 3, 4},
        {" 3/ 4/2001 1.5", 15, 2001, 3, 4},
        {"12/ 4/2001 1.5", 15, 2001, 12, 4},
        {"4/3/2001 1.5", 16, 2001, 3, 4},
        {" 4/ 3/2001 1.5", 16, 2001, 3, 4},
        {"January, 01 1.5", 17, 2001, 1, 1},
        {"March , 2001 1.5", 17, 2001, 3, 1},
        {"January, 01 1.5", 18, 2001, 1, 1},
        {"March , 2001 1.5", 18, 2001, 3, 1},
        {"2001 1.5", 19, 2001, 1, 1},
        {"2001.1 1.5", 20, 2001, 10, 1},
        {"2001/1 1.5", 20, 2001, 10, 1},
        {"2001.01 1.5", 20, 2001, 1, 1},
        {"2001.10 1.5", 20, 2001, 10, 1},
        {"2001-10 1.5", 20, 2001, 10, 1},
        {"10.2001 1.5", 21, 2001, 10, 1},
        {"1.2001 1.5", 21, 2001, 1, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.line) + " layout " + std::to_string(row.layout));
        const Outcome out = Parse(row.line, row.layout, 0);
        ASSERT_TRUE(out.ok) << out.error;
        EXPECT_EQ(out.date.year, row.year);
        EXPECT_EQ(out.date.month, row.month);
        EXPECT_EQ(out.date.day, row.day);
        EXPECT_EQ(out.date.hours + out.date.minutes + out.date.seconds, 0);
        EXPECT_EQ(out.error, "");
    }
}

TEST(ParseDateText, WordsTheReasonOfADateFailure) {
    struct Row {
        const char* line;
        int layout;
        const char* error;
    };
    const Row rows[] = {
        {"13/02/2001", 5, "Can't extract Month string: 13/02/2001 substring: 13"},
        {"01/32/2001", 5, "Can't extract Day string: 01/32/2001 substring: 32"},
        {"01/00/2001", 5, "Can't extract Day string: 01/00/2001 substring: 00"},
        {"01/YY/2001", 5, "Can't extract Day string: 01/YY/2001 substring: YY"},
        {"01/02 1.5", 5, "Can't extract Year string: 01/02 substring: "},
        {"13/02/03", 1, "Can't extract Month string: 13/02/03 substring: 13"},
        {"32.01.03", 4, "Can't extract Day string: 32.01.03 substring: 32"},
        {"2001/13/02", 12, "Can't extract Month string: 2001/13/02 substring: 13"},
        {"2001/02/13", 13, "Can't extract Month string: 2001/02/13 substring: 13"},
        {"13/32/2001", 15, "Can't extract Day string: 13/32/2001 substring: 32"},
        {"011302", 0, "13 not a month"},
        {"010232", 0, "32 not a day"},
        {"0102Y3", 0, "Y3 not a day"},
        {"YY0203", 0, "YY not a year"},
        {"01023", 0, ""},
        {"2001023", 14, "Error in data string"},
        {"20011303", 14, "20011303 Can't extract month"},
        {"20010232", 14, "20010232 Can't extract day"},
        {"Y0010203", 14, "Y0010203 Can't extract year"},
        {"15 2001 1.5", 9, "Can't extract month from string: 15"},
        {"32 January, 2001", 9, "Can't extract Day string: 32_JANUARY__2001 substring: 32"},
        {"January 0, 2001", 10, "Can't extract Day string: JANUARY_0__2001 substring: 0"},
        {"32 JAN 01", 11, ""},
        {"15 XYZ 01", 11, ""},
        {"January, YY", 17, "Can't extract Year string: 1_JANUARY__YY substring: YY"},
        {"2001, 1.5", 18, "Can't extract month from string: 1-2001"},
        {"Y 1.5", 19, "Can't extract Year string: 1/1/Y substring: Y"},
        {"2001.10.15", 20, "Can't extract Day string: 2001.10.15 substring: 15"},
        {"2001.13", 20, "Can't extract Month string: 2001.13 substring: 13"},
        {"10.2001", 20, "Can't extract Month string: 10.2001 substring: 2001"},
        {"13.2001", 21, "Can't extract Month string: 13.2001 substring: 13"},
        {"10.2001.15", 21, "Can't extract Day string: 10.2001.15 substring: 15"},
        {"01/02/3101", 5, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.line) + " layout " + std::to_string(row.layout));
        const Outcome out = Parse(row.line, row.layout, 0);
        EXPECT_FALSE(out.ok);
        EXPECT_EQ(out.error, row.error);
    }
}

TEST(ParseDateText, RejectsYearsAbove3100InEveryLayout) {
    struct Row {
        const char* line;
        int layout;
    };
    const Row rows[] = {
        {"3101/01/02", 12}, {"01/02/3101", 5},    {"02.01.3101", 8},     {"31010102", 14},
        {"3101 1.5", 19},   {"3101.10", 20},      {"10.3101", 21},       {"15 JAN 3101", 9},
        {" 3/ 4/3101", 15}, {"JAN 15, 3101", 10}, {"JANUARY, 3101", 17},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        EXPECT_FALSE(Parse(row.line, row.layout, 0).ok);
        std::string at_limit = row.line;
        at_limit.replace(at_limit.find("3101"), 4, "3100");
        const Outcome out = Parse(at_limit, row.layout, 0);
        EXPECT_TRUE(out.ok) << out.error;
        EXPECT_EQ(out.date.year, 3100);
    }
}

TEST(ParseDateText, WidensShortYearsOnlyWithTheFlag) {
    struct Row {
        const char* line;
        bool short_year;
        int year;
    };
    const Row rows[] = {
        {"01/02/03", true, 2003},    {"01/02/03", false, 3},    {"01/02/0", true, 2000},
        {"01/02/60", true, 2060},    {"01/02/61", true, 1961},  {"01/02/75", true, 1975},
        {"01/02/150", true, 2050},   {"01/02/200", true, 2100}, {"01/02/201", true, 201},
        {"01/02/2001", false, 2001},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.line) + (row.short_year ? " short" : " long"));
        const Outcome out = Parse(row.line, 5, 0, EnglishRegionalNames(), row.short_year);
        ASSERT_TRUE(out.ok);
        EXPECT_EQ(out.date.year, row.year);
    }
    // Month-name layouts with a two-digit year rely on the flag alone.
    EXPECT_EQ(Parse("January, 99", 17, 0).date.year, 1999);
    EXPECT_EQ(Parse("January, 99", 17, 0, EnglishRegionalNames(), false).date.year, 99);
}

TEST(ParseDateText, ReadsEveryTimeLayout) {
    struct Row {
        const char* line;
        int layout;
        bool ok;
        int hours, minutes, seconds;
    };
    const Row rows[] = {
        {"01/02/2001 1.5", 0, true, 0, 0, 0},
        {"01/02/2001;21:45:15;1.5", 1, true, 21, 45, 15},
        {"01/02/2001 21:45 1.5", 1, true, 21, 45, 0},
        {"01/02/2001 24:60:60 1.5", 1, true, 24, 60, 60},
        {"01/02/2001 25:00:00 1.5", 1, false, 0, 0, 0},
        {"01/02/2001 21:61 1.5", 1, false, 0, 0, 0},
        {"01/02/2001 21 1.5", 1, false, 0, 0, 0},
        {"01/02/2001 9:45pm 1.5", 1, false, 0, 0, 0},
        {"01/02/2001 9:45pm 1.5", 2, true, 21, 45, 0},
        {"01/02/2001 12:30am 1.5", 2, true, 0, 30, 0},
        {"01/02/2001 12:30pm 1.5", 2, true, 12, 30, 0},
        {"01/02/2001 9:45 pm 1.5", 2, true, 21, 45, 0},
        {"01/02/2001 9:45:30AM 1.5", 2, true, 9, 45, 30},
        {"01/02/2001 9:45 1.5", 2, false, 0, 0, 0},
        {"01/02/2001;9:45 pm;1.5", 2, false, 0, 0, 0},
        {"01/02/2001;9:45pm;1.5", 2, true, 21, 45, 0},
        {"01/02/2001 21:45:15 1.5", 3, true, 21, 45, 15},
        {"01/02/2001;21:45 1.5", 3, false, 0, 0, 0},
        {"01/02/2001 9:45PM 1.5", 3, false, 0, 0, 0},
        {"01/02/2001 9:45pm 1.5", 4, true, 21, 45, 0},
        {"01/02/2001 945 1.5", 5, true, 9, 45, 0},
        {"01/02/2001 2400 1.5", 5, true, 24, 0, 0},
        {"01/02/2001 2160 1.5", 5, false, 0, 0, 0},
        {"01/02/2001 21:45 1.5", 5, false, 0, 0, 0},
        {"01/02/2001 94 1.5", 5, false, 0, 0, 0},
        {"01/02/2001;21:45;1.5", 6, true, 21, 45, 0},
        {"01/02/2001 9:45pm 1.5", 6, false, 0, 0, 0},
        {"01/02/2001 94515 1.5", 7, true, 9, 45, 15},
        {"01/02/2001;214515;1.5", 7, true, 21, 45, 15},
        {"01/02/2001 214560 1.5", 7, false, 0, 0, 0},
        {"01/02/2001 2145 1.5", 7, false, 0, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.line) + " time layout " + std::to_string(row.layout));
        const Outcome out = Parse(row.line, 5, row.layout);
        ASSERT_EQ(out.ok, row.ok);
        EXPECT_EQ(out.error, "");
        if (!row.ok) continue;
        EXPECT_EQ(out.date.hours, row.hours);
        EXPECT_EQ(out.date.minutes, row.minutes);
        EXPECT_EQ(out.date.seconds, row.seconds);
        EXPECT_EQ(out.date.day, 2);
    }
}

TEST(ParseDateText, LeavesAMarkedTimeToTheTwelveHourLayouts) {
    const char* line = "01/02/2001 9:45pm 1 2 3 4";
    for (const int layout : {1, 3, 6}) {
        SCOPED_TRACE(layout);
        EXPECT_FALSE(Parse(line, 5, layout).ok);
    }
    for (const int layout : {2, 4}) {
        SCOPED_TRACE(layout);
        const Outcome out = Parse(line, 5, layout);
        ASSERT_TRUE(out.ok);
        EXPECT_EQ(out.date.hours, 21);
        EXPECT_EQ(out.date.minutes, 45);
    }
}

TEST(ParseDateText, HandsBackTheRestOfTheLine) {
    struct Row {
        const char* line;
        int date_layout, time_layout;
        std::size_t max_length;
        const char* rest;
    };
    const Row rows[] = {
        {"01/02/2001 1.5 1.6", 5, 0, 255, " 1.5 1.6"},
        {"\"01/02/2001\",1.5", 5, 0, 255, " ,1.5"},
        {"01/02/2001,09:45,1.5,1.6", 5, 3, 255, ",1.5,1.6"},
        {"01/02/2001 9:45 pm 1.5", 5, 4, 255, " 1.5"},
        {"01/02/2001 1.5 1.6", 5, 0, 4, " 1.5"},
        {"01/02/2001 1.5 1.6", 5, 0, 0, ""},
        {"01/02/2001", 5, 0, 255, ""},
        {"13/02/2001 1.5", 5, 0, 255, " 1.5"},
        {"15 january, 2001 1.5", 9, 0, 255, " 1.5"},
        {"01/02/2001", 5, 1, 255, "01/02/2001"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        EXPECT_EQ(Parse(row.line, row.date_layout, row.time_layout, EnglishRegionalNames(), true,
                        row.max_length)
                      .rest,
                  row.rest);
    }
}

TEST(ParseDateText, FailsEmptyAndBlankLinesInEveryLayout) {
    for (const char* line : {"", "   ", "\t \t"}) {
        for (int date_layout = 0; date_layout < DateLayoutCount; ++date_layout) {
            for (int time_layout = 0; time_layout < TimeLayoutCount; ++time_layout) {
                SCOPED_TRACE(std::to_string(date_layout) + "/" + std::to_string(time_layout));
                EXPECT_FALSE(Parse(line, date_layout, time_layout).ok);
            }
        }
    }
}

TEST(ParseDateText, FailsLayoutNumbersOutOfRange) {
    EXPECT_FALSE(Parse("01/02/2001 1.5", 24, 0).ok);
    EXPECT_FALSE(Parse("01/02/2001 1.5", -1, 0).ok);
    EXPECT_FALSE(Parse("01/02/2001 1.5", 5, 9).ok);
}

TEST(ParseDateText, ReadsIsoEpochAndFractionalStamps) {
    struct Row {
        const char* line;
        int date_layout, time_layout;
        ParsedDate want;
        const char* rest;
    };
    const Row rows[] = {
        {"2024-02-01T14:30:00Z,100.25", 12, 8, {2024, 2, 1, 14, 30, 0, 0, 0, true}, ",100.25"},
        {"2024-02-01t14:30:00.123+01:00 1",
         12,
         8,
         {2024, 2, 1, 14, 30, 0, 123000000, 60, true},
         " 1"},
        {"2024-02-01 14:30:00.5-05:00 1",
         12,
         3,
         {2024, 2, 1, 14, 30, 0, 500000000, -300, true},
         " 1"},
        {"20240201T143000Z 1", 14, 8, {2024, 2, 1, 14, 30, 0, 0, 0, true}, " 1"},
        {"20240201T0930 1", 14, 8, {2024, 2, 1, 9, 30, 0, 0, 0, false}, " 1"},
        {"1706792400,1", 22, 8, {2024, 2, 1, 13, 0, 0, 0, 0, true}, ",1"},
        {"1706792400.25;1", 22, 8, {2024, 2, 1, 13, 0, 0, 250000000, 0, true}, ";1"},
        {"1706792400123 1", 23, 8, {2024, 2, 1, 13, 0, 0, 123000000, 0, true}, " 1"},
        {"4133980799 1", 22, 8, {2100, 12, 31, 23, 59, 59, 0, 0, true}, " 1"},
        {"01/02/2024,14:01:59.421,1", 5, 1, {2024, 1, 2, 14, 1, 59, 421000000, 0, false}, ",1"},
        {"20240102 143000.25 1", 14, 7, {2024, 1, 2, 14, 30, 0, 250000000, 0, false}, " 1"},
        {"01/02/2024 9:45:30.5pm 1", 5, 4, {2024, 1, 2, 21, 45, 30, 500000000, 0, false}, " 1"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        const Outcome got = Parse(row.line, row.date_layout, row.time_layout);
        ASSERT_TRUE(got.ok);
        const ParsedDate& d = got.date;
        EXPECT_EQ((std::array{d.year, d.month, d.day, d.hours, d.minutes, d.seconds, d.nanoseconds,
                              std::int32_t{d.offset_minutes}}),
                  (std::array{row.want.year, row.want.month, row.want.day, row.want.hours,
                              row.want.minutes, row.want.seconds, row.want.nanoseconds,
                              std::int32_t{row.want.offset_minutes}}));
        EXPECT_EQ(d.has_offset, row.want.has_offset);
        EXPECT_EQ(got.rest, row.rest);
    }
}

// A layout reads the whole date field and the whole time field.
TEST(ParseDateText, RefusesWhatIsLeftOverInTheStamp) {
    struct Row {
        const char* line;
        int date_layout, time_layout;
        const char* error;
    };
    const Row rows[] = {
        {"2024-02-01T14:30:00Z,100.25", 20, 0,
         "Can't extract Day string: 2024-02-01T14:30:00Z "
         "substring: 01T14:30:00Z"},
        {"2001.10.x 1.5", 20, 0, "Can't extract Day string: 2001.10.X substring: X"},
        {"01/02/2001/5 1.5", 5, 0, "Can't extract Date string: 01/02/2001/5 substring: 5"},
        {"15_January_2001_7 1.5", 9, 0,
         "Can't extract Date string: 15_JANUARY_2001_7_1.5 substring: 7"},
        {"01/02/2001 09:3x 1.5", 5, 1, ""},
        {"01/02/2001 X09:30 1.5", 5, 1, ""},
        {"01/02/2001 09:30: 1.5", 5, 1, ""},
        {"01/02/2001 09:30:00.1234567890 1.5", 5, 1, ""},
        {"01/02/2001 09:30+25:00 1.5", 5, 1, ""},
        {"01/02/2001 9:45pmx 1.5", 5, 4, ""},
        {"01/02/2001 143000Z 1.5", 5, 7, ""},
        {"01/02/2001 2145.5 1.5", 5, 5, ""},
        {"2024-02-01 1.5", 12, 8, ""},
        {"15 AUGUST 2001 1.5", 9, 8, ""},
        {"1706792400 1.5", 22, 0, ""},
        {"0000086400 1.5", 22, 8, ""},
        {"170679240 1.5", 22, 8, ""},
        {"4133980800 1.5", 22, 8, ""},
        {"17067924001 1.5", 22, 8, ""},
        {"1706792400x 1.5", 22, 8, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        const Outcome got = Parse(row.line, row.date_layout, row.time_layout);
        EXPECT_FALSE(got.ok);
        if (*row.error != 0) {
            EXPECT_EQ(got.error, row.error);
        }
    }
}

TEST(ParseDateText, IgnoresMonthNamesBeyondTheFirstThreeWords) {
    struct Row {
        const char* line;
        int time_layout;
    };
    const Row rows[] = {
        {"01/02/2001 1.5 1.6 1.4 1.55 DEC", 0},
        {"01/02/2001,09:45,1.5,1.6,1.4,1.55,100,MARKET CLOSED", 3},
        {"01/02/2001 1.5 1.6 1.4 1.55 DECK", 0},
        {"01/02/2001 1.5 1.6 1.4 1.55 \"June contract\"", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        const Outcome out = Parse(row.line, 5, row.time_layout);
        ASSERT_TRUE(out.ok) << out.error;
        EXPECT_EQ(out.date.month, 1);
        EXPECT_EQ(out.date.day, 2);
    }
}

TEST(ParseDateText, ReadsRegionalMonthNamesAndDesignators) {
    const RegionalNames dutch = DutchNames();
    struct Row {
        const char* line;
        int date_layout, time_layout;
        int month, day, hours;
    };
    const Row rows[] = {
        {"15 MAART 2001 1.5", 9, 0, 3, 15, 0},      {"15 maart, 2001 1.5", 9, 0, 3, 15, 0},
        {"15-mrt-2001 1.5", 9, 0, 3, 15, 0},        {"mei 15, 2001 1.5", 10, 0, 5, 15, 0},
        {"15 OKT 01 1.5", 11, 0, 10, 15, 0},        {"15 March 2001 1.5", 9, 0, 3, 15, 0},
        {"01/02/2001 9:45 NM 1.5", 5, 4, 1, 2, 21}, {"01/02/2001 9:45VM 1.5", 5, 2, 1, 2, 9},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        const Outcome out = Parse(row.line, row.date_layout, row.time_layout, dutch);
        ASSERT_TRUE(out.ok) << out.error;
        EXPECT_EQ(out.date.year, 2001);
        EXPECT_EQ(out.date.month, row.month);
        EXPECT_EQ(out.date.day, row.day);
        EXPECT_EQ(out.date.hours, row.hours);
    }
    // English names only know English months.
    EXPECT_FALSE(Parse("15 MEI 2001 1.5", 9, 0).ok);
}

TEST(NormaliseDateLine, JoinsMarkersAndMonthNameDates) {
    struct Row {
        const char* line;
        const char* normalised;
    };
    const Row rows[] = {
        {"15 January, 2001 1.5", "15_JANUARY__2001 1.5"},
        {"Mar-12-2001 1.5", "MAR_12_2001 1.5"},
        {"\"15 Jan 2001\",1.5", "_15_JAN_2001\",1.5"},
        {"01/02/2001 9:45 pm 1.5", "01/02/2001 9:45_PM 1.5"},
        {"01/02/2001 9:45 \t PM", "01/02/2001 9:45___PM"},
        {"01/02/2001;9:45 pm;1.5", "01/02/2001;9:45 PM;1.5"},
        {"\"01/02/2001\",1.5", " 01/02/2001 ,1.5"},
        {"01/02/2001 1.5 1.6 1.4 dec", "01/02/2001 1.5 1.6 1.4 DEC"},
        {"01/02/2001 1.5 dec", "01/02/2001_1.5_DEC"},
        {"caf\xe9 \xe9t\xe9", "CAF\xe9 \xe9T\xe9"},
        {"", ""},
    };
    const RegionalNames english = EnglishRegionalNames();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        ShortText line = row.line;
        NormaliseDateLine(line, english);
        EXPECT_EQ(line, row.normalised);
    }
}

TEST(MonthInText, TakesTheFirstMonthInNameOrder) {
    const RegionalNames english = EnglishRegionalNames();
    struct Row {
        const char* text;
        int month;
    };
    const Row rows[] = {
        {"15_JUNE_2001", 6}, {"DEC JAN", 1},    {"JUL JUNE", 6}, {"MAYBE", 5},
        {"SEPT", 9},         {"01/02/2001", 0}, {"", 0},         {"june", 0},
        {"X-MA-R", 0},       {"NOVEMBER", 11},  {"AUGUST", 8},   {"\xe9OCT", 10},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(MonthInText(row.text, english), row.month);
    }
}

TEST(MonthInText, SearchesRegionalNamesFirst) {
    RegionalNames names = DutchNames();
    // "MEI" is a regional name of May; the English "MAR" would give March.
    EXPECT_EQ(MonthInText("MAR MEI", names), 5);
    EXPECT_EQ(MonthInText("15 OKT", names), 10);
    // Names made of digits and a name beginning with a high byte are found.
    names.long_months[0] = "01";
    names.short_months[0] = "x";
    EXPECT_EQ(MonthInText("01/02/2001", names), 1);
    names.long_months[7] = "\xe9t\xe9";
    EXPECT_EQ(MonthInText("15 \xe9T\xe9 1999", names), 8);
    // An empty name never matches.
    names.long_months = {};
    names.short_months = {};
    EXPECT_EQ(MonthInText("15 MEI", names), 0);
    EXPECT_EQ(MonthInText("15 MARCH", names), 3);
    // Numeric regional names are ignored: "1" would be in every date.
    EXPECT_EQ(MonthInText("01/02/2001", NumericNames()), 0);
    EXPECT_EQ(MonthInText("15 FEB 2001", NumericNames()), 2);
}

// The plain search, name by name, that MonthInText must agree with.
int MonthInTextByPlainSearch(const std::string& text, const RegionalNames& names) {
    const auto upper = [](std::string name) {
        for (char& c : name) {
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        }
        return name;
    };
    const auto found = [&](const std::string& name) {
        return !name.empty() && text.find(upper(name)) != std::string::npos;
    };
    if (names.short_months[0] != "1") {
        for (int m = 0; m < 12; ++m) {
            if (found(names.long_months[static_cast<std::size_t>(m)])) return m + 1;
        }
        for (int m = 0; m < 12; ++m) {
            if (found(names.short_months[static_cast<std::size_t>(m)])) return m + 1;
        }
    }
    for (int m = 0; m < 12; ++m) {
        if (found(std::string(EnglishMonthNames.long_names[static_cast<std::size_t>(m)]))) {
            return m + 1;
        }
    }
    for (int m = 0; m < 12; ++m) {
        if (found(std::string(EnglishMonthNames.short_names[static_cast<std::size_t>(m)]))) {
            return m + 1;
        }
    }
    return 0;
}

TEST(MonthInText, AgreesWithAPlainSearchOfEveryName) {
    RegionalNames odd = DutchNames();
    odd.long_months[1] = "2/";
    odd.long_months[3] = "\xe9t\xe9";
    odd.short_months[6] = ".7";
    odd.short_months[9] = "";
    const RegionalNames name_sets[] = {EnglishRegionalNames(), DutchNames(), NumericNames(), odd};
    const char* texts[] = {
        "01/02/2001", "2/3/2001",        "1.7.2001",    "15_MAART_2001", "15 \xe9T\xe9", "\xe9",
        "",           "12/31/1999 9:45", "OKT_15__01",  "JUL JUNE",      "2001.10.15",   "-\"/,;:",
        "MEIDEC",     "15_MRT_2001",     "9:45_PM 1.5", "\xff\xfe 2/"};
    for (std::size_t set = 0; set < std::size(name_sets); ++set) {
        for (const char* text : texts) {
            SCOPED_TRACE(std::to_string(set) + " " + text);
            EXPECT_EQ(MonthInText(text, name_sets[set]),
                      MonthInTextByPlainSearch(text, name_sets[set]));
        }
    }
    EXPECT_EQ(MonthInText("2/3/2001", odd), 2);
    EXPECT_EQ(MonthInText("1.7.2001", odd), 7);
}

TEST(NumericMonthNames, AnswersWhetherJanuaryIsWrittenOne) {
    RegionalNames names = EnglishRegionalNames();
    EXPECT_FALSE(NumericMonthNames(names));
    EXPECT_TRUE(NumericMonthNames(NumericNames()));
    names.short_months[0] = "01";
    EXPECT_FALSE(NumericMonthNames(names));
    names.short_months[0] = "1.";
    EXPECT_FALSE(NumericMonthNames(names));
}

TEST(AmPmMarkerPosition, FindsAMarkerThatFollowsATime) {
    RegionalNames names = EnglishRegionalNames();
    names.am = "VORM";
    names.pm = "NACHMITTAGS";
    struct Row {
        const char* line;
        int position;
    };
    const Row rows[] = {
        {"9:45 PM", 6},
        {"9:45PM", 5},
        {"9:45 PM,1.5", 6},
        {"9:45 PM;1.5", 0},
        {"9:45 PMX", 0},
        {"AMZN 9:45 PM", 11},
        {"PM", 0},
        {"XPM", 0},
        {"9:45 AM 9:45 PM", 6},
        {"X_AM 9:45 AM", 0},
        {"9:45 VORM", 6},
        {"9:45 NACHMITTAG", 6},
        {"9:45 NACHMITTAGS", 0},
        {"9:45 vorm", 0},
        {"", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        EXPECT_EQ(AmPmMarkerPosition(row.line, names), row.position);
    }
    EXPECT_EQ(AmPmMarkerPosition("9:45 NACHM", NumericNames()), 0);
    EXPECT_EQ(AmPmMarkerPosition("9:45 NACHM", DutchNames()), 0);
}

TEST(AmPmKind, TellsAmFromPm) {
    const RegionalNames names = NumericNames();
    struct Row {
        const char* text;
        int kind;
    };
    const Row rows[] = {
        {"9:45PM", 1},   {"9:45AM", 0},     {"9:45_PM", 1},  {"12:30AM", 0},
        {"9:45", -1},    {"PM", -1},        {"9:45 PM", -1}, {"9:45XPM", -1},
        {"9:45VORM", 0}, {"9:45_NACHM", 1}, {"9:45pm", -1},  {"", -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(AmPmKind(row.text, names), row.kind);
    }
}

TEST(DateNames, PreparesRegionalNamesForTheSearch) {
    RegionalNames regional = DutchNames();
    regional.pm = "nachmittags";
    const DateNames names(regional);
    EXPECT_EQ(names.long_months()[2], "MAART");
    EXPECT_EQ(names.short_months()[4], "MEI");
    EXPECT_EQ(names.am(), "VM");
    EXPECT_EQ(names.pm(), "nachmittag");
    EXPECT_FALSE(names.numeric());
    EXPECT_FALSE(names.has_plain_name());
    EXPECT_TRUE(DateNames(NumericNames()).numeric());
    EXPECT_TRUE(DateNames(NumericNames()).has_plain_name());
    // Without regional names only the English ones are searched.
    const DateNames english_only;
    EXPECT_EQ(MonthInText("15 MARCH", english_only), 3);
    EXPECT_EQ(MonthInText("15 MAART", english_only), 0);
    EXPECT_EQ(MonthInText("15 MAART", names), 3);
    EXPECT_EQ(AmPmKind("9:45PM", english_only), 1);
}

TEST(LineSeparators, HoldTheCharactersOfTheirSets) {
    for (const char c : {'\0', '\t', ' ', '"', ','}) {
        SCOPED_TRACE(static_cast<int>(c));
        EXPECT_TRUE(LineSeparators.Contains(c));
        EXPECT_TRUE(LineSeparatorsNoSemicolon.Contains(c));
        EXPECT_TRUE(WordSeparators.Contains(c));
    }
    EXPECT_TRUE(LineSeparators.Contains(';'));
    EXPECT_FALSE(LineSeparatorsNoSemicolon.Contains(';'));
    EXPECT_FALSE(WordSeparators.Contains(';'));
    EXPECT_TRUE(WordSeparators.Contains('-'));
    EXPECT_FALSE(LineSeparators.Contains('-'));
    EXPECT_FALSE(LineSeparators.Contains('!'));
    for (const char c : {':', 'A', 'Z', 'a', 'z', '_', '\xc0', '\xff'}) {
        SCOPED_TRACE(static_cast<int>(c));
        EXPECT_TRUE(TimeFieldSeparators.Contains(c));
    }
    for (const char c : {'0', '9', '.', ' ', '\xbf'}) {
        SCOPED_TRACE(static_cast<int>(c));
        EXPECT_FALSE(TimeFieldSeparators.Contains(c));
    }
}

TEST(RegionalNamesFromLocale, GivesTheEnglishNamesInTheCLocale) {
    // The test program never calls setlocale, so it runs in the "C" locale.
    const RegionalNames names = RegionalNamesFromLocale();
    const RegionalNames english = EnglishRegionalNames();
    EXPECT_EQ(names.long_months, english.long_months);
    EXPECT_EQ(names.short_months, english.short_months);
    EXPECT_EQ(names.am, "AM");
    EXPECT_EQ(names.pm, "PM");
    EXPECT_EQ(english.long_months[8], "September");
    EXPECT_EQ(english.short_months[11], "Dec");
}

// Lines of digits and separators are read in one pass when they have the
// common shape. A designator that no line holds ("#") makes every line go the
// full way, so the two readings can be compared: over random lines built from
// date parts, separators, times and tails, in every layout pair, they must
// agree in outcome, date, rest and reason.
TEST(ParseDateText, ReadsPlainLinesAsTheFullReadingDoes) {
    RegionalNames full_names = EnglishRegionalNames();
    full_names.am = "#";
    const DateNames quick(EnglishRegionalNames());
    const DateNames full(full_names);
    ASSERT_FALSE(quick.has_plain_designator());
    ASSERT_TRUE(full.has_plain_designator());

    const char* const numbers[] = {"1",          "01",     "12",      "13",   "0",    "00",
                                   "31",         "32",     "9",       "2001", "1999", "123456789",
                                   "1234567890", "",       "50",      "51",   "200",  "3100",
                                   "3101",       "060523", "20010102"};
    const char* const separators[] = {"/", "/", "/", "-",  ".", ".",  "/", ".",
                                      " ", ",", ";", "\t", ":", "//", "/ "};
    const char* const gaps[] = {",", " ", ";", ",", " ", ";", "\t", "  ", ", ", "", "\"", ";;"};
    const char* const times[] = {"09:45",  "23:59:59", "00:00", "12:30:15", "9:5",
                                 "24:00",  "24:60:60", "25:00", "09:45:",   "0945",
                                 "094507", "09:45:07", "",      "9:45pm",   "09:61",
                                 "123:00", "09::45",   "0:0:0", "09:45:7",  "09:45:071"};
    const char* const tails[] = {",1.5,1.6", " 1.5", "", ";x", "  ", ",,1", ";1;2", "\"1\"", ":3"};
    const auto pick = [](std::uint64_t& state, std::size_t count) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::size_t>((state >> 33) % count);
    };
    std::uint64_t state = 7;
    int differences = 0;
    int plain_successes = 0;
    for (int k = 0; k < 100000; ++k) {
        const int date_layouts[] = {1, 2, 3, 4, 5, 6, 7, 8, 12, 13, 0, 9, 14, 15, 16, 19, 21};
        const int date_layout =
            pick(state, 2) == 0 ? static_cast<int>(pick(state, 22)) : date_layouts[pick(state, 10)];
        std::string line;
        if (pick(state, 2) == 0) {
            line = numbers[pick(state, std::size(numbers))];
            line += separators[pick(state, std::size(separators))];
            line += numbers[pick(state, std::size(numbers))];
            line += separators[pick(state, std::size(separators))];
            line += numbers[pick(state, std::size(numbers))];
        } else {
            // A date in the order of its layout, mostly well formed.
            const std::string month = std::to_string(1 + pick(state, 13));
            const std::string day = std::to_string(pick(state, 33));
            const std::string year = numbers[pick(state, std::size(numbers))];
            const bool year_first = date_layout == 12 || date_layout == 13;
            const bool day_first = date_layout == 2 || date_layout == 4 || date_layout == 6 ||
                                   date_layout == 8 || date_layout == 13;
            std::string separator =
                (date_layout == 3 || date_layout == 4 || date_layout == 7 || date_layout == 8)
                    ? "."
                    : "/";
            if (pick(state, 4) == 0) separator = separators[pick(state, std::size(separators))];
            const std::string& first = day_first ? day : month;
            const std::string& second = day_first ? month : day;
            line = year_first ? year + separator + first + separator + second
                              : first + separator + second + separator + year;
        }
        line += gaps[pick(state, std::size(gaps))];
        line += times[pick(state, std::size(times))];
        line += tails[pick(state, std::size(tails))];
        if (pick(state, 4) == 0) {
            // One character changed anywhere.
            const std::string_view noise = "0123456789/.-:;, \t";
            line[pick(state, line.size())] = noise[pick(state, noise.size())];
        }
        // Mostly the layouts the quick reading takes.
        const int time_layouts[] = {0, 1, 3, 6, 0, 1, 3, 6, 2, 4, 5, 7};
        const int time_layout = time_layouts[pick(state, std::size(time_layouts))];
        const bool short_year = pick(state, 2) == 0;
        const std::size_t rest_max = pick(state, 4) == 0 ? 3 : 255;
        const auto parse = [&](const DateNames& names) {
            Outcome out;
            out.error = "stale";
            out.ok = ParseDateText(line, static_cast<DateLayout>(date_layout),
                                   static_cast<TimeLayout>(time_layout), short_year, names,
                                   out.date, out.rest, rest_max, &out.error);
            return out;
        };
        const Outcome got = parse(quick);
        const Outcome want = parse(full);
        const bool same = got.ok == want.ok && got.rest == want.rest && got.error == want.error &&
                          got.date.year == want.date.year && got.date.month == want.date.month &&
                          got.date.day == want.date.day && got.date.hours == want.date.hours &&
                          got.date.minutes == want.date.minutes &&
                          got.date.seconds == want.date.seconds;
        if (got.ok) ++plain_successes;
        if (!same && ++differences <= 5) {
            ADD_FAILURE() << "\"" << line << "\" layouts " << date_layout << ", " << time_layout
                          << ": ok " << got.ok << " vs " << want.ok << ", rest \"" << got.rest
                          << "\" vs \"" << want.rest << "\"";
        }
    }
    EXPECT_GT(plain_successes, 3000);
    EXPECT_EQ(differences, 0);
}

TEST(ParseDateTextView, HandsBackTheRestWhereItLies) {
    struct Row {
        const char* line;
        int date_layout, time_layout;
        std::size_t max_length;
        bool ok;
        const char* rest;
        bool in_line;  // the rest is a view into the line, not the store
    };
    const Row rows[] = {
        {"01/02/2001,09:45,1.5,1.6", 5, 6, 255, true, ",1.5,1.6", true},
        {"01/02/2001 1.5 1.6", 5, 0, 4, true, " 1.5", true},
        {"13/02/2001 1.5", 5, 0, 255, false, " 1.5", true},
        {"01/02/2001 9:45 pm 1.5", 5, 4, 255, true, " 1.5", false},
        {"\"01/02/2001\",1.5", 5, 0, 255, true, " ,1.5", false},
        {"15 january, 2001 x", 9, 0, 255, true, " X", false},
        {"2001", 19, 0, 255, true, "", false},
        {"01/02/2001", 5, 1, 255, false, "01/02/2001", true},
    };
    const DateNames names;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        const std::string line = row.line;
        ParsedDate date;
        std::string_view rest;
        ShortText store = "stale";
        const bool ok = ParseDateTextView(line, static_cast<DateLayout>(row.date_layout),
                                          static_cast<TimeLayout>(row.time_layout), true, names,
                                          date, rest, store, row.max_length);
        EXPECT_EQ(ok, row.ok);
        EXPECT_EQ(rest, row.rest);
        const bool in_line = rest.data() >= line.data() && rest.data() <= line.data() + line.size();
        EXPECT_EQ(in_line, row.in_line);
        // ParseDateText gives the same, copied.
        const Outcome copied = Parse(row.line, row.date_layout, row.time_layout,
                                     EnglishRegionalNames(), true, row.max_length);
        EXPECT_EQ(copied.ok, ok);
        EXPECT_EQ(copied.rest, rest);
        EXPECT_EQ(copied.date.year, date.year);
        EXPECT_EQ(copied.date.hours, date.hours);
    }
}

}  // namespace
}  // namespace varn
