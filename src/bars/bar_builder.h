#pragma once
// Bars from parsed lines, and their lines as written: the settings a bar job
// builds by, the writer of a finished bar ("1.31.2001 1.5000 1.6000 1.4000
// 1.5500"), and the builder that makes bars of runs of lines in time order.
//
//   BarBuilder builder(settings, [&](std::string_view bar) { out.WriteLine(bar); });
//   for (const ParsedBarLine& line : lines) builder.AddParsed(line);
//   builder.Finish();

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "bars/bar_line.h"
#include "bars/line_order.h"
#include "bars/parse_batch.h"
#include "calendar/layout_numbers.h"
#include "text/text_helpers.h"

namespace varn {

// The output delimiters: the window's list holds the first two, by position;
// Tab and Csv are for other tools (a tab, a plain comma without a blank).
enum class Delimiter : int { Space = 0, Comma = 1, Tab = 2, Csv = 3 };
inline constexpr std::array<std::string_view, 2> DelimiterItems = {"space", "comma"};
// " " for Space, ", " for Comma, a tab for Tab and "," for Csv.
std::string_view DelimiterText(Delimiter delimiter);

// One finished bar, as handed to BarChoices::on_bar: its numbers besides the
// line written, so a chart can draw it without reading the text back.
struct BuiltBar {
    std::string_view line;   // the bar line as written (valid during the call)
    std::string_view stamp;  // its stamp text, a piece of line
    ParsedDate date;         // date and time of the bar's last line
    double open = 0, high = 0, low = 0, close = 0;
    double volume = 0;         // the sum of the lines' volumes; 0 unless volume is chosen
    double open_interest = 0;  // of the last line with one; 0 unless chosen or none has
};
using BarCallback = std::function<void(const BuiltBar& bar)>;

// How many decimals a bar's prices are written with: a fixed count, 0 to
// MaxPriceDecimals, or one of these.
inline constexpr int DecimalsByMagnitude = -1;  // FormatPrice: 5 below 0.1, 4 below 10, else 2
inline constexpr int DecimalsAsInput = -2;      // the most the bar's prices were written with
// Reads "input" as DecimalsAsInput and a count "0" to "10" as itself;
// nothing otherwise.
std::optional<int> ReadPriceDecimals(std::string_view text);

// How lines are read into bars once the layouts are known.
struct BarSettings {
    DateLayout date_layout = DateLayout::YYMMDD;
    TimeLayout time_layout = TimeLayout::NotIndicated;
    BarPeriod period = BarPeriod::Month;
    Delimiter delimiter = Delimiter::Space;
    int period_minutes = 0;              // 0: period; else a length dividing a day
    int session_offset_minutes = 0;      // where minute to week periods begin
    PriceForm prices = PriceForm::Ohlc;  // Ohlc or Single (never Auto here)
    bool volume = false;                 // write the summed volume after the close
    bool open_interest = false;          // then the last open interest
    StampStyle stamp = StampStyle::Classic;
    StampTime stamp_time = StampTime::Last;  // the moment the stamp names
    int decimals = DecimalsByMagnitude;      // or DecimalsAsInput, or 0 to 10

    // What each line is read for.
    BarReading Reading() const;
};

// The header line of settings: "date, open, high, low, close" and so on. A
// classic stamp with a time ("1.2.2001 16:0") is named "date time": two
// fields when the delimiter is a blank, one field so named otherwise.
std::string BarHeader(const BarSettings& settings);

// The numbers of one finished bar.
struct BarValues {
    double open = 0, high = 0, low = 0, close = 0;
    double volume = 0;         // the sum of its lines' volumes
    double open_interest = 0;  // of its last line that has one, 0 when none has
    ParsedDate last_date;      // of its last line: the stamp
    int decimals = 0;          // the most of its lines' BarLine::decimals, repeats among them
};

// Writes finished bars as lines: the stamp of the moment chosen
// (BarStampMoment), the prices by FormatPrice or with the decimals chosen
// (AppendFixedPrice) and the quantities chosen, joined by the delimiter;
// hands each line to a sink and, when on_bar is not empty, the bar's numbers
// after it.
class BarWriter {
  public:
    using Sink = std::function<void(std::string_view bar_line)>;
    BarWriter(const BarSettings& settings, Sink sink, BarCallback on_bar = {});
    void Write(const BarValues& bar);

