#pragma once
// The time order of a bar job's lines, one line after another: whether a line
// goes back in time, and whether it repeats a line before it exactly (the same
// moment and the same numbers), which then counts once.
//
//   LineOrder order;
//   order.Add(line 09:30 1 2 0.5 1.5)   Later
//   order.Add(line 09:30 1 2 0.5 1.5)   Duplicate: its volume is not added again
//   order.Add(line 09:30 1 3 0.5 2.5)   Same: another price at the same moment
//   order.Add(line 09:29 ...)           Earlier: the lines are not in time order

#include <array>
#include <cstdint>
#include <unordered_set>
#include <vector>

#include "bars/parse_batch.h"

namespace varn {

// A line's moment: whole seconds from BarEpoch and the fraction of the second.
struct Moment {
    std::int64_t seconds = 0;
    std::int32_t nanoseconds = 0;
    // NOLINTNEXTLINE(modernize-use-nullptr): a false finding on a defaulted <=>
    friend auto operator<=>(const Moment&, const Moment&) = default;
};
inline Moment MomentOf(const ParsedBarLine& line) {
    return {line.bar.seconds, line.date.nanoseconds};
}

// The numbers of a line: open, high, low, close, volume, open interest.
using LineNumbers = std::array<double, 6>;
inline LineNumbers NumbersOf(const BarLine& bar) {
    return {bar.open, bar.high, bar.low, bar.close, bar.volume, bar.open_interest};
}

// The moment and numbers of a line as one 64-bit value: two lines with the
// same moment and the same numbers have the same signature.
std::uint64_t SignatureOf(const Moment& moment, const LineNumbers& numbers);
inline std::uint64_t LineSignature(const ParsedBarLine& line) {
    return SignatureOf(MomentOf(line), NumbersOf(line.bar));
}

class LineOrder {
  public:
    enum class Step { First, Later, Same, Duplicate, Earlier };

    // Where line (one that reads) stands against the lines added before it.
    // An Earlier line leaves the order as it was.
    Step Add(const ParsedBarLine& line);
    // The same for a line known by its moment and signature.
    Step AddSigned(const Moment& moment, std::uint64_t signature);
    // Continues after lines added elsewhere whose last moment was last.
    void ContinueAfter(const Moment& last);

  private:
    static constexpr std::size_t kFewAtOneMoment = 16;
    bool any_ = false;
    Moment last_;
    // The signatures of the lines at last_: a few in a list, more in a set;
    // those of the first line only once a second one comes.
    std::vector<std::uint64_t> at_last_;
    LineNumbers first_numbers_{};
    bool first_unsigned_ = false;
    std::unordered_set<std::uint64_t> many_at_last_;
};

}  // namespace varn
