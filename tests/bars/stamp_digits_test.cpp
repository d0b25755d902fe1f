// The stamp of a bar (its last line's moment, or the period's first or end)
// and the digits of its prices (by magnitude, as read, or a fixed count).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
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
        // Newest first, the bars are made by keys: the same bytes.
        EXPECT_EQ(BuildOf(Lines(timed.rbegin(), timed.rend()), choices), timed_bars);
        choices.time_layout = TimeLayout::NotIndicated;
        EXPECT_EQ(Fnv(BuildOf(daily, choices), Fnv(timed_bars)), row.want);
    }
}

// The stamps of bars written with a plain comma: the text before the first.
Bars StampsOf(const Bars& bars) {
    Bars stamps;
    for (const std::string& bar : bars) stamps.push_back(bar.substr(0, bar.find(',')));
    return stamps;
}

TEST(BarStampMoment, NamesWhereThePeriodStartsOrEnds) {
    using enum StampTime;
    const BarSpan five{BarPeriod::FiveMinutes};
    const BarSpan day{BarPeriod::Day};
    const BarSpan week{BarPeriod::Week};
    const BarSpan month{BarPeriod::Month};
    const BarSpan quarter{BarPeriod::Quarter};
    const ParsedDate friday{2001, 1, 5, 9, 32, 10};  // 1 January 2001 is a Monday
    struct Row {
        BarSpan span;
        ParsedDate date;
        StampTime when;
        bool timed;
        const char* want;  // the classic stamp
    };
    const Row rows[] = {
        {five, friday, Last, true, "1.5.2001 9:32"},
        {five, friday, Start, true, "1.5.2001 9:30"},
        {five, friday, End, true, "1.5.2001 9:35"},
        {five, friday, End, false, "1.5.2001"},
        {five, {2001, 1, 5, 23, 57, 0}, End, true, "1.6.2001 0:0"},
        {five, {2001, 1, 5, 23, 57, 0}, End, false, "1.5.2001"},
        {five, {1700, 3, 1, 10, 7, 59}, Start, true, "3.1.1700 10:5"},  // before the epoch
        {{BarPeriod::FifteenMinutes}, friday, End, true, "1.5.2001 9:45"},
        {{BarPeriod::Hour}, friday, Start, true, "1.5.2001 9:0"},
        {{BarPeriod::Hour, 0, 30}, friday, End, true, "1.5.2001 10:30"},
        {{BarPeriod::Month, 20}, friday, Start, true, "1.5.2001 9:20"},
        {{BarPeriod::Month, 240}, friday, End, true, "1.5.2001 12:0"},
        {day, friday, Start, true, "1.5.2001 0:0"},
        {day, friday, End, true, "1.6.2001 0:0"},
        {day, friday, End, false, "1.5.2001"},
        {{BarPeriod::Day, 0, -420}, friday, Start, true, "1.4.2001 17:0"},
        {{BarPeriod::Day, 0, -420}, friday, End, false, "1.5.2001"},
        {{BarPeriod::Day, 0, -420}, {2001, 1, 5, 18, 0, 0}, End, true, "1.6.2001 17:0"},
        {week, friday, Start, true, "1.1.2001 0:0"},
        {week, friday, End, true, "1.8.2001 0:0"},
        {week, friday, End, false, "1.7.2001"},
        {{BarPeriod::Week, 0, -420}, friday, Start, true, "12.31.2000 17:0"},
        {month, friday, Start, false, "1.1.2001"},
        {month, friday, End, false, "1.31.2001"},
        {month, friday, End, true, "1.31.2001 0:0"},
        {month, {2000, 2, 3, 0, 0, 0}, End, false, "2.29.2000"},
        {month, {2001, 12, 3, 0, 0, 0}, End, true, "12.31.2001 0:0"},
        {{BarPeriod::Month, 0, -420}, friday, Start, true, "1.1.2001 0:0"},  // no session
        {quarter, {2001, 8, 31, 0, 0, 0}, Start, false, "7.1.2001"},
        {quarter, {2001, 8, 31, 0, 0, 0}, End, false, "9.30.2001"},
        {quarter, {2001, 11, 30, 0, 0, 0}, End, true, "12.31.2001 0:0"},
        {{BarPeriod::Year}, friday, Start, true, "1.1.2001 0:0"},
        {{BarPeriod::Year}, friday, End, false, "12.31.2001"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.want);
        const ParsedDate got = BarStampMoment(row.span, row.date, row.when, row.timed);
        EXPECT_EQ(BarStamp(got, row.timed ? TimeLayout::SemicolonHms : TimeLayout::NotIndicated),
                  row.want);
    }
}

