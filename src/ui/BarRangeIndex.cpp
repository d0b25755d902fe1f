#include "ui/BarRangeIndex.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace varn {

PriceRange PriceRange::Empty() {
    constexpr double inf = std::numeric_limits<double>::infinity();
    return {inf, -inf, 0.0};
}

void PriceRange::Merge(const PriceRange& other) {
    // fmin and fmax return the other operand when one is NaN, so a missing
    // price never hides the ones around it.
    low = std::fmin(low, other.low);
    high = std::fmax(high, other.high);
    if (!std::isnan(other.volume)) volume += other.volume;
}

void BarRangeIndex::Build(std::vector<PriceRange> bars) {
    levels_.clear();
    for (PriceRange& bar : bars) {
        // One bar alone: its own low and high, a NaN volume as none.
        PriceRange clean = PriceRange::Empty();
        clean.Merge(bar);
        bar = clean;
    }
    levels_.push_back(std::move(bars));
    while (levels_.back().size() > BlockBars) {
        const std::vector<PriceRange>& below = levels_.back();
        std::vector<PriceRange> level((below.size() + BlockBars - 1) / BlockBars,
                                      PriceRange::Empty());
        for (std::size_t i = 0; i < below.size(); ++i) level[i / BlockBars].Merge(below[i]);
        levels_.push_back(std::move(level));
    }
}

void BarRangeIndex::Clear() { levels_.clear(); }

PriceRange BarRangeIndex::Range(std::size_t first, std::size_t last) const {
    PriceRange range = PriceRange::Empty();
    last = std::min(last, Size());
    std::size_t level = 0;
    // first and last count entries of levels_[level]; a block of the level
    // above is taken only when all its entries lie in [first, last), so a
    // short last block is never taken whole unless the run reaches the end.
    while (first < last) {
        const std::vector<PriceRange>& entries = levels_[level];
        if (level + 1 == levels_.size()) {
            for (; first < last; ++first) range.Merge(entries[first]);
            break;
        }
        for (; first < last && first % BlockBars != 0; ++first) range.Merge(entries[first]);
        for (; first < last && last % BlockBars != 0 && last != entries.size(); --last) {
            range.Merge(entries[last - 1]);
        }
        if (first == last) break;
        // The run's end at the level's end: the short last block is whole.
        first /= BlockBars;
        last = (last + BlockBars - 1) / BlockBars;
        ++level;
    }
    return range;
}

}  // namespace varn
