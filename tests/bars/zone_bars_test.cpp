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

// The pieces of text between "|".
std::vector<std::string> Split(const std::string& text) {
    std::vector<std::string> pieces(1);
    for (const char c : text) {
        if (c == '|') {
            pieces.emplace_back();
        } else {
            pieces.back().push_back(c);
        }
    }
    return pieces;
}

// Lines "moment n|..." become "moment,n,n,n,n": a bar's open and close tell
// its first and last line.
std::vector<std::string> Lines(const std::string& moments) {
    std::vector<std::string> lines;
    for (const std::string& m : Split(moments)) {
        const std::string n = m.substr(m.rfind(' ') + 1);
        lines.push_back(m.substr(0, m.rfind(' ')) + "," + n + "," + n + "," + n + "," + n);
    }
    return lines;
}

const std::vector<std::string> kSpring = Lines(
    "03/08/2024,04:00:00 11|03/08/2024,06:00:00 12|03/09/2024,04:30:00 13|03/11/2024,03:30:00 14|"
    "03/11/2024,04:30:00 15|03/29/2024,03:30:00 21|03/29/2024,04:30:00 22|04/02/2024,04:30:00 23|"
    "04/02/2024,05:30:00 24");

TEST(RunBars, MakesBarsInTheZoneOut) {
    struct Row {
        const char* name;
        std::vector<std::string> lines;
        const char *in, *out;
        BarPeriod period;
        int session;
        DateLayout date;
        std::string want;  // bars by "|": "stamp n" when its prices are all n
        std::string said;  // in a note or the first skip's reason; with no bars, the failure
    };
    constexpr auto kDay = BarPeriod::Day;
    constexpr auto kHour = BarPeriod::Hour;
    constexpr auto kMdy = DateLayout::MMDDYYYYSlash;
    const Row rows[] = {
        {"New York days across both spring changes", kSpring, "Europe/London", "America/New_York",
         kDay, 0, kMdy,
         "3.7.2024 23:0 11|3.8.2024 23:30 12.00 13.00 12.00 13.00|3.10.2024 23:30 14|"
         "3.11.2024 0:30 15|3.28.2024 23:30 21|3.29.2024 0:30 22|4.1.2024 23:30 23|4.2.2024 0:30 "
         "24",
         ""},
        {"17:00 New York sessions across both autumn changes",
         Lines("10/25/2024,08:00:00 41|10/25/2024,21:30:00 42|10/25/2024,22:30:00 43|"
               "10/28/2024,21:30:00 44|11/04/2024,21:30:00 45|11/04/2024,22:30:00 46"),
         "Europe/London", "America/New_York", kDay, -420, kMdy,
         "10.25.2024 16:30 41.00 42.00 41.00 42.00|10.25.2024 17:30 43|10.28.2024 17:30 44|"
         "11.4.2024 16:30 45|11.4.2024 17:30 46",
         ""},
        {"as written without a zone out: London days", kSpring, "Europe/London", "", kDay, 0, kMdy,
         "3.8.2024 6:0 11.00 12.00 11.00 12.00|3.9.2024 4:30 13|3.11.2024 4:30 14.00 15.00 14.00 "
         "15.00|3.29.2024 4:30 21.00 22.00 21.00 22.00|4.2.2024 5:30 23.00 24.00 23.00 24.00",
         "moves nothing"},
        {"Z and offsets win over the zone in",
         Lines("2024/07/01T06:45:00-05:00 50|2024/07/01T13:30:00Z 51|2024/07/01T15:30:00+01:00 52"),
         "Asia/Tokyo", "America/New_York", kHour, 0, DateLayout::YYYYMMDDSlash,
         "7.1.2024 7:45 50|7.1.2024 9:30 51|7.1.2024 10:30 52", "(Asia/Tokyo) is not used"},
        {"epoch seconds are UTC", Lines("1719840600 61|1719844200 62"), "", "America/New_York",
         kHour, 0, DateLayout::UnixSeconds, "7.1.2024 9:30 61|7.1.2024 10:30 62", ""},
        {"New York's skipped and doubled hours into UTC",
         Lines("03/10/2024,01:30:00 71|03/10/2024,02:30:00 72|03/10/2024,03:30:00 73|"
               "11/03/2024,01:15:00 74|11/03/2024,01:45:00 75|11/03/2024,02:15:00 76"),
         "America/New_York", "UTC", kHour, 0, kMdy,
         "3.10.2024 6:30 71|3.10.2024 7:30 73|11.3.2024 5:45 74.00 75.00 74.00 75.00|"
         "11.3.2024 7:15 76",
         "2 lines fall in the hour the clocks went back in America/New_York; read as its first "
         "pass"},
        {"the zone word of the lines; another word is skipped",
         Lines("03/08/2024,04:00:00 Europe/London 11|03/08/2024,06:00:00 UTC 12|"
               "03/08/2024,07:00:00 Europe/London 13"),
         "", "America/New_York", kDay, 0, kMdy, "3.7.2024 23:0 11|3.8.2024 2:0 13",
         "the times are marked EUROPE/LONDON: read in Europe/London"},
        {"unknown zone out", kSpring, "Europe/London", "Europe/Lundon", kDay, 0, kMdy, "",
         "lines: the zone of the bars: 'Europe/Lundon' is not a time zone"},
        {"unknown zone in", kSpring, "Mars/Olympus", "", kDay, 0, kMdy, "", "Mars/Olympus"},
        {"times without a zone", kSpring, "", "America/New_York", kDay, 0, kMdy, "",
         "the times carry no zone: give the zone they are written in with --zone-in"},
        {"dates without times", Lines("08/03/2024 11|09/03/2024 12"), "UTC", "UTC", kDay, 0,
         DateLayout::DDMMYYYYSlash, "", "the lines carry dates without times, which no zone"},
        {"a word that is no zone", Lines("03/08/2024,04:00:00 BST 11"), "", "UTC", kDay, 0, kMdy,
         "", "the times are marked BST, which is no zone"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        BarChoices choices;
        choices.date_layout = row.date;
        choices.time_layout = row.date == kMdy                        ? TimeLayout::SemicolonHms
                              : row.date == DateLayout::DDMMYYYYSlash ? TimeLayout::NotIndicated
                                                                      : TimeLayout::InDate;
        choices.period = row.period;
        choices.session_offset_minutes = row.session;
        choices.zone_in = row.in;
        choices.zone_out = row.out;
        BarInputLines store;
        for (const std::string& line : row.lines) store.Append(line);
        std::vector<std::string> bars;
        const JobReport report =
            RunBars(LineSource::Lines(store, "lines"), Destination::Lines(bars), choices);
        EXPECT_EQ(RunDetect(LineSource::Lines(store, "lines"), choices).status.error,
                  report.status.error);
        std::string said = report.status.Message() + "\n";
        for (const std::string& note : report.notes) said += note + "\n";
        for (const SkippedLine& skip : report.first_skipped) said += skip.reason + "\n";
        EXPECT_NE(said.find(row.said), std::string::npos) << said;
        if (row.want.empty()) {
            EXPECT_EQ(report.status.error.category(), ZoneError(ZoneFault::UnknownZone).category());
            EXPECT_TRUE(bars.empty());
            continue;
        }
        ASSERT_TRUE(report.ok()) << said;
        std::vector<std::string> want;
        for (const std::string& bar : Split(row.want)) {
            const std::string n = bar.substr(bar.rfind(' ') + 1);
            want.push_back(n.size() > 2 ? bar : bar + ".00 " + n + ".00 " + n + ".00 " + n + ".00");
        }
        EXPECT_EQ(bars, want);
    }
}

}  // namespace
}  // namespace varn