  private:
    BarSettings settings_;
    BarSpan span_;
    std::string delimiter_;
    Sink sink_;
    BarCallback on_bar_;
    std::string text_;
};

// Consumes parsed lines in order and hands each finished bar line to a sink.
// Holds one open bar only.
class BarBuilder {
  public:
    using Sink = std::function<void(std::string_view bar_line)>;
    // on_bar, when not empty, is called after sink with the bar's numbers.
    BarBuilder(BarSettings settings, Sink sink, BarCallback on_bar = {});

    // Adds a line parsed under this builder's settings (see ParseBarLines).
    void AddParsed(const ParsedBarLine& line);
    // Takes a line that repeats one of the open bar exactly (a Duplicate of
    // LineOrder), left out otherwise: its decimals count, so that a bar's
    // decimals do not hang on which copy of a line came first ("1.5" and
    // "1.50" read alike).
    void AddRepeat(const ParsedBarLine& line);
    // Writes the open bar, if any. Not called when a job is stopped: the open
    // bar is then dropped.
    void Finish();

  private:
    BarSettings settings_;
    BarWriter writer_;
    bool count_decimals_;  // the lines carry their decimals
    bool open_ = false;
    std::int32_t key_ = 0;
    BarValues bar_;
};

// Bars of lines in any order: a bar's open is the price of its earliest line
// and its close that of its latest, its high and low over all its lines, its
// stamp the latest line's, its decimals the most of its lines'; bars are
// written in time order. Lines that repeat another exactly (the same moment
// and numbers) count once. Holds every bar,
// and for the repeats the signature of every line (8 bytes), or with the
// volume summed its moment, place and volume too (32 bytes): volumes are
// summed in time order, as for the same lines sorted.
class KeyedBars {
  public:
    explicit KeyedBars(const BarSettings& settings) : settings_(settings) {}

    // Adds a line that reads, the index-th of the input.
    void Add(const ParsedBarLine& line);
    // Writes every bar in time order; with drop_last, all but the bar of the
    // line added last (a job stopped before its end).
    void WriteAll(BarWriter& writer, bool drop_last);

    // Lines that went back in time from the line before them, and that went on.
    std::int64_t earlier_steps() const { return earlier_steps_; }
    std::int64_t later_steps() const { return later_steps_; }
    // The repeated lines counted once: known after WriteAll.
    std::int64_t duplicates() const { return duplicates_; }

  private:
    // Kept in the order of the input: a stable sort keeps ties at one moment
    // in it.
    struct LineMark {
        Moment at;
        std::uint64_t signature = 0;
        double volume = 0;
    };
    struct Bar {
        BarValues values;
        Moment open_at, close_at, interest_at;
        bool has_interest = false;
        std::vector<std::uint64_t> signatures;  // without the volume
        std::vector<LineMark> marks;            // with the volume
    };
    void Mark(Bar& bar, const ParsedBarLine& line, const Moment& moment);

    BarSettings settings_;
    // By key; written in the order of their keys. The nodes stay in place,
    // so last_bar_ does.
    std::unordered_map<std::int32_t, Bar> bars_;
    Bar* last_bar_ = nullptr;  // of the line added last
    std::int32_t last_key_ = 0;
    bool any_ = false;
    Moment last_moment_;
    std::int64_t earlier_steps_ = 0;
    std::int64_t later_steps_ = 0;
    std::int64_t duplicates_ = 0;
};

}  // namespace varn
