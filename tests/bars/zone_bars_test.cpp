// Bars in a time zone: London-time lines into New York days and sessions
// across the changes of clock of 2024 (GMT/BST is UTC+0/+1 from 31 March to
// 27 October, EST/EDT UTC-5/-4 from 10 March to 3 November), times with
// offsets and epoch stamps, and the lines and zones that cannot be read.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bars/bar_input.h"
#include "bars/build_bars.h"

namespace varn {
namespace {

using Lines = std::vector<std::string>;

// A line "moment,n,n,n,n": a bar's open and close tell its first and last line.
std::string At(const std::string& moment, int n) {
    const std::string p = std::to_string(n);
    return moment + "," + p + "," + p + "," + p + "," + p;
}

struct Row {
    const char* name;
    Lines lines;
    std::string zone_in, zone_out;
    BarPeriod period = BarPeriod::Day;
    int session = 0;
    std::vector<std::string> want;  // the bars; empty with a failure
    std::string said = {};          // in a note, the first skip's reason or the failure
    DateLayout date = DateLayout::MMDDYYYYSlash;
    TimeLayout time = TimeLayout::SemicolonHms;
};

const Lines kSpring = {
    At("03/08/2024,04:00:00", 11), At("03/08/2024,06:00:00", 12), At("03/09/2024,04:30:00", 13),
    At("03/11/2024,03:30:00", 14), At("03/11/2024,04:30:00", 15), At("03/29/2024,03:30:00", 21),
    At("03/29/2024,04:30:00", 22), At("04/02/2024,04:30:00", 23), At("04/02/2024,05:30:00", 24),
};
const Lines kAutumn = {
    At("10/25/2024,08:00:00", 41), At("10/25/2024,21:30:00", 42), At("10/25/2024,22:30:00", 43),
    At("10/28/2024,21:30:00", 44), At("11/04/2024,21:30:00", 45), At("11/04/2024,22:30:00", 46),
};

TEST(RunBars, MakesBarsInTheZoneOut) {
    const Row rows[] = {
        {"as written without a zone out: London days, as before",
         kSpring,
         "Europe/London",
         "",
         BarPeriod::Day,
         0,
         {"3.8.2024 6:0 11.00 12.00 11.00 12.00", "3.9.2024 4:30 13.00 13.00 13.00 13.00",
          "3.11.2024 4:30 14.00 15.00 14.00 15.00", "3.29.2024 4:30 21.00 22.00 21.00 22.00",
          "4.2.2024 5:30 23.00 24.00 23.00 24.00"},
         "moves nothing"},
        {"New York days across both spring changes",
         kSpring,
         "Europe/London",
         "America/New_York",
         BarPeriod::Day,
         0,
         {"3.7.2024 23:0 11.00 11.00 11.00 11.00", "3.8.2024 23:30 12.00 13.00 12.00 13.00",
          "3.10.2024 23:30 14.00 14.00 14.00 14.00", "3.11.2024 0:30 15.00 15.00 15.00 15.00",
          "3.28.2024 23:30 21.00 21.00 21.00 21.00", "3.29.2024 0:30 22.00 22.00 22.00 22.00",
          "4.1.2024 23:30 23.00 23.00 23.00 23.00", "4.2.2024 0:30 24.00 24.00 24.00 24.00"}},
        {"17:00 New York sessions across both autumn changes",
         kAutumn,
         "Europe/London",
         "America/New_York",
         BarPeriod::Day,
         -420,
         {"10.25.2024 16:30 41.00 42.00 41.00 42.00", "10.25.2024 17:30 43.00 43.00 43.00 43.00",
          "10.28.2024 17:30 44.00 44.00 44.00 44.00", "11.4.2024 16:30 45.00 45.00 45.00 45.00",
          "11.4.2024 17:30 46.00 46.00 46.00 46.00"}},
        {"Z and offsets, no zone in",
         {At("2024/07/01T06:45:00-05:00", 50), At("2024/07/01T13:30:00Z", 51),
          At("2024/07/01T15:30:00+01:00", 52)},
         "",
         "America/New_York",
         BarPeriod::Hour,
         0,
         {"7.1.2024 7:45 50.00 50.00 50.00 50.00", "7.1.2024 9:30 51.00 51.00 51.00 51.00",
          "7.1.2024 10:30 52.00 52.00 52.00 52.00"},
         "",
         DateLayout::YYYYMMDDSlash,
         TimeLayout::InDate},
        {"offsets win over the zone in",
         {At("2024/07/01T13:30:00Z", 51)},
         "Asia/Tokyo",
         "America/New_York",
         BarPeriod::Hour,
         0,
         {"7.1.2024 9:30 51.00 51.00 51.00 51.00"},
         "(Asia/Tokyo) is not used",
         DateLayout::YYYYMMDDSlash,
         TimeLayout::InDate},
        {"epoch seconds are UTC",
         {At("1719840600", 61), At("1719844200", 62)},
         "",
         "America/New_York",
         BarPeriod::Hour,
         0,
         {"7.1.2024 9:30 61.00 61.00 61.00 61.00", "7.1.2024 10:30 62.00 62.00 62.00 62.00"},
         "",
         DateLayout::UnixSeconds,
         TimeLayout::InDate},
        {"New York's skipped and doubled hours into UTC",
         {At("03/10/2024,01:30:00", 71), At("03/10/2024,02:30:00", 72),
          At("03/10/2024,03:30:00", 73), At("11/03/2024,01:15:00", 74),
          At("11/03/2024,01:45:00", 75), At("11/03/2024,02:15:00", 76)},
         "America/New_York",
         "UTC",
         BarPeriod::Hour,
         0,
         {"3.10.2024 6:30 71.00 71.00 71.00 71.00", "3.10.2024 7:30 73.00 73.00 73.00 73.00",
          "11.3.2024 5:45 74.00 75.00 74.00 75.00", "11.3.2024 7:15 76.00 76.00 76.00 76.00"},
         "2 lines fall in the hour the clocks went back in America/New_York; read as its first "
         "pass"},
        {"the zone word of the lines; another word is refused",
         {At("03/08/2024,04:00:00 Europe/London", 11), At("03/08/2024,06:00:00 UTC", 12),
          At("03/08/2024,07:00:00 Europe/London", 13)},
         "",
         "America/New_York",
         BarPeriod::Day,
         0,
         {"3.7.2024 23:0 11.00 11.00 11.00 11.00", "3.8.2024 2:0 13.00 13.00 13.00 13.00"},
         "the times are marked EUROPE/LONDON: read in Europe/London"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        BarChoices choices;
        choices.date_layout = row.date;
        choices.time_layout = row.time;
        choices.period = row.period;
        choices.session_offset_minutes = row.session;
        choices.zone_in = row.zone_in;
        choices.zone_out = row.zone_out;
        BarInputLines store;
        for (const std::string& line : row.lines) store.Append(line);
        std::vector<std::string> bars;
        const JobReport report =
            RunBars(LineSource::Lines(store, "lines"), Destination::Lines(bars), choices);
        ASSERT_TRUE(report.ok()) << report.status.Message();
        EXPECT_EQ(bars, row.want);
        std::string said;
        for (const std::string& note : report.notes) said += note + "\n";
        for (const SkippedLine& skip : report.first_skipped) said += skip.reason + "\n";
        EXPECT_NE(said.find(row.said), std::string::npos) << said;
    }
}

TEST(RunBars, RefusesZonesItCannotUse) {
    const Row rows[] = {
        {"unknown zone out",
         kSpring,
         "Europe/London",
         "Europe/Lundon",
         BarPeriod::Day,
         0,
         {},
         "'Europe/Lundon' is not a time zone"},
        {"unknown zone in", kSpring, "Mars/Olympus", "", BarPeriod::Day, 0, {}, "Mars/Olympus"},
        {"times without a zone",
         kSpring,
         "",
         "America/New_York",
         BarPeriod::Day,
         0,
         {},
         "the times carry no zone: give the zone they are written in with --zone-in"},
        {"a word that is no zone",
         {At("03/08/2024,04:00:00 BST", 11)},
         "",
         "UTC",
         BarPeriod::Day,
         0,
         {},
         "the times are marked BST, which is no zone"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        BarChoices choices;
        choices.date_layout = row.date;
        choices.time_layout = row.time;
        choices.zone_in = row.zone_in;
        choices.zone_out = row.zone_out;
        BarInputLines store;
        for (const std::string& line : row.lines) store.Append(line);
        std::vector<std::string> bars;
        const JobReport report =
            RunBars(LineSource::Lines(store, "lines"), Destination::Lines(bars), choices);
        EXPECT_EQ(report.status.error.category(), ZoneError(ZoneFault::UnknownZone).category());
        EXPECT_NE(report.status.Message().find(row.said), std::string::npos)
            << report.status.Message();
        EXPECT_TRUE(bars.empty());
        const JobReport detected = RunDetect(LineSource::Lines(store, "lines"), choices);
        EXPECT_EQ(detected.status.error, report.status.error);
    }
}

}  // namespace
}  // namespace varn
