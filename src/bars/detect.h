#pragma once
// Guessing the date and time layouts of a bar input from its first lines.
//
// Only an input of more than 100 lines is examined. Date layouts are tried in
// ascending order and, for each, time layouts from 7 down to 0; the first pair
// that fits at least 96 of the first 100 lines wins. A file of 96 lines
// "01/02/2001 1.5 1.6 1.4 1.55" behind four headers, and more lines after,
// is date layout 5 ("MM/DD/YYYY") with time layout 0 ("Not Indicated").
//
// Detection may also decide how the prices read: four of them when a pair fits
// that way (in order: low <= open, close <= high), else one price per line
// (tick lines "01/02/2001 1.5 200") when a pair fits 96 lines so.
//
// Before the layouts, detection finds how the lines are cut and read (see
// LineShape: the separator, a header naming the columns, the decimal mark)
// and looks at the lines so rewritten; a header and the lines above it are
// not examined. When a month-first pair wins and its day-first twin fits as
// well, the lines that follow decide (DayOrderCheck).

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "bars/line_shape.h"
#include "calendar/layout_numbers.h"
#include "calendar/parse_date.h"
#include "calendar/regional.h"
#include "io/job.h"

namespace varn {

inline constexpr int DetectLineCount = 100;  // lines examined
inline constexpr int DetectThreshold = 96;   // of them, how many must fit

struct LayoutPair {
    DateLayout date_layout = DateLayout::YYMMDD;
    TimeLayout time_layout = TimeLayout::NotIndicated;
    friend bool operator==(const LayoutPair&, const LayoutPair&) = default;
};

// What detection found.
struct Detection {
    enum class Outcome {
        Detected,     // pair fits fitting_lines of the first 100 lines
        TooFewLines,  // the input has DetectLineCount lines or fewer
        NoFit,        // no pair fits DetectThreshold of the first lines
        BadColumns,   // the columns named cannot give bars (see reason)
    };
    Outcome outcome = Outcome::TooFewLines;
    LayoutPair pair;                   // Detected: the pair; NoFit: the pair that fits most lines
    PriceForm form = PriceForm::Ohlc;  // how the fitting lines read: Ohlc or Single
    int fitting_lines = 0;             // how many of the first lines pair fits
    LineShape shape;                   // how the lines are cut and read
    // NoFit and BadColumns: what was seen, and what to do, in words ("the
    // first field is text on every line: name the columns with --columns").
    std::string reason;
    // Detected with a month-first pair whose day-first twin fits the first
    // lines too: the twin, until later lines decide (DayOrderCheck).
    std::optional<LayoutPair> day_first;
    std::string zone_word;  // after the time of the first fitting line ("US/EASTERN")
    std::string note;       // how the day order was chosen, when later lines chose it
    // How many numbers (up to six) most of the fitting lines hold after their
    // date and time: a line of one price with more than two holds numbers
    // whose meaning is unknown (bid, ask, size?).
    int numbers_after_stamp = 0;
    bool detected() const { return outcome == Outcome::Detected; }
};

// Why detection found nothing, as an error: "100 lines or fewer are not
// examined", "no date and time layout fits 96 of the first 100 lines" or "the
// columns cannot give bars".
std::error_code DetectionError(Detection::Outcome outcome);

// The lines detection asks for: enough for DetectLineCount after a header
// and the lines above it.
inline constexpr std::size_t DetectFirstLines = DetectLineCount + 8;

// The rule by which every job and the bar page guess the layouts. first holds
// the first lines of the input: DetectFirstLines of them, or all when the
// input has fewer. Layouts given as fixed are not varied. form is the price
// form lines must fit; with Auto every pair is tried with four prices first,
// then, when none fits, with one. Columns named (by a header or by choices)
// decide the form themselves. The shape is found even when both layouts are
// fixed.
Detection DetectInputLayouts(std::span<const std::string_view> first, const DateNames& names,
                             std::optional<DateLayout> fixed_date_layout = std::nullopt,
                             std::optional<TimeLayout> fixed_time_layout = std::nullopt,
                             PriceForm form = PriceForm::Ohlc, const ShapeChoices& shape = {});

// Decides between a month-first pair and its day-first twin from the lines of
// a file, one at a time from its first: the first line whose date reads one
// way only decides ("13/01/2024" is day-first). When none does, the steps
// between the dates of following lines decide: by one to seven days the one
// way and not the other ("02.01.2024", "03.01.2024" step by days read
// day-first, by months read month-first), for lines with times (intraday
// data of following days). When nothing decides, month-first stays.
class DayOrderCheck {
  public:
    DayOrderCheck(const Detection& detection, const DateNames& names);

    // Looks at one more line (number 1-based); true once a line has decided.
    bool Feed(std::string_view line, std::int64_t number);
    bool decided() const { return decided_.has_value(); }
    // The pair to read with, and a note that says how it was chosen (empty
    // when a line decided for month-first, as every file read before).
    LayoutPair Choice(std::string& note) const;

  private:
    struct Reading {
        LayoutPair pair;
        std::int64_t last_day = 0;     // the day number of the last date read, 0: none
        std::int64_t short_steps = 0;  // dates one to seven days after the one before
    };
    bool Reads(Reading& reading, std::string_view line);

    const DateNames& names_;
    LineShape shape_;
    Reading month_first_;
    Reading day_first_;
    std::optional<bool> decided_;  // true: day-first
    std::int64_t deciding_line_ = 0;
};

// Runs a DayOrderCheck over lines (from the first) when detection left the
// day order open, and sets detection's pair and note to its choice.
void DecideDayOrder(Detection& detection, const LineList& lines, const DateNames& names);

// The first pair fitting at least DetectThreshold of the first DetectLineCount
// of lines, or nothing, whatever the number of lines.
std::optional<LayoutPair> DetectLayouts(std::span<const std::string_view> lines,
                                        const DateNames& names,
                                        std::optional<DateLayout> fixed_date_layout = std::nullopt,
                                        std::optional<TimeLayout> fixed_time_layout = std::nullopt);

// How many of the first DetectLineCount lines after the header of shape fit
// pair with the prices read as form (Single, or four prices for anything
// else), each line read as shape rewrites it: the count detection compares
// with DetectThreshold, for a pair chosen by hand. lines holds the first
// lines of the input (DetectFirstLines of them, so that a header leaves
// DetectLineCount); with the shape detection found and its pair and form,
// the count is the detection's fitting_lines.
int CountFittingLines(std::span<const std::string_view> lines, const LayoutPair& pair,
                      PriceForm form, const DateNames& names, const LineShape& shape);

}  // namespace varn
