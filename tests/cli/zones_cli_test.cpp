// --zone-in and --zone-out of `varn bars` and `varn detect`, in process and
// as the real binary.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli_support.h"
#include "test_support.h"

namespace varn::cli {
namespace {

const std::string kMinutes = VARN_SOURCE_DIR "/samples/minute-prices.csv";

TEST(VarnZones, RefusesWhatItCannotPlace) {
    struct Row {
        const char* command;  // the words before the sample minutes
        int code;
        std::string said;
    };
    const Row rows[] = {
        {"bars --zone-out Europe/Lundon", ExitUsage,
         "varn: --zone-out: 'Europe/Lundon' is not a time zone; timedatectl list-timezones"},
        {"bars --zone-in EST5", ExitUsage, "files under /usr/share/zoneinfo"},
        {"detect --zone-in Nowhere", ExitUsage, "'Nowhere' is not a time zone"},
        {"bars --zone-out America/New_York", ExitFailure,
         "minute-prices.csv: the times carry no zone: give the zone they are written in with "
         "--zone-in"},
        {"detect --zone-out UTC", ExitFailure, "the times carry no zone"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.command);
        std::vector<std::string> args;
        std::istringstream words(row.command);
        for (std::string word; words >> word;) args.push_back(word);
        args.push_back(kMinutes);
        const testing::Outcome got = testing::RunCli(args);
        EXPECT_EQ(got.code, row.code);
        EXPECT_NE(got.err.find(row.said), std::string::npos) << got.err;
        EXPECT_EQ(got.out, "");
    }
}

TEST(VarnZones, WritesTodaysBytesUnlessTimesMove) {
    varn::testing::TempDir dir;
    // Hourly bars of the sample with zones, into dir/<name>.
    const auto bars = [&dir](const std::string& name, std::vector<std::string> zones) {
        std::vector<std::string> args = {"-q",      "bars", "-p",     "hour",
                                         "--stamp", "iso",  kMinutes, dir.Path(name)};
        args.insert(args.end(), zones.begin(), zones.end());
        EXPECT_EQ(testing::RunCli(args).code, ExitOk) << name;
        return varn::testing::ReadAll(dir.Path(name));
    };
    const std::string plain = bars("plain", {});
    ASSERT_EQ(plain.substr(0, 53), "2021-01-04T09:59:00 3700.00 3704.00 3693.50 3695.00\r\n");
    EXPECT_EQ(bars("in", {"--zone-in", "Asia/Tokyo"}), plain);
    EXPECT_EQ(bars("utc", {"--zone-in", "UTC", "--zone-out", "Etc/UTC"}), plain);
    EXPECT_EQ(bars("moved", {"--zone-in", "America/New_York", "--zone-out", "Europe/London"})
                  .substr(0, 53),
              "2021-01-04T14:59:00 3700.00 3704.00 3693.50 3695.00\r\n");
}

TEST(VarnZones, BinarySaysWhatTheClocksDid) {
    varn::testing::TempDir dir;
    dir.Write("ny.txt",
              "11/03/2024 00:30 1 1 1 1\n11/03/2024 01:30 2 2 2 2\n11/03/2024 01:45 3 3 3 3\n"
              "03/10/2024 02:15 4 4 4 4\n");
    const testing::Outcome got = testing::Shell(
        dir,
        testing::kVarn + " bars -d 5 -t 3 -p day --zone-in America/New_York --zone-out UTC ny.txt");
    EXPECT_EQ(got.code, ExitOk);
    EXPECT_EQ(got.out, "11.3.2024 5:45 1.0000 3.0000 1.0000 3.0000\r\n");
    EXPECT_EQ(got.err,
              "varn: ny.txt: 1 of 4 lines skipped (line 4: 02:15:00 does not exist in "
              "America/New_York that day: the clocks went forward)\n"
              "varn: ny.txt: 2 lines fall in the hour the clocks went back in America/New_York; "
              "read as its first pass\n");
}

}  // namespace
}  // namespace varn::cli
