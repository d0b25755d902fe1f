#pragma once
// Where a bar job's bars go, one sink a symbol: the destination of the job,
// or with a folder to split into, one file a symbol ("DIR/EURUSD.txt"). A
// sink builds its bars from runs of lines in time order (BarBuilder) or from
// lines in any order (KeyedBars), and writes through one LineOutput; standard
// output is held in memory, up to a bound, while the job may still start
// again from its first line.
//
//   BarSinks sinks(settings, options);
//   BarSink* sink = sinks.For("EURUSD", status);   // nullptr: a line not wanted
//   sink->Add(line);
//   sinks.CommitAll(false);

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bars/bar_builder.h"
#include "bars/line_order.h"
#include "io/job.h"
#include "io/line_output.h"

namespace varn {

// How a pass over the lines builds bars: from runs of lines as they stand
// (the order the file has), from lines in time order (the job starts again,
// by keys, when one goes back), or by keys from lines in any order.
enum class PassMode { Runs, InOrder, Keyed };

// A symbol as a file name: letters, digits, ".", "-" and "_" kept, any other
// byte "_", and never empty, "." or ".." ("BTC/USD" is "BTC_USD").
std::string SymbolFileName(std::string_view symbol);

class BarSink {
  public:
    BarSink(const BarSettings& settings, PassMode mode, BarCallback on_bar);
    BarSink(const BarSink&) = delete;
    BarSink& operator=(const BarSink&) = delete;

    // Opens destination; with hold, lines for standard output are kept in
    // memory until Commit or until they pass a bound.
    [[nodiscard]] JobStatus Open(const Destination& destination, LineEnd line_end, bool header,
                                 bool hold);

    void Add(const ParsedBarLine& line);
    // A line that repeats one before it exactly (BarBuilder::AddRepeat).
    void AddRepeat(const ParsedBarLine& line);
    // The bars of inner runs built elsewhere (each ended by CR LF): the open
    // bar ends before them.
    void AddBuilt(std::string_view bar_text, std::int64_t bar_count);
    LineOrder& order() { return order_; }

    // Writes what is left (with stopped, the open bar or the bar of the last
    // line is dropped) and commits.
    [[nodiscard]] JobStatus Commit(bool stopped);
    // Whether nothing has reached standard output or a file yet that a start
    // from the first line again would have to take back.
    bool can_restart() const { return held_ || !to_standard_output_; }
    JobStatus status() const;
    std::int64_t bars_written() const;
    const KeyedBars* keyed() const { return keyed_.get(); }
    const std::string& name() const { return name_; }

  private:
    void WriteLine(std::string_view line);
    // Sends what is held to standard output, and all that follows.
    void Release();

    BarSettings settings_;
    std::string name_;
    LineOutput out_;
    std::vector<std::string> held_lines_;
    std::size_t held_bytes_ = 0;
    bool held_ = false;
    bool to_standard_output_ = false;
    LineEnd line_end_ = LineEnd::CrLf;
    std::int64_t lines_ = 0;  // written or held, the header among them
    std::int64_t header_lines_ = 0;
    std::unique_ptr<BarBuilder> builder_;
    std::unique_ptr<KeyedBars> keyed_;
    std::unique_ptr<BarWriter> keyed_writer_;
    LineOrder order_;
};

// The sinks of one job: one for its destination, or one for each symbol in
// a folder. Lines of a symbol other than the one chosen are not wanted.
class BarSinks {
  public:
    struct Options {
        Destination destination = Destination::StandardOutput();
        std::string split_dir;  // one file a symbol in it, when not empty
        std::string symbol;     // the one symbol wanted, when not empty
        LineEnd line_end = LineEnd::CrLf;
        bool header = false;
        bool hold = false;  // hold standard output while the job may start again
        BarCallback on_bar;
    };
    BarSinks(const BarSettings& settings, PassMode mode, Options options);

    // The sink of symbol's lines, opened at its first line; nullptr for a
    // symbol not wanted, or on a failure to open (status then tells).
    BarSink* For(std::string_view symbol, JobStatus& status);
    // The symbols seen, in order of appearance, with their lines.
    const std::vector<std::pair<std::string, std::int64_t>>& symbols() const { return symbols_; }
    // Counts a line of symbol (every line that reads has one, "" without a
    // symbol column).
    void Count(std::string_view symbol);

    [[nodiscard]] JobStatus CommitAll(bool stopped);
    bool can_restart() const;
    std::int64_t bars_written() const;
    std::vector<const BarSink*> all() const;

  private:
    std::vector<BarSink*> Mutable();

    BarSettings settings_;
    PassMode mode_;
    Options options_;
    std::map<std::string, std::unique_ptr<BarSink>, std::less<>> sinks_;
    std::map<std::string, std::string, std::less<>> file_of_;  // symbol -> file name
    std::vector<std::pair<std::string, std::int64_t>> symbols_;
    std::map<std::string, std::size_t, std::less<>> symbol_at_;
    std::unique_ptr<BarSink> only_;  // without a folder
};

}  // namespace varn
