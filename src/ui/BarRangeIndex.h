#pragma once
// The lowest low, highest high and summed volume of any run of bars, in a time
// that does not grow with the run: the bars are grouped in blocks of 16, the
// blocks in blocks of 256, and so on, each block keeping its own extremes. A
// run [first, last) is answered from its loose bars at both ends and the
// largest whole blocks between them, at most 2 * 15 entries per level.
//
//   lows {3, 1, 4, 1, 5}, highs {9, 2, 6, 5, 3}:  Range(1, 4) has low 1, high 6
//
// Missing values (NaN) are skipped: a run of nothing but NaN has low +inf and
// high -inf, and a NaN volume counts as none.

#include <cstddef>
#include <vector>

namespace varn {

struct PriceRange {
    double low;     // +inf when the run holds no price
    double high;    // -inf when the run holds no price
    double volume;  // the sum; 0 for an empty run

    static PriceRange Empty();
    void Merge(const PriceRange& other);
    bool HasPrices() const { return low <= high; }
};

class BarRangeIndex {
  public:
    static constexpr std::size_t BlockBars = 16;

    // Builds the blocks over the bars' own ranges, one entry per bar; O(n).
    void Build(std::vector<PriceRange> bars);
    void Clear();

    std::size_t Size() const { return levels_.empty() ? 0 : levels_.front().size(); }
    // The range of bars [first, last), last clamped to Size(); empty when
    // first >= last.
    PriceRange Range(std::size_t first, std::size_t last) const;

  private:
    // levels_[0] holds one entry per bar, levels_[k] one per 16^k bars (the
    // last block of a level may be short).
    std::vector<std::vector<PriceRange>> levels_;
};

}  // namespace varn
