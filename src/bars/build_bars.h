#pragma once
// The bar job: open-high-low-close bars from parsed price lines.
//
// Every line is parsed once; a line that does not parse is skipped. Lines
// that follow each other with equal keys form one bar: open of its first line,
// highest high, lowest low, close and stamp of its last line. The first and
// the last period each give a bar. Daily lines from 15 January to 3 April give
// four monthly bars; January's reads "1.31.2001 1.5000 1.6000 1.4000 1.5500".
//
//   BarChoices choices;                  // layouts detected, monthly bars
//   JobReport report = RunBars(LineSource::File("in.txt"),
//                              Destination::File("bars.txt"), choices);

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "bars/bar_line.h"
#include "bars/parse_batch.h"
#include "calendar/layout_numbers.h"
#include "calendar/regional.h"
#include "io/job.h"

namespace varn {

// The output delimiters, by position in the delimiter list.
enum class Delimiter : int { Space = 0, Comma = 1 };
inline constexpr std::array<std::string_view, 2> DelimiterItems = {"space", "comma"};
// " " for Space, ", " for Comma.
std::string_view DelimiterText(Delimiter delimiter);

// How lines are read into bars once the layouts are known.
struct BarSettings {
    DateLayout date_layout = DateLayout::YYMMDD;
    TimeLayout time_layout = TimeLayout::NotIndicated;
    BarPeriod period = BarPeriod::Month;
    Delimiter delimiter = Delimiter::Space;
};

// The choices of one bar job. A layout left empty is detected from the first
// lines (DetectInputLayouts), with the other one fixed when given.
struct BarChoices {
    std::optional<DateLayout> date_layout;
    std::optional<TimeLayout> time_layout;
    BarPeriod period = BarPeriod::Month;
    Delimiter delimiter = Delimiter::Space;
    RegionalNames names = EnglishRegionalNames();  // regional month names and designators
};

// How many lines are parsed together.
inline constexpr std::size_t kBarBatchLines = 8192;

// Consumes parsed lines in order and hands each finished bar line to a sink.
// Holds one open bar only.
class BarBuilder {
  public:
    using Sink = std::function<void(std::string_view bar_line)>;
    BarBuilder(BarSettings settings, Sink sink);

    // Adds a line parsed under this builder's settings (see ParseBarLines).
    void AddParsed(const ParsedBarLine& line);
    // Writes the open bar, if any. Not called when a job is stopped: the open
    // bar is then dropped.
    void Finish();

  private:
    void Emit();

    BarSettings settings_;
    std::string delimiter_;
    Sink sink_;
    bool open_ = false;
    std::int32_t key_ = 0;
    double open_price_ = 0, high_ = 0, low_ = 0, close_ = 0;
    ParsedDate last_date_;
    std::string text_;
};

// Builds the bars of source into destination. Layouts not given are detected
// from the first lines; when they cannot be, the job fails without writing and
// the report says why (as RunDetect). A job that reads lines and can use none
// fails with NoLineUsedError and writes nothing. callbacks.step receives the share of lines built
// when the number of lines is known (lines in memory); when stop_requested answers true the bars
// closed so far are written, the open bar is dropped and the report tells stopped. The report
// counts lines read, used and skipped (with the first reasons) and bars written, and names the
// layouts used.
JobReport RunBars(const LineSource& source, const Destination& destination,
                  const BarChoices& choices, const JobCallbacks& callbacks = {});

// Detects the layouts of source as RunBars would: lines_read counts the lines
// looked at, layouts and fitting_lines tell what was found. When nothing is,
// the status is a failure with a DetectionError; when no pair fits enough
// lines, layouts (not detected) and fitting_lines tell the nearest pair.
JobReport RunDetect(const LineSource& source, const BarChoices& choices);

}  // namespace varn
