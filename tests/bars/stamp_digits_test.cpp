// The stamp of a bar (its last line's moment, or the period's first or end)
// and the digits of its prices (by magnitude, as read, or a fixed count).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "bars/bar_input.h"
#include "bars/build_bars.h"

namespace varn {
namespace {

using Lines = std::vector<std::string>;
using Bars = std::vector<std::string>;

BarChoices Choices(BarPeriod period, TimeLayout time) {
    BarChoices choices;
    choices.date_layout = DateLayout::MMDDYYYYSlash;
    choices.time_layout = time;
    choices.period = period;
    choices.names = EnglishRegionalNames();
    return choices;
}

// The bars of lines, built inside the blocks or, with a stop callback that
// never stops, line by line: both must agree.
Bars BuildOf(const Lines& lines, const BarChoices& choices) {
    BarInputLines store;
    for (const std::string& line : lines) store.Append(line);
    Bars bars;
    Bars one_by_one;
    const JobReport got =
        RunBars(LineSource::Lines(store, "lines"), Destination::Lines(bars), choices);
    EXPECT_TRUE(got.ok()) << got.status.Message();
    JobCallbacks callbacks;
    callbacks.stop_requested = [] { return false; };
    (void)RunBars(LineSource::Lines(store, "lines"), Destination::Lines(one_by_one), choices,
                  callbacks);
    EXPECT_EQ(bars, one_by_one);
    return bars;
}

// A fixed series of pseudo-random numbers.
struct Series {
    std::uint64_t state = 7;
    unsigned Next(unsigned below) {
        state = state * 6364136223846793005U + 1442695040888963407U;
        return static_cast<unsigned>((state >> 33) % below);
    }
};

// Lines over seven months around a new year, with prices from 0.00002 to
// 41,000 written with 0 to 8 decimals, some without volume, a few broken:
// timed ones every 3 minutes of four hours of every third day, and daily
// ones.
void MakeLines(Lines& timed, Lines& daily) {
    static const double kBases[] = {0.00002717, 0.0912, 1.09497, 9.87654, 151.234, 41234.5};
    static const int kDecimals[] = {8, 6, 5, 4, 3, 2};
    Series random;
    const auto line = [&random](int i, const char* date_time, const char* separator) {
        const int magnitude = (i / 50) % 6;
        const int decimals = kDecimals[magnitude] - (i / 13) % 3;
        std::string text = date_time;
        for (int k = 0; k < 4; ++k) {
            char price[40];
            std::snprintf(price, sizeof price, "%.*f%s", decimals,
                          kBases[magnitude] * (1 + (random.Next(2001) - 1000.0) / 1e5), separator);
            text += price;
        }
        text += i % 7 == 0 ? "" : std::to_string(random.Next(5000));
        return i % 211 == 5 ? "x" + text : text;
    };
    for (int day = 0, i = 0; day < 210; ++day) {
        const int month = (7 + day / 30) % 12 + 1;  // 30-day months are enough
        const int year = month >= 8 ? 2000 : 2001;
        char date[40];
        for (int minute = 360 + day % 3; day % 3 == 0 && minute < 600; minute += 3, ++i) {
            std::snprintf(date, sizeof date, "%02d/%02d/%04d,%02d:%02d:%02d,", month, day % 30 + 1,
                          year, minute / 60, minute % 60, i % 60);
            timed.push_back(line(i, date, ","));
        }
        std::snprintf(date, sizeof date, "%02d/%02d/%04d ", month, day % 30 + 1, year);
        daily.push_back(line(day, date, " "));
    }
}

std::uint64_t Fnv(const Bars& bars, std::uint64_t hash = 14695981039346656037U) {
    for (const std::string& bar : bars) {
        for (const char c : bar + "\n")
            hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211U;
    }
    return hash;
}

TEST(RunBars, DefaultStampAndDigitsGiveTheBytesOfBefore) {
    Lines timed;
    Lines daily;
    MakeLines(timed, daily);
    // The hashes of the bars of both files as the build before these choices
    // wrote them, by period, stamp style and volume column.
    struct Row {
        int period;
        StampStyle stamp;
        bool volume;
        std::uint64_t want;
    };
    const Row rows[] = {
        {0, StampStyle::Classic, false, 3162071807316221519U},
        {0, StampStyle::Classic, true, 1905890009720186229U},
        {0, StampStyle::Iso, false, 11247267324192859658U},
        {0, StampStyle::Iso, true, 16587578089928190140U},
        {1, StampStyle::Classic, false, 9394725056938034498U},
        {1, StampStyle::Classic, true, 402750344832240964U},
        {1, StampStyle::Iso, false, 18119240246350893122U},
        {1, StampStyle::Iso, true, 230439628798796932U},
        {2, StampStyle::Classic, false, 1189730470959171065U},
        {2, StampStyle::Classic, true, 13064227664617487684U},
        {2, StampStyle::Iso, false, 968887813537883778U},
        {2, StampStyle::Iso, true, 15013903223892321201U},
        {3, StampStyle::Classic, false, 12603855456290936065U},
        {3, StampStyle::Classic, true, 13219582159247033772U},
        {3, StampStyle::Iso, false, 1431719351878709058U},
        {3, StampStyle::Iso, true, 11599474582353272827U},
        {4, StampStyle::Classic, false, 15048844303859561903U},
        {4, StampStyle::Classic, true, 7036216864884610597U},
        {4, StampStyle::Iso, false, 1658186842734728004U},
        {4, StampStyle::Iso, true, 17541624464435386486U},
        {5, StampStyle::Classic, false, 6380375799231485857U},
        {5, StampStyle::Classic, true, 10543272540733080289U},
        {5, StampStyle::Iso, false, 14592134062980602903U},
        {5, StampStyle::Iso, true, 16593346164745355279U},
        {6, StampStyle::Classic, false, 17748703655258812717U},
        {6, StampStyle::Classic, true, 15842747844354514067U},
        {6, StampStyle::Iso, false, 4547049249874471859U},
        {6, StampStyle::Iso, true, 3419304856473578739U},
        {7, StampStyle::Classic, false, 9157119774578225995U},
        {7, StampStyle::Classic, true, 14059622201848776568U},
        {7, StampStyle::Iso, false, 6793705588237862357U},
        {7, StampStyle::Iso, true, 1454962001810705146U},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.period) + (row.stamp == StampStyle::Iso ? " iso" : "") +
                     (row.volume ? " volume" : ""));
        BarChoices choices = Choices(static_cast<BarPeriod>(row.period), TimeLayout::SemicolonHms);
        choices.stamp = row.stamp;
        choices.volume = row.volume;
        const Bars timed_bars = BuildOf(timed, choices);
        choices.time_layout = TimeLayout::NotIndicated;
        EXPECT_EQ(Fnv(BuildOf(daily, choices), Fnv(timed_bars)), row.want);
    }
}

}  // namespace
}  // namespace varn