TEST(RunBars, StampsTheStartOrEndOfEveryPeriod) {
    const Lines minutes = {"01/05/2001,09:31:10,1,1,1,1", "01/05/2001,09:34:00,1,1,1,1",
                           "01/05/2001,09:36:30,1,1,1,1", "01/05/2001,10:01:00,1,1,1,1",
                           "01/08/2001,09:31:00,1,1,1,1", "04/02/2001,09:31:00,1,1,1,1"};
    Lines days;
    for (const Lines::value_type& line : minutes) days.push_back(line.substr(0, 10) + ",1,1,1,1");
    struct Row {
        int period;
        StampTime when;
        StampStyle style;
        bool timed;
        Bars want;
    };
    using enum StampTime;
    const StampStyle classic = StampStyle::Classic;
    const StampStyle iso = StampStyle::Iso;
    const Row rows[] = {
        {0,
         Start,
         classic,
         true,
         {"1.5.2001 9:30", "1.5.2001 9:35", "1.5.2001 10:0", "1.8.2001 9:30", "4.2.2001 9:30"}},
        {0,
         End,
         iso,
         true,
         {"2001-01-05T09:35:00", "2001-01-05T09:40:00", "2001-01-05T10:05:00",
          "2001-01-08T09:35:00", "2001-04-02T09:35:00"}},
        {1,
         End,
         classic,
         true,
         {"1.5.2001 9:45", "1.5.2001 10:15", "1.8.2001 9:45", "4.2.2001 9:45"}},
        {2,
         Start,
         iso,
         true,
         {"2001-01-05T09:00:00", "2001-01-05T10:00:00", "2001-01-08T09:00:00",
          "2001-04-02T09:00:00"}},
        {3, End, classic, true, {"1.6.2001 0:0", "1.9.2001 0:0", "4.3.2001 0:0"}},
        {3, End, iso, false, {"2001-01-05", "2001-01-08", "2001-04-02"}},
        {4, Start, classic, false, {"1.1.2001", "1.8.2001", "4.2.2001"}},
        {4, End, iso, true, {"2001-01-08T00:00:00", "2001-01-15T00:00:00", "2001-04-09T00:00:00"}},
        {5, End, classic, false, {"1.31.2001", "4.30.2001"}},
        {5, Start, iso, true, {"2001-01-01T00:00:00", "2001-04-01T00:00:00"}},
        {6, End, iso, false, {"2001-03-31", "2001-06-30"}},
        {7, End, classic, true, {"12.31.2001 0:0"}},
        {7, Start, classic, false, {"1.1.2001"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.period) + " " +
                     std::string(StampTimeNames[static_cast<std::size_t>(row.when)]));
        BarChoices choices =
            Choices(static_cast<BarPeriod>(row.period),
                    row.timed ? TimeLayout::SemicolonHms : TimeLayout::NotIndicated);
        choices.stamp = row.style;
        choices.stamp_time = row.when;
        choices.delimiter = Delimiter::Csv;
        EXPECT_EQ(StampsOf(BuildOf(row.timed ? minutes : days, choices)), row.want);
    }
}

TEST(ReadBarFields, CountsTheDecimalsOfThePricesWhenAsked) {
    struct Row {
        const char* rest;  // after "01/02/2001,"
        PriceForm form;
        int want;
    };
    const Row rows[] = {
        {"1.5,1.25,1.3,1.4", PriceForm::Ohlc, 2},
        {"1,2,0,1", PriceForm::Ohlc, 0},
        {"0.00002717,0.00002720,0.000027,0.00002718", PriceForm::Ohlc, 8},
        {"1,1,1,1.0000000000000", PriceForm::Ohlc, 10},  // at most 10
        {"-37.63,1,-40,1", PriceForm::Ohlc, 2},          // read by TextToDouble
        {"1.5e-3,1,0,1", PriceForm::Ohlc, 4},
        {"1.5,1.5,1.5,1.5,1200.125,7.5", PriceForm::Ohlc, 1},  // not the quantities
        {"155.123,5000.5", PriceForm::Single, 3},
    };
    const DateNames names(EnglishRegionalNames());
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rest);
        for (const bool count : {false, true}) {
            BarReading reading;
            reading.form = row.form;
            reading.volume = reading.open_interest = true;
            reading.count_decimals = count;
            ParsedDate date;
            BarLine bar;
            ASSERT_TRUE(ReadBarFields(DateLayout::MMDDYYYYSlash, TimeLayout::NotIndicated, reading,
                                      std::string("01/02/2001,") + row.rest, names, date, bar));
            EXPECT_EQ(bar.decimals, count ? row.want : 0);
        }
    }
}

