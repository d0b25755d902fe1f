#include "calendar/zone_shift.h"

#include <gtest/gtest.h>

#include <string>

#include "calendar/calendar.h"

namespace varn {
namespace {

const Zone* Find(const char* name) {
    std::string reason;
    const Zone* zone = FindZone(name, reason);
    EXPECT_NE(zone, nullptr) << name << ": " << reason;
    return zone;
}

ParsedDate At(int year, int month, int day, int hours, int minutes) {
    return ParsedDate{year, month, day, hours, minutes, 0};
}

TEST(FindZone, TakesTheDatabaseNamesInAnyCaseAndRefusesOthers) {
    EXPECT_EQ(ZoneName(*Find("america/new_york")), "America/New_York");
    EXPECT_EQ(ZoneName(*Find("US/EASTERN")), "US/Eastern");
    EXPECT_EQ(Find("Europe/London"), Find("EUROPE/LONDON"));
    for (const char* name : {"Europe/Lundon", "", "America/", "posixrules", "../etc/passwd"}) {
        SCOPED_TRACE(name);
        std::string reason;
        EXPECT_EQ(FindZone(name, reason), nullptr);
        EXPECT_NE(reason.find("timedatectl list-timezones"), std::string::npos) << reason;
    }
}

// London times into New York wall times across both changes of clock of 2024
// in each city (New York: 10 March, 3 November; London: 31 March, 27
// October), by hand: GMT/BST is UTC+0/+1, EST/EDT UTC-5/-4.
TEST(ShiftZone, MovesWallTimesAcrossTheChangesOfClock) {
    const Zone* london = Find("Europe/London");
    const Zone* new_york = Find("America/New_York");
    struct Row {
        const char* name;
        const Zone* in;
        const Zone* out;
        ParsedDate date;
        ParsedDate want;
        bool repeated = false;
    };
    const Row rows[] = {
        {"winter, both standard", london, new_york, At(2024, 3, 8, 14, 30), At(2024, 3, 8, 9, 30)},
        {"New York moved, London not", london, new_york, At(2024, 3, 11, 14, 30),
         At(2024, 3, 11, 10, 30)},
        {"both in summer time", london, new_york, At(2024, 4, 2, 14, 30), At(2024, 4, 2, 9, 30)},
        {"London back, New York not", london, new_york, At(2024, 10, 28, 14, 30),
         At(2024, 10, 28, 10, 30)},
        {"both back", london, new_york, At(2024, 11, 4, 14, 30), At(2024, 11, 4, 9, 30)},
        {"across midnight", london, new_york, At(2024, 1, 2, 3, 0), At(2024, 1, 1, 22, 0)},
        {"hour 24 carries", new_york, london, At(2023, 12, 31, 24, 0), At(2024, 1, 1, 5, 0)},
        {"New York's hour lived twice: first pass", new_york, london, At(2024, 11, 3, 1, 30),
         At(2024, 11, 3, 5, 30), true},
        {"the minute after it", new_york, london, At(2024, 11, 3, 2, 0), At(2024, 11, 3, 7, 0)},
        {"London's hour lived twice", london, new_york, At(2024, 10, 27, 1, 30),
         At(2024, 10, 26, 20, 30), true},
        {"the minute before London goes forward", london, new_york, At(2024, 3, 31, 0, 59),
         At(2024, 3, 30, 20, 59)},
        {"Tokyo keeps no summer time, after 2037 too", Find("Asia/Tokyo"), Find("UTC"),
         At(2040, 7, 1, 9, 0), At(2040, 7, 1, 0, 0)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ParsedDate date = row.date;
        date.nanoseconds = 250;
        bool repeated = false;
        ShortText reason;
        ASSERT_TRUE(ShiftZone(ZoneShift{row.in, row.out}, date, "", repeated, &reason)) << reason;
        EXPECT_EQ(std::make_tuple(date.year, date.month, date.day, date.hours, date.minutes),
                  std::make_tuple(row.want.year, row.want.month, row.want.day, row.want.hours,
                                  row.want.minutes));
        EXPECT_EQ(date.nanoseconds, 250);
        EXPECT_EQ(repeated, row.repeated);
    }
}

TEST(ShiftZone, TakesOffsetsAsInstantsAndRefusesWhatItCannotPlace) {
    const Zone* new_york = Find("America/New_York");
    struct Row {
        const char* name;
        ZoneShift shift;
        ParsedDate date;
        std::string_view word;
        int want_hours;  // -1: refused
        std::string_view reason;
    };
    const ParsedDate z{2024, 7, 1, 13, 30, 0, 0, 0, true};
    const ParsedDate plus_one{2024, 7, 1, 14, 30, 0, 0, 60, true};
    const ParsedDate plain = At(2024, 7, 1, 13, 30);
    const Row rows[] = {
        {"Z, without a zone in", {nullptr, new_york}, z, "", 9, ""},
        {"+01:00, whatever the zone in", {Find("Asia/Tokyo"), new_york}, plus_one, "", 9, ""},
        {"no offset, no zone in", {nullptr, new_york}, plain, "", -1, "--zone-in"},
        {"the word of the first lines", {Find("UTC"), new_york, "UTC"}, plain, "UTC", 9, ""},
        {"another word", {Find("UTC"), new_york, "UTC"}, plain, "GMT", -1, "not marked UTC"},
        {"a wall time that never was",
         {new_york, new_york},
         At(2024, 3, 10, 2, 30),
         "",
         -1,
         "02:30:00 does not exist in America/New_York that day: the clocks went forward"},
        {"summer time after the tables",
         {nullptr, new_york},
         ParsedDate{2040, 7, 1, 0, 0, 0, 0, 0, true},
         "",
         -1,
         "no dates for America/New_York from 2037-11-01 on"},
        {"the same as a zone in",
         {new_york, Find("UTC")},
         At(2040, 1, 1, 0, 0),
         "",
         -1,
         "no dates for America/New_York"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ParsedDate date = row.date;
        bool repeated = false;
        ShortText reason;
        const bool shifted = ShiftZone(row.shift, date, row.word, repeated, &reason);
        ASSERT_EQ(shifted, row.want_hours >= 0) << reason;
        EXPECT_EQ(date.hours, shifted ? row.want_hours : row.date.hours);
        EXPECT_NE(std::string(reason).find(row.reason), std::string::npos) << reason;
    }
}

// Every UTC quarter hour of 2024 into New York and back: the instant comes
// back except in the hour lived twice, read as its first pass; the thread's
// held intervals are crossed forward and backward.
TEST(ShiftZone, RoundTripsEveryQuarterHourOfAYear) {
    const ZoneShift to_new_york{nullptr, Find("America/New_York")};
    const ZoneShift back{Find("America/New_York"), Find("UTC")};
    const std::int64_t first = DayNumber(2024, 1, 1) * 96;
    const std::int64_t last = DayNumber(2025, 1, 1) * 96;
    for (const bool forward : {true, false}) {
        int repeated_count = 0;
        int moved = 0;
        for (std::int64_t n = 0; n < last - first; ++n) {
            const std::int64_t q = forward ? first + n : last - 1 - n;
            ParsedDate date{
                0, 0, 0, static_cast<int>(q % 96 / 4), static_cast<int>(q % 4 * 15), 0, 0, 0, true};
            DateOfDay(q / 96, date.year, date.month, date.day);
            const ParsedDate utc = date;
            bool repeated = false;
            ASSERT_TRUE(ShiftZone(to_new_york, date, "", repeated));
            date.has_offset = false;
            ASSERT_TRUE(ShiftZone(back, date, "", repeated));
            repeated_count += repeated ? 1 : 0;
            const bool same =
                date.day == utc.day && date.hours == utc.hours && date.minutes == utc.minutes;
            moved += same ? 0 : 1;
            // The second pass of the hour lived twice comes back an hour early.
            if (!same) {
                EXPECT_TRUE(repeated && date.hours + 1 == utc.hours) << utc.month;
            }
        }
        EXPECT_EQ(repeated_count, 8);  // both passes of 01:00 to 01:45 on 3 November
        EXPECT_EQ(moved, 4);
    }
}

}  // namespace
}  // namespace varn
