// The shapes that data vendors and trading platforms write their price files
// in, each read to the same bars: header rows, ticker columns, semicolons and
// decimal commas, ISO 8601 and epoch stamps, fractions of seconds, zone words,
// bid and ask ticks. One set of prices, written every way.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bars/bar_input.h"
#include "bars/build_bars.h"
#include "test_support.h"

namespace varn {
namespace {

using Bars = std::vector<std::string>;

// One line's numbers: day d (2 to 4 January 2024), minute k (10:00 + k).
struct Tick {
    int day, minute;
    double open, high, low, close;
    int volume;
};
using Writer = std::function<std::string(const Tick&)>;

std::string Fixed(double value, int decimals = 2) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}
std::string Two(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

// 120 lines, 40 a day: the same prices for every writer.
std::string File(const std::string& header, const Writer& write) {
    std::string text = header.empty() ? "" : header + "\n";
    for (int day = 2; day <= 4; ++day) {
        for (int k = 0; k < 40; ++k) {
            const double p = 100 + 10 * day + k * 0.25;
            text += write({day, k, p, p + 0.5, p - 0.5, p + 0.25, 1000 + k}) + "\n";
        }
    }
    return text;
}

// The day bars of those lines, with their summed volume: open of the first
// line, high and low over all, close of the last.
const Bars kDayBars = {
    "1.2.2024 10:39 120.00 130.25 119.50 130.00 40780",
    "1.3.2024 10:39 130.00 140.25 129.50 140.00 40780",
    "1.4.2024 10:39 140.00 150.25 139.50 150.00 40780",
};

JobReport Build(const std::string& text, Bars& bars, const std::string& columns = {},
                bool volume = true) {
    BarChoices choices;
    choices.period = BarPeriod::Day;
    choices.volume = volume;
    if (!columns.empty()) {
        std::string reason;
        EXPECT_TRUE(ReadColumnList(columns, choices.shape.columns, reason)) << reason;
    }
    BarInputLines lines;
    lines.Assign(text);
    return RunBars(LineSource::Lines(lines, "in"), Destination::Lines(bars), choices);
}

std::string Time(const Tick& t) { return "10:" + Two(t.minute); }
std::string Prices(const Tick& t, const std::string& s) {
    return Fixed(t.open) + s + Fixed(t.high) + s + Fixed(t.low) + s + Fixed(t.close);
}
// 2024-01-0D 10:MM as seconds since 1970.
long long Epoch(const Tick& t) {
    return 1704067200LL + (t.day - 1) * 86400 + 36000 + t.minute * 60;
}
std::string Comma(std::string text) {
    for (char& c : text) c = c == '.' ? ',' : c;
    return text;
}

TEST(RunBars, ReadsEveryShapeOfAPriceFileToTheSameBars) {
    struct Row {
        const char* name;
        std::string text;
        std::string columns = {};  // --columns, when given
    };
    const auto us = [](const Tick& t) { return "01/" + Two(t.day) + "/2024"; };
    const Row rows[] = {
        {"blank-separated, as read before", File("",
                                                 [&](const Tick& t) {
                                                     return us(t) + " " + Time(t) + " " +
                                                            Prices(t, " ") + " " +
                                                            std::to_string(t.volume);
                                                 })},
        {"fault 1: ISO 8601 joined by T, with Z (no longer YYYY,MM)",
         File("",
              [](const Tick& t) {
                  return "2024-01-" + Two(t.day) + "T" + Time(t) + ":00Z," + Prices(t, ",") + "," +
                         std::to_string(t.volume);
              })},
        {"fault 2: day-first dots whose days all lie in 1 to 12, timed",
         File("",
              [](const Tick& t) {
                  return Two(t.day) + ".01.2024 " + Time(t) + ":00," + Prices(t, ",") + "," +
                         std::to_string(t.volume);
              })},
        {"fault 3: semicolons, decimal commas, thousands points",
         File("Datum;Zeit;Open;High;Low;Close;Volume",
              [](const Tick& t) {
                  return Two(t.day) + ".01.2024;" + Time(t) + ";" + Comma(Prices(t, ";")) + ";1." +
                         std::to_string(t.volume).substr(1);
              })},
        {"fault 6: a header with Adj Close, and quoted thousands",
         File("Date,Time,Open,High,Low,Close,Adj Close,Volume",
              [&](const Tick& t) {
                  return us(t) + "," + Time(t) + "," + Prices(t, ",") + ",1.5,\"1," +
                         std::to_string(t.volume).substr(1) + "\"";
              })},
        {"fault 7: fractions of seconds and a zone word", File("",
                                                               [&](const Tick& t) {
                                                                   return us(t) + " " + Time(t) +
                                                                          ":59.421 US/Eastern " +
                                                                          Prices(t, " ") + " " +
                                                                          std::to_string(t.volume);
                                                               })},
        {"epoch seconds under a header", File("timestamp,open,high,low,close,volume",
                                              [](const Tick& t) {
                                                  return std::to_string(Epoch(t)) + "," +
                                                         Prices(t, ",") + "," +
                                                         std::to_string(t.volume);
                                              })},
        {"epoch milliseconds", File("",
                                    [](const Tick& t) {
                                        return std::to_string(Epoch(t)) + "000 " + Prices(t, " ") +
                                               " " + std::to_string(t.volume);
                                    })},
        {"tabs, a ticker column and a header in angle brackets",
         File("<TICKER>\t<PER>\t<DATE>\t<TIME>\t<OPEN>\t<HIGH>\t<LOW>\t<CLOSE>\t<VOL>",
              [](const Tick& t) {
                  return "EURUSD\t1\t202401" + Two(t.day) + "\t10" + Two(t.minute) + "00\t" +
                         Prices(t, "\t") + "\t" + std::to_string(t.volume);
              })},
        {"pipes and currency signs", File("",
                                          [&](const Tick& t) {
                                              return us(t) + "|" + Time(t) + "|$" + Fixed(t.open) +
                                                     "|$" + Fixed(t.high) + "|$" + Fixed(t.low) +
                                                     "|$" + Fixed(t.close) + "|" +
                                                     std::to_string(t.volume);
                                          })},
        {"columns named by hand, in another order",
         File("",
              [&](const Tick& t) {
                  return "X," + std::to_string(t.volume) + "," + Fixed(t.close) + "," +
                         Fixed(t.low) + "," + Fixed(t.high) + "," + Fixed(t.open) + "," + us(t) +
                         "," + Time(t);
              }),
         "symbol,volume,close,low,high,open,date,time"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Bars bars;
        const JobReport report = Build(row.text, bars, row.columns);
        ASSERT_TRUE(report.ok()) << report.status.Message() << "; " << report.detection_reason;
        // Stamps name the last line's minute; fractions and zones do not show.
        EXPECT_EQ(bars, kDayBars);
        EXPECT_EQ(report.lines_skipped, 0);
        EXPECT_EQ(report.lines_out_of_order, 0);
    }
}

// Files that cannot be read right are refused with a reason that says what to
// do; none is misread.
TEST(RunBars, RefusesWhatItCannotReadRightWithAReason) {
    struct Row {
        const char* name;
        std::string text;
        const char* reason;  // a piece of the words
    };
    const Row rows[] = {
        {"a ticker first and no header",
         File("", [](const Tick& t) { return "AAA," + Two(t.day) + "/01/2024,1,2,0.5,1.5"; }),
         "the first field is text on every line: name the columns with --columns"},
        {"two symbols",
         File("symbol,date,open,high,low,close",
              [](const Tick& t) {
                  return std::string(t.minute % 2 != 0 ? "BBB" : "AAA") + ",01/" + Two(t.day) +
                         "/2024,1,2,0.5,1.5";
              }),
         "2 symbols: AAA, BBB; choose one with --symbol or write one file each with --split "
         "DIR"},
        {"a header without high and low",
         File("Date,Open,Close", [](const Tick& t) { return "01/" + Two(t.day) + "/2024,1,2"; }),
         "some of open, high, low and close but not all four"},
        {"epoch seconds out of range",
         File("",
              [](const Tick& t) {
                  return "00000" + std::to_string(10000 + t.minute) + ",1,2,0.5,1.5";
              }),
         "look like epoch seconds"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Bars bars;
        const JobReport report = Build(row.text, bars);
        EXPECT_FALSE(report.ok());
        EXPECT_TRUE(bars.empty());
        const std::string words = report.status.Message() + "; " + report.detection_reason;
        EXPECT_NE(words.find(row.reason), std::string::npos) << words;
    }
}

// Fault 4: tick lines of price, bid, ask and size are one price a line, not
// four prices with the size for a close; which number is the volume is asked.
TEST(RunBars, ReadsBidAndAskTicksAsOnePrice) {
    const std::string ticks = File("", [](const Tick& t) {
        return "01/" + Two(t.day) + "/2024,10:" + Two(t.minute) + ":05," + Fixed(t.open) + "," +
               Fixed(t.open - 0.25) + "," + Fixed(t.open + 0.25) + ",2";
    });
    Bars bars;
    JobReport report = Build(ticks, bars, {}, false);
    ASSERT_TRUE(report.ok()) << report.detection_reason;
    EXPECT_EQ(report.layouts->prices, PriceForm::Single);
    EXPECT_EQ(bars.front(), "1.2.2024 10:39 120.00 129.75 120.00 129.75");

    bars.clear();
    report = Build(ticks, bars);
    EXPECT_FALSE(report.ok());
    EXPECT_NE(report.detection_reason.find("--columns"), std::string::npos);
    bars.clear();
    report = Build(ticks, bars, "date,time,price,bid,ask,volume");
    ASSERT_TRUE(report.ok()) << report.detection_reason;
    EXPECT_EQ(bars.front(), "1.2.2024 10:39 120.00 129.75 120.00 129.75 80");
}

// Fault 2: a day-first file whose first hundred lines fall on days 1 to 12 is
// read day-first once a later line shows a day of 13, and the prices of the
// four-price form out of order are counted.
TEST(RunBars, DecidesTheDayOrderFromLaterLinesAndCountsPricesOutOfOrder) {
    std::string text;
    for (int day = 1; day <= 14; ++day) {
        for (int k = 0; k < 10; ++k) {
            text += Two(day) + "/01/2024 10:0" + std::to_string(k) + " 1 2 0.5 1.5\n";
        }
    }
    text += "14/01/2024 11:00 3 2 1 1.5\n";  // open above high
    Bars bars;
    const JobReport report = Build(text, bars);
    ASSERT_TRUE(report.ok()) << report.status.Message();
    EXPECT_EQ(report.layouts->date, DateLayout::DDMMYYYYSlash);
    ASSERT_EQ(bars.size(), 14U);
    EXPECT_EQ(bars[12].substr(0, 9), "1.13.2024");
    EXPECT_EQ(report.lines_skipped, 0);
    EXPECT_EQ(report.lines_out_of_order, 1);
    EXPECT_EQ(report.first_out_of_order, 141);
}

}  // namespace
}  // namespace varn