TEST(RunBars, WritesPricesWithTheDecimalsChosen) {
    const Lines fx = {"01/02/2024,10:00:00,1.09497,1.09512,1.09490,1.09501,12",
                      "01/02/2024,10:01:00,1.09501,1.09530,1.09500,1.0952,3.25"};
    const Lines jpy = {"01/02/2024,10:00:00,141.125,141.300,141.100,141.250",
                       "01/02/2024,10:01:00,141.250,141.250,140.975,141.000"};
    const Lines crypto = {"01/02/2024,10:00:00,0.00002717,0.00002720,0.00002701,0.00002719",
                          "01/02/2024,10:01:00,0.00002719,0.00002741,0.00002719,0.0000274"};
    const Lines mixed = {"01/02/2024,10:00:00,1.5,2,1,1.5", "01/02/2024,10:01:00,1.5,1.5,1.25,1.25",
                         "01/02/2024,10:07:00,7,7,7,7"};
    struct Row {
        const char* name;
        const Lines& lines;
        int decimals;
        bool volume;
        Bars want;
    };
    const Row rows[] = {
        {"FX as read", fx, DecimalsAsInput, true, {"1.09497,1.09530,1.09490,1.09520,15.25"}},
        {"FX by magnitude", fx, DecimalsByMagnitude, false, {"1.0950,1.0953,1.0949,1.0952"}},
        {"JPY as read", jpy, DecimalsAsInput, false, {"141.125,141.300,140.975,141.000"}},
        {"crypto as read",
         crypto,
         DecimalsAsInput,
         false,
         {"0.00002717,0.00002741,0.00002701,0.00002740"}},
        {"crypto by magnitude",
         crypto,
         DecimalsByMagnitude,
         false,
         {"0.00003,0.00003,0.00003,0.00003"}},
        {"each bar its own", mixed, DecimalsAsInput, false, {"1.50,2.00,1.00,1.25", "7,7,7,7"}},
        {"none", fx, 0, true, {"1,1,1,1,15.25"}},
        {"two, halves away from zero", jpy, 2, false, {"141.13,141.30,140.98,141.00"}},
        {"ten", crypto, 10, false, {"0.0000271700,0.0000274100,0.0000270100,0.0000274000"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        BarChoices choices = Choices(BarPeriod::FiveMinutes, TimeLayout::SemicolonHms);
        choices.decimals = row.decimals;
        choices.volume = row.volume;
        choices.delimiter = Delimiter::Csv;
        Bars got = BuildOf(row.lines, choices);
        for (std::string& bar : got) bar.erase(0, bar.find(',') + 1);
        EXPECT_EQ(got, row.want);
    }
    // Decimal commas and semicolons read as their points would.
    BarChoices choices = Choices(BarPeriod::FiveMinutes, TimeLayout::SemicolonHms);
    choices.decimals = DecimalsAsInput;
    EXPECT_EQ(BuildOf({"01/02/2024;10:00:00;1,09497;1,09512;1,0949;1,09501"}, choices),
              Bars{"1.2.2024 10:0 1.09497 1.09512 1.09490 1.09501"});
}

TEST(RunBars, WritesEveryPriceOfUpToFifteenDigitsAsRead) {
    // Prices of 1 to 10 decimals and up to 15 digits, below 10^12, either
    // sign, each line a day of its own: every bar gives back its line's
    // price, as read or with zeros to 10 decimals (22 digits, more than a
    // double holds).
    Series random;
    Lines lines;
    std::vector<std::pair<std::string, std::string>> days;  // stamp, price
    for (int i = 0; i < 20000; ++i) {
        const auto decimals = static_cast<unsigned>(1 + i % 10);
        const unsigned whole = random.Next(std::min(12U, 15 - decimals) + 1);
        std::string price(1, whole == 0 ? '0' : static_cast<char>('1' + random.Next(9)));
        for (unsigned k = 1; k < whole; ++k) price += static_cast<char>('0' + random.Next(10));
        price += '.';
        for (unsigned k = 0; k < decimals; ++k) price += static_cast<char>('0' + random.Next(10));
        if (i % 4 == 0 && price.find_first_not_of("0.") != std::string::npos) price.insert(0, "-");
        const std::string month = std::to_string(i / 28 % 12 + 1);
        const std::string day = std::to_string(i % 28 + 1);
        const std::string year = std::to_string(1900 + i / 336);
        lines.push_back(month + "/" + day + "/" + year + " " + price + " " + price + " " + price +
                        " " + price);
        days.emplace_back(month + "." + day + "." + year, price);
    }
    BarChoices choices = Choices(BarPeriod::Day, TimeLayout::NotIndicated);
    for (const int decimals : {DecimalsAsInput, MaxPriceDecimals}) {
        SCOPED_TRACE(decimals);
        choices.decimals = decimals;
        const Bars got = BuildOf(lines, choices);
        ASSERT_EQ(got.size(), days.size());
        int wrong = 0;
        for (std::size_t i = 0; i < got.size(); ++i) {
            std::string price = days[i].second;
            if (decimals == MaxPriceDecimals) price.resize(price.find('.') + 11, '0');
            const std::string want =
                days[i].first + " " + price + " " + price + " " + price + " " + price;
            if (got[i] != want && ++wrong <= 5) ADD_FAILURE() << got[i] << " for " << lines[i];
        }
        EXPECT_EQ(wrong, 0);
    }
}

}  // namespace
}  // namespace varn
