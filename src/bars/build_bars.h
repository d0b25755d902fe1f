#pragma once
// Building open-high-low-close bars from parsed price lines.
//
// Every line is parsed once; a line that does not parse is skipped. Lines
// that follow each other with equal keys form one bar: open of its first line,
// highest high, lowest low, close and stamp of its last line. The first and
// the last period each give a bar. Daily lines from 15 January to 3 April give
// four monthly bars; January's reads "1.31.2001 1.5000 1.6000 1.4000 1.5500".

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "bars/bar_input.h"
#include "bars/bar_line.h"
#include "bars/parse_batch.h"
#include "calendar/regional.h"
#include "io/atomic_file.h"
#include "io/job_status.h"
#include "io/line_reader.h"

namespace varn {

// The output delimiters, by position in the delimiter list: "space" writes
// " ", "comma" writes ", ".
inline constexpr std::array<std::string_view, 2> DelimiterItems = {"space", "comma"};
std::string_view DelimiterText(int delimiter_item);

// The choices of one bar job.
struct BarSettings {
    int date_layout = 0;
    int time_layout = 0;
    int period = MonthlyBar;
    std::string delimiter = " ";
};

// How many lines are parsed together.
inline constexpr std::size_t kBarBatchLines = 8192;

// Consumes lines one at a time and hands each finished bar line to a sink.
// Holds one open bar only.
class BarBuilder {
  public:
    using Sink = std::function<void(std::string_view bar_line)>;
    BarBuilder(BarSettings settings, const DateNames& names, Sink sink);

    void Add(std::string_view line);
    // Adds a line parsed beforehand (see ParseBarLines) under this builder's
    // settings.
    void AddParsed(const ParsedBarLine& line);
    const DateNames& names() const { return names_; }
    // Writes the open bar, if any. Not called when a job is stopped: the open
    // bar is then dropped.
    void Finish();

  private:
    void Emit();

    BarSettings settings_;
    DateNames names_;
    Sink sink_;
    bool open_ = false;
    std::int32_t key_ = 0;
    double open_price_ = 0, high_ = 0, low_ = 0, close_ = 0;
    ParsedDate last_date_;
    std::string text_;
};

// How a running job reports progress and learns that it should stop. Both
// may be empty.
struct BarProgress {
    std::function<void(int percent)> step;  // 0 to 100, called now and then
    std::function<bool()> stop_requested;   // asked for every line
};

// The bar lines of lines under settings. When stop_requested answers true,
// the bars closed so far are returned, the open bar is dropped and *stopped
// (when given) is set.
std::vector<std::string> BuildBars(const BarInputLines& lines, const BarSettings& settings,
                                   const DateNames& names, const BarProgress& progress = {},
                                   bool* stopped = nullptr);

// Reads up to count lines of reader into lines (replacing them); the detection
// of a streamed input looks at them before they are built into bars.
void ReadFirstLines(LineReader& reader, std::size_t count, std::vector<std::string>& lines);

// Builds bars from the lines already read (first) and then from the rest of
// reader, writing each bar line to output as it closes. Does not commit.
[[nodiscard]] JobStatus BuildBarsStream(const std::vector<std::string>& first, LineReader& reader,
                                        AtomicFile& output, const BarSettings& settings,
                                        const DateNames& names);

// Streams bars from the input file ("-" for standard input) to output ("-"
// for standard output) through a temporary file; memory does not grow with
// the input.
[[nodiscard]] JobStatus BuildBarsFile(const std::string& input, const std::string& output,
                                      const BarSettings& settings, const DateNames& names);

}  // namespace varn
