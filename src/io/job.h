#pragma once
// What every job takes besides its choices and returns besides its output:
// where its lines come from, where its output goes, how it reports progress
// and learns to stop, and the report of what it did.
//
//   LineSource::FromArgument("-")          standard input
//   LineSource::FromArgument("prices.txt") the file prices.txt
//   Destination::FromArgument("-")         standard output
//
// "-" is understood here and nowhere else. A file or standard input may be
// compressed or UTF-16 (io/decoded_input.h): every job reads it as text.
//
// A job that read 1000 lines, of which line 17 did not read, reports
// lines_read 1000, lines_used 999, lines_skipped 1 and first_skipped
// {17, "Can't extract Month ..."}.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "calendar/layout_numbers.h"
#include "io/job_status.h"

namespace varn {

// Lines held in memory (the window's line stores): a job may read them in
// place of a file.
class LineList {
  public:
    virtual ~LineList() = default;
    virtual std::size_t Count() const = 0;
    // Line i (0 to Count() - 1), valid while the list is not changed.
    virtual std::string_view Line(std::size_t i) const = 0;
};

// A list over strings the caller keeps.
class StringLines final : public LineList {
  public:
    explicit StringLines(const std::vector<std::string>& lines) : lines_(lines) {}
    std::size_t Count() const override { return lines_.size(); }
    std::string_view Line(std::size_t i) const override { return lines_[i]; }

  private:
    const std::vector<std::string>& lines_;
};

// Where a job reads its lines: a file, standard input, or lines in memory.
class LineSource {
  public:
    enum class Kind { File, StandardInput, Lines };

    static LineSource File(std::string path) { return {Kind::File, std::move(path), nullptr}; }
    static LineSource StandardInput() { return {Kind::StandardInput, "-", nullptr}; }
    // name is what messages call the lines, e.g. the file they were loaded from.
    static LineSource Lines(const LineList& lines, std::string name) {
        return {Kind::Lines, std::move(name), &lines};
    }
    // "-" is standard input, anything else a file.
    static LineSource FromArgument(std::string_view text) {
        return text == "-" ? StandardInput() : File(std::string(text));
    }

    // The same source, reading the zip member named member (empty: the zip
    // file's only member).
    LineSource WithMember(std::string member) const {
        LineSource source = *this;
        source.member_ = std::move(member);
        return source;
    }

    Kind kind() const { return kind_; }
    // The path, "-", or the name of the lines: what messages show.
    const std::string& name() const { return name_; }
    const LineList* lines() const { return lines_; }
    // The zip member to read; empty for none chosen.
    const std::string& member() const { return member_; }

  private:
    LineSource(Kind kind, std::string name, const LineList* lines)
        : kind_(kind), name_(std::move(name)), lines_(lines) {}
    Kind kind_;
    std::string name_;
    const LineList* lines_;
    std::string member_;
};

// Where a job writes: a file (through a temporary file, renamed on success),
// standard output, or lines in memory (the window keeps bars before it asks
// where to save them).
class Destination {
  public:
    enum class Kind { File, StandardOutput, Lines };

    static Destination File(std::string path) { return {Kind::File, std::move(path), nullptr}; }
    static Destination StandardOutput() { return {Kind::StandardOutput, "-", nullptr}; }
    static Destination Lines(std::vector<std::string>& lines) {
        return {Kind::Lines, "(memory)", &lines};
    }
    // "-" is standard output, anything else a file.
    static Destination FromArgument(std::string_view text) {
        return text == "-" ? StandardOutput() : File(std::string(text));
    }

    Kind kind() const { return kind_; }
    const std::string& name() const { return name_; }
    std::vector<std::string>* lines() const { return lines_; }

