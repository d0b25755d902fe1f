#include "calendar/zone_shift.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "calendar/calendar.h"

namespace varn {
namespace {

const Zone* Find(const char* name) {
    std::string reason;
    const Zone* zone = FindZone(name, reason);
    EXPECT_NE(zone, nullptr) << name << ": " << reason;
    return zone;
}

// "2024-03-08 14:30" and "2024-07-01 13:30+60" (an offset in minutes) as read.
ParsedDate At(const char* text) {
    ParsedDate date;
    int offset = 0;
    date.has_offset = std::sscanf(text, "%d-%d-%d %d:%d%d", &date.year, &date.month, &date.day,
                                  &date.hours, &date.minutes, &offset) == 6;
    date.offset_minutes = static_cast<std::int16_t>(offset);
    return date;
}

std::string Text(const ParsedDate& d) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", d.year, d.month, d.day, d.hours,
                  d.minutes);
    return text;
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

// The names listed are the names found, each as the database spells it.
TEST(ZoneNames, ListsEveryNameFindZoneFindsInOrder) {
    const std::vector<std::string> names = ZoneNames();
    ASSERT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_TRUE(std::binary_search(names.begin(), names.end(), "America/New_York"));
    for (const std::string& name : names) {
        std::string reason;
        const Zone* zone = FindZone(name, reason);
        ASSERT_NE(zone, nullptr) << name << ": " << reason;
        EXPECT_EQ(ZoneName(*zone), name);
    }
}

// Across both changes of clock of 2024 in New York (10 March, 3 November)
// and London (31 March, 27 October), by hand: GMT/BST is UTC+0/+1, EST/EDT
// UTC-5/-4, Tokyo UTC+9 all year.
TEST(ShiftZone, MovesWallTimesAcrossTheChangesOfClock) {
    const Zone* ln = Find("Europe/London");
    const Zone* ny = Find("America/New_York");
    const Zone* utc = Find("UTC");
    struct Row {
        const char* name;
        ZoneShift shift;
        const char* date;
        std::string want;  // the wall time moved (" twice": lived twice), or the reason's words
    };
    const Row rows[] = {
        {"winter, both standard", {ln, ny}, "2024-03-08 14:30", "2024-03-08 09:30"},
        {"New York moved, London not", {ln, ny}, "2024-03-11 14:30", "2024-03-11 10:30"},
        {"both in summer time", {ln, ny}, "2024-04-02 14:30", "2024-04-02 09:30"},
        {"London back, New York not", {ln, ny}, "2024-10-28 14:30", "2024-10-28 10:30"},
        {"both back", {ln, ny}, "2024-11-04 14:30", "2024-11-04 09:30"},
        {"across midnight", {ln, ny}, "2024-01-02 03:00", "2024-01-01 22:00"},
        {"hour 24 carries", {ny, ln}, "2023-12-31 24:00", "2024-01-01 05:00"},
        {"New York's hour lived twice", {ny, ln}, "2024-11-03 01:30", "2024-11-03 05:30 twice"},
        {"the minute after it", {ny, ln}, "2024-11-03 02:00", "2024-11-03 07:00"},
        {"London's hour lived twice", {ln, ny}, "2024-10-27 01:30", "2024-10-26 20:30 twice"},
        {"before London goes forward", {ln, ny}, "2024-03-31 00:59", "2024-03-30 20:59"},
        {"Tokyo, after 2037 too",
         {Find("Asia/Tokyo"), utc},
         "2040-07-01 09:00",
         "2040-07-01 00:00"},
        {"Z, no zone in", {nullptr, ny}, "2024-07-01 13:30+0", "2024-07-01 09:30"},
        {"+01:00 wins over a zone in", {utc, ny}, "2024-07-01 14:30+60", "2024-07-01 09:30"},
        {"the word of the first lines", {utc, ny, "UTC"}, "2024-07-01 13:30", "2024-07-01 09:30"},
        {"no offset, no zone in", {nullptr, ny}, "2024-07-01 13:30", "with --zone-in"},
        {"another word", {utc, ny, "GMT"}, "2024-07-01 13:30", "not marked GMT"},
        {"a wall time that never was",
         {ny, utc},
         "2024-03-10 02:30",
         "02:30:00 does not exist in America/New_York that day: the clocks went forward"},
        {"summer time past the tables",
         {nullptr, ny},
         "2040-07-01 00:00+0",
         "no dates for America/New_York from 2037-11-01 on"},
        {"the same in the zone in", {ny, utc}, "2040-01-01 00:00", "no dates for America/New_York"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ParsedDate date = At(row.date);
        date.nanoseconds = 250;
        bool repeated = false;
        ShortText reason;
        if (ShiftZone(row.shift, date, "UTC", repeated, &reason)) {
            EXPECT_EQ(Text(date) + (repeated ? " twice" : ""), row.want);
            EXPECT_EQ(date.nanoseconds, 250);
        } else {
            EXPECT_EQ(Text(date), Text(At(row.date))) << "left as it was";
            EXPECT_NE(std::string(reason).find(row.want), std::string::npos) << reason;
        }
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
            const std::string utc = Text(date);
            bool repeated = false;
            ASSERT_TRUE(ShiftZone(to_new_york, date, "", repeated));
            date.has_offset = false;
            ASSERT_TRUE(ShiftZone(back, date, "", repeated));
            repeated_count += repeated ? 1 : 0;
            if (Text(date) != utc) {
                ++moved;  // the second pass comes back an hour early
                EXPECT_TRUE(repeated && date.hours + 1 == At(utc.c_str()).hours) << utc;
            }
        }
        EXPECT_EQ(repeated_count, 8);  // both passes of 01:00 to 01:45 on 3 November
        EXPECT_EQ(moved, 4);
    }
}

}  // namespace
}  // namespace varn
