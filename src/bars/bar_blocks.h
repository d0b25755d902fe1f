#pragma once
// The input of a bar job in blocks of lines, parsed on a pool of threads:
// blocks of whole lines from a file or standard input, or runs of lines in
// memory. The first blocks are read before the job starts, for detection, and
// handed out again first. A job may read its input a second time from the
// start (Rewind): a file is opened again, lines in memory are listed again,
// and standard input is handed out again from copies kept of its first
// blocks.
//
//   BarBlocks blocks(source, 0);
//   blocks.Open();
//   first = blocks.FirstLines(DetectFirstLines);   // detection
//   while (blocks.Next(block)) blocks.Parse(block, settings, reading, names, parsed);

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "bars/bar_builder.h"
#include "bars/detect.h"
#include "bars/line_order.h"
#include "bars/parse_batch.h"
#include "io/block_reader.h"
#include "io/job.h"

namespace varn {

// The lines of one block: bytes of whole lines read from a file, or a run of
// lines in memory.
struct BarBlock {
    std::string text;
    std::size_t first = 0;  // lines in memory: [first, last)
    std::size_t last = 0;
};

// A block's lines and what each parsed to.
struct ParsedBlock {
    std::vector<std::string_view> lines;
    std::vector<ParsedBarLine> parsed;
    // When the block's bars are built where it is parsed: the bars of the
    // runs of equal keys that begin and end inside the block, lines
    // [inner_begin, inner_end), and those lines' counts. The first run may
    // continue the previous block's bar and the last one the next block's:
    // their lines are built in order with the rest.
    std::size_t inner_begin = 0;
    std::size_t inner_end = 0;
    std::string bar_text;  // the bar lines, each ended by CR LF
    std::int64_t bar_count = 0;
    std::int64_t inner_used = 0;
    std::int64_t inner_without_volume = 0;
    std::int64_t inner_out_of_order = 0;
    std::size_t first_inner_out_of_order = 0;  // index in the block, when inner_out_of_order
    std::vector<std::size_t> inner_failed;     // the lines that do not read
    // With the time order followed: whether a line of the block goes back in
    // time from the one before it, the repeated lines of the inner runs left
    // out, and the moment of the inner runs' last line.
    bool goes_back = false;
    std::size_t back_at = 0;  // the line that goes back, when one does
    std::int64_t inner_duplicates = 0;
    Moment inner_last;
};

// Finds the runs of equal keys that begin and end inside block and builds
// their bars: everything after the first run and before the last. With
// in_order, also tells whether the block's lines go back in time, and leaves
// out the lines of the inner runs that repeat one before them exactly.
void BuildInnerBars(const BarSettings& settings, const BarReading& reading, bool in_order,
                    ParsedBlock& block);

class BarBlocks {
  public:
    BarBlocks(const LineSource& source, std::size_t block_bytes)
        : source_(source),
          list_(source.kind() == LineSource::Kind::Lines ? source.lines() : nullptr),
          block_bytes_(block_bytes) {}

    JobStatus Open();
    // Up to count first lines of the input, which stay valid until ReadOn or
    // Rewind.
    std::vector<std::string_view> FirstLines(std::size_t count);
    bool Next(BarBlock& block);

    // Hands the lines after the first `from` to check until it decides or the
    // input ends. The blocks read stay to be handed out, up to a bound; past
    // it a file is read on and opened again afterwards, standard input is
    // left undecided. False on a read error.
    bool ReadOn(DayOrderCheck& check, std::size_t from);

    // Keeps copies of the blocks standard input hands out, up to a bound, so
    // that Rewind can hand them out again.
    void KeepForRewind() { keep_ = source_.kind() == LineSource::Kind::StandardInput; }
    // Hands the input out again from its start: false when it cannot (standard
    // input past the bound of copies, or a file that no longer opens; status()
    // then tells a read error).
    bool Rewind();

    // Splits and parses one block (on any thread).
    void Parse(const BarBlock& block, const BarSettings& settings, const BarReading& reading,
               const DateNames& names, ParsedBlock& result) const;

    const JobStatus& status() const { return list_ != nullptr ? ok_ : reader_->status(); }
    std::size_t known_count() const { return list_ != nullptr ? list_->Count() : 0; }

  private:
    // The bytes held while later lines decide the day order.
    static constexpr std::size_t kReadOnBytes = std::size_t{16} << 20;
    // The bytes of standard input kept for a second reading.
    static constexpr std::size_t kRewindBytes = std::size_t{64} << 20;

    const LineSource& source_;
    const LineList* list_;
    std::size_t block_bytes_;
    std::unique_ptr<BlockReader> reader_;
    std::deque<std::string> early_;  // blocks read before, not yet handed out
    std::size_t next_listed_ = 0;
    bool keep_ = false;
    std::deque<std::string> kept_;  // copies of the blocks of standard input handed out
    std::size_t kept_bytes_ = 0;
    bool kept_all_ = true;  // every block handed out is among kept_
    JobStatus ok_;
};

// Asks before each line whether the job should stop, once per line.
class StopCheck {
  public:
    explicit StopCheck(const std::function<bool()>& stop_requested) : stop_(stop_requested) {}
    // Whether the job stops before line `index` (0-based).
    bool Before(std::int64_t index) {
        if (index < asked_) return false;  // asked for already, not stopped at
        if (stopped_ || !stop_) return stopped_;
        stopped_ = stop_();
        if (!stopped_) asked_ = index + 1;
        return stopped_;
    }
    bool stopped() const { return stopped_; }
    // Asks again from the first line (the input read again).
    void Restart() { asked_ = 0; }

  private:
    const std::function<bool()>& stop_;
    std::int64_t asked_ = 0;  // lines asked for and not stopped at
    bool stopped_ = false;
};

}  // namespace varn
