#pragma once
// Reading an input in large blocks of whole lines, for jobs that hand the
// blocks to several threads. Each block ends at a line end of the rules
// given, so its lines can be split apart without the blocks around it; the
// last block may end without one (the input's last line). A line longer than
// a block makes that block longer.
//
// - LineRules::Stream: a block ends after an LF; a CR LF is never split, and
//   Ctrl-Z ends the input (nothing after it is read).
// - LineRules::List: a block ends after an LF or a CR, but never after a CR
//   that could be the first half of a CR LF still unread.
//
//   BlockReader reader;
//   if (auto s = reader.Open(LineSource::FromArgument("-"), LineRules::Stream, 1 << 20); !s) ...
//   for (std::string block; reader.Next(block);) ForEachStreamLine(block, ...);

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

#include "io/decoded_input.h"
#include "io/job.h"
#include "io/job_status.h"
#include "io/line_rules.h"

namespace varn {

class BlockReader {
  public:
    // The block size when none is chosen.
    static constexpr std::size_t kDefaultBlockSize = std::size_t{128} << 10;

    BlockReader() = default;
    BlockReader(const BlockReader&) = delete;
    BlockReader& operator=(const BlockReader&) = delete;

    // Opens a file or standard input (lines in memory are not read here),
    // decoded as io/decoded_input.h tells.
    // block_size is the bytes read at a time (0: kDefaultBlockSize).
    [[nodiscard]] JobStatus Open(const LineSource& source, LineRules rules, std::size_t block_size);

    // Replaces block by the next run of whole lines, line ends included.
    // False at the end of the input or on a read error (see status()).
    [[nodiscard]] bool Next(std::string& block);

    // Ok until a read fails.
    const JobStatus& status() const { return status_; }

  private:
    // Appends up to block_size_ bytes to pending_; false when nothing more
    // comes (the end, a Ctrl-Z under Stream, or an error).
    bool Read();
    // Where pending_ may be cut: one past its last line end at or after from
    // that is sure to be one, or 0.
    std::size_t CutPoint(std::size_t from) const;

    DecodedInput input_;
    LineRules rules_ = LineRules::Stream;
    std::size_t block_size_ = kDefaultBlockSize;
    JobStatus status_;
    std::string pending_;  // bytes read and not yet handed out
    bool at_end_ = false;
};

// The next run of lines in memory from `next` on: lines of about block_size
// bytes together (0: BlockReader::kDefaultBlockSize), one line at least.
// Sets [first, last) and moves next past them; false when none is left.
bool NextListedRun(const LineList& list, std::size_t& next, std::size_t block_size,
                   std::size_t& first, std::size_t& last);

// The number of lines ForEachStreamLine finds in block: one for each LF,
// and the last line when the block does not end with LF.
std::size_t StreamLineCount(std::string_view block);

// Calls line(text) for each line of block under the Stream rules, the CRs
// dropped (text is then copied into scratch). A block that does not end with
// LF ends with its last line.
template <typename LineFn>
void ForEachStreamLine(std::string_view block, std::string& scratch, LineFn&& line) {
    std::size_t start = 0;
    const std::size_t size = block.size();
    while (start < size) {
        std::size_t at = FindLineFeed(block, start);
        const std::string_view text = block.substr(start, at - start);
        if (std::memchr(text.data(), '\r', text.size()) == nullptr) {
            line(text);
        } else {
            scratch.assign(text);
            DropCarriageReturns(scratch);
            line(std::string_view(scratch));
        }
        start = at + 1;
    }
}

}  // namespace varn