  private:
    Destination(Kind kind, std::string name, std::vector<std::string>* lines)
        : kind_(kind), name_(std::move(name)), lines_(lines) {}
    Kind kind_;
    std::string name_;
    std::vector<std::string>* lines_;
};

// How a running job reports progress and learns that it should stop. Both may
// be empty.
struct JobCallbacks {
    std::function<void(int percent)> step;  // 0 to 100, now and then
    std::function<bool()> stop_requested;   // asked for every line
};

// A line a job did not use, and why.
struct SkippedLine {
    std::int64_t line = 0;  // 1-based
    std::string reason;
    friend bool operator==(const SkippedLine&, const SkippedLine&) = default;
};

// The layouts a bar or detection job used.
struct UsedLayouts {
    DateLayout date = DateLayout::YYMMDD;
    TimeLayout time = TimeLayout::NotIndicated;
    bool detected = false;               // guessed from the first lines rather than given
    PriceForm prices = PriceForm::Ohlc;  // bar jobs: how the prices were read
    friend bool operator==(const UsedLayouts&, const UsedLayouts&) = default;
};

// How a bar or detection job cut and read the lines of its input, for the
// reports: "comma", a header on line 1 naming "date, open, high, low, close".
struct InputReading {
    std::string separator;         // "spaces", "comma", "semicolon", "tab" or "pipe"
    bool decimal_comma = false;    // numbers written "10.586,70"
    std::int64_t header_line = 0;  // 1-based line naming the columns; 0: none
    std::string columns;           // "date, time, open, ..." as named; empty: by position
    bool columns_from_header = false;
    std::string zone_word;  // after the time of the first line ("US/EASTERN")
    // The symbols of the lines and how many lines each has, in order of
    // appearance (bar jobs read with a symbol column; detection reads every
    // line for them).
    std::vector<std::pair<std::string, std::int64_t>> symbols;
    // The zones times were moved from and to, as the database names them;
    // empty when none are moved (zone_in also empty when the times carry
    // their offsets).
    std::string zone_in;
    std::string zone_out;
};

// The reason of a job that read lines but could use none of them: it writes
// nothing, and an existing destination stays as it was.
std::error_code NoLineUsedError();
inline constexpr std::string_view NothingWritten = "nothing written";

// What a job did.
struct JobReport {
    // How many skipped lines are kept with their reasons.
    static constexpr std::size_t KeptSkips = 5;

    JobStatus status;  // ok, or what failed
    std::int64_t lines_read = 0;
    std::int64_t lines_used = 0;
    std::int64_t lines_skipped = 0;
    std::vector<SkippedLine> first_skipped;  // at most KeptSkips, in line order
    std::int64_t lines_written = 0;          // output lines: converted, kept or bars
    std::int64_t bars_written = 0;           // bar jobs: the same as lines_written
    bool stopped = false;                    // Break (or stop_requested) ended the job
    std::optional<UsedLayouts> layouts;      // bar and detection jobs
    std::optional<InputReading> reading;     // bar and detection jobs: how lines were read
    // Detection that found nothing: what it saw and what to do, in words.
    std::string detection_reason;
    std::int64_t header_lines = 0;  // a header and the lines above it: neither used nor skipped
    int fitting_lines = 0;          // detection: lines of the first 100 that fit
    std::int64_t lines_without_volume = 0;  // bar jobs summing volumes: used lines with none
    // Bar jobs: used lines whose four prices are not in order (high below
    // low, or open or close outside high-low), and the first of them (1-based).
    std::int64_t lines_out_of_order = 0;
    std::int64_t first_out_of_order = 0;
    // Bar jobs in time order: lines that went back in time from the line
    // before them, and lines that repeated one exactly (counted once).
    std::int64_t lines_back_in_time = 0;
    std::int64_t duplicate_lines = 0;
    // What the job found worth saying about how it read its input, one
    // sentence each: "dates fit month-first and day-first; took month-first".
    std::vector<std::string> notes;

    bool ok() const { return status.ok(); }
    // Whether the job read lines and used none (status then NoLineUsedError).
    bool used_no_line() const { return status.error == NoLineUsedError(); }
    // Counts a skipped line; keeps its reason while fewer than KeptSkips are.
    void Skip(std::int64_t line, std::string_view reason);
    // Whether a reason is still wanted for the next skipped line.
    bool WantsReason() const { return first_skipped.size() < KeptSkips; }
};

}  // namespace varn
