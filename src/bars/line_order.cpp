#include "bars/line_order.h"

#include <algorithm>
#include <bit>

namespace varn {
namespace {

// Mixes value into hash (the finaliser of SplitMix64 over their sum).
std::uint64_t Mix(std::uint64_t hash, std::uint64_t value) {
    std::uint64_t z = hash + value + 0x9E3779B97F4A7C15ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

}  // namespace

std::uint64_t SignatureOf(const Moment& moment, const LineNumbers& numbers) {
    std::uint64_t hash = Mix(0, static_cast<std::uint64_t>(moment.seconds));
    hash = Mix(hash, static_cast<std::uint64_t>(moment.nanoseconds));
    for (const double value : numbers) {
        // Every missing number (NaN) alike; 0 and -0 alike.
        hash = Mix(hash, IsMissing(value) ? 1 : std::bit_cast<std::uint64_t>(value + 0.0));
    }
    return hash;
}

LineOrder::Step LineOrder::Add(const ParsedBarLine& line) {
    const Moment moment = MomentOf(line);
    if (!any_ || moment > last_) {
        // Nearly every line is later than the one before: its signature is
        // made only when another line comes at its moment.
        const Step step = any_ ? Step::Later : Step::First;
        any_ = true;
        last_ = moment;
        first_numbers_ = NumbersOf(line.bar);
        first_unsigned_ = true;
        at_last_.clear();
        if (!many_at_last_.empty()) many_at_last_.clear();
        return step;
    }
    if (moment < last_) return Step::Earlier;
    return AddSigned(moment, LineSignature(line));
}

LineOrder::Step LineOrder::AddSigned(const Moment& moment, std::uint64_t signature) {
    if (!any_ || moment > last_) {
        const Step step = any_ ? Step::Later : Step::First;
        any_ = true;
        last_ = moment;
        at_last_.assign(1, signature);
        if (!many_at_last_.empty()) many_at_last_.clear();
        first_unsigned_ = false;
        return step;
    }
    if (moment < last_) return Step::Earlier;
    if (first_unsigned_) {
        at_last_.push_back(SignatureOf(last_, first_numbers_));
        first_unsigned_ = false;
    }
    if (!many_at_last_.empty()) {
        return many_at_last_.insert(signature).second ? Step::Same : Step::Duplicate;
    }
    if (std::find(at_last_.begin(), at_last_.end(), signature) != at_last_.end()) {
        return Step::Duplicate;
    }
    at_last_.push_back(signature);
    if (at_last_.size() > kFewAtOneMoment) {
        // Many lines of one moment (a file of dates without times): look
        // them up by hash from now on.
        many_at_last_.insert(at_last_.begin(), at_last_.end());
        at_last_.clear();
    }
    return Step::Same;
}

void LineOrder::ContinueAfter(const Moment& last) {
    any_ = true;
    last_ = last;
    at_last_.clear();
    if (!many_at_last_.empty()) many_at_last_.clear();
    first_unsigned_ = false;
}

}  // namespace varn
