#include "io/line_rules.h"

#include <algorithm>

namespace varn {

std::size_t StreamInputLength(std::string_view text) {
    const void* z = std::memchr(text.data(), CtrlZ, text.size());
    return z == nullptr ? text.size()
                        : static_cast<std::size_t>(static_cast<const char*>(z) - text.data());
}

void DropCarriageReturns(std::string& line) { std::erase(line, '\r'); }

std::size_t ListBreakFinder::Next(std::string_view text, std::size_t pos) {
    const auto find = [text, pos](char c) {
        const void* at = std::memchr(text.data() + pos, c, text.size() - pos);
        return at == nullptr ? text.size()
                             : static_cast<std::size_t>(static_cast<const char*>(at) - text.data());
    };
    // A remembered position still holds while it lies at or after pos: no
    // byte before it is that character.
    if (next_lf_ == kUnknown || next_lf_ < pos) next_lf_ = find('\n');
    if (next_cr_ == kUnknown || next_cr_ < pos) next_cr_ = find('\r');
    return std::min(next_lf_, next_cr_);
}

std::vector<std::string> ListLines(std::string_view text) {
    std::vector<std::string> lines;
    ForEachListLine(text, [&](std::size_t offset, std::size_t length) {
        lines.emplace_back(text.substr(offset, length));
    });
    return lines;
}

std::vector<std::string> SplitPastedText(std::string_view text) {
    std::vector<std::string> pieces = ListLines(text);
    // A break at the end still starts a piece, and so does an empty text.
    if (FinalBreakLength(text) > 0 || text.empty()) pieces.emplace_back();
    return pieces;
}

std::int64_t CountLineFeeds(std::string_view text) {
    // Byte lanes that the compiler turns into vector compares: a lane cannot
    // overflow within 255 rounds.
    constexpr std::size_t kLanes = 32;
    const char* p = text.data();
    std::size_t n = text.size();
    std::int64_t total = 0;
    while (n > 0) {
        const std::size_t chunk = std::min(n, 255 * kLanes);
        std::uint8_t lanes[kLanes] = {};
        std::size_t i = 0;
        for (; i + kLanes <= chunk; i += kLanes) {
            for (std::size_t k = 0; k < kLanes; ++k) {
                lanes[k] = static_cast<std::uint8_t>(lanes[k] + (p[i + k] == '\n' ? 1 : 0));
            }
        }
        for (const std::uint8_t lane : lanes) total += lane;
        for (; i < chunk; ++i) total += p[i] == '\n' ? 1 : 0;
        p += chunk;
        n -= chunk;
    }
    return total;
}

void ListLineCounter::Add(std::string_view block) {
    if (block.empty()) return;
    const char* p = block.data();
    const char* const stop = p + block.size();
    last_ = stop[-1];
    if (after_cr_ && *p == '\n') ++p;  // the second half of a CR LF
    after_cr_ = false;
    const auto rest = static_cast<std::size_t>(stop - p);
    if (std::memchr(p, '\r', rest) == nullptr) {
        // Every break is an LF.
        breaks_ += CountLineFeeds(std::string_view(p, rest));
        return;
    }
    // A CR counts a break, and so does an LF not after a CR.
    std::int64_t cr = 0;
    std::int64_t cr_lf = 0;
    std::int64_t lf = 0;
    for (; p != stop; ++p) {
        if (*p == '\r') {
            ++cr;
            if (p + 1 != stop && p[1] == '\n') ++cr_lf;
        } else if (*p == '\n') {
            ++lf;
        }
    }
    breaks_ += cr + lf - cr_lf;
    after_cr_ = last_ == '\r';
}

std::int64_t ListLineCounter::Count() const {
    // A last line without a break still counts.
    return breaks_ + ((last_ != '\n' && last_ != '\r') ? 1 : 0);
}

std::size_t FinalBreakLength(std::string_view text) {
    if (text.empty()) return 0;
    const char last = text.back();
    if (last == '\n') return text.size() >= 2 && text[text.size() - 2] == '\r' ? 2 : 1;
    return last == '\r' ? 1 : 0;
}

bool LastLinesScanner::Scan(std::string_view block, std::size_t& start) {
    for (std::size_t i = block.size(); i-- > 0;) {
        const char c = block[i];
        bool is_break = false;
        if (c == '\n') {
            is_break = true;
            after_lf_ = true;
        } else {
            // A CR right before LF belongs to that break.
            is_break = c == '\r' && !after_lf_;
            after_lf_ = false;
        }
        if (is_break && ++breaks_ == wanted_) {
            start = i + 1;
            return true;
        }
    }
    return false;
}

std::size_t LastLinesStart(std::string_view text, std::int64_t n) {
    if (n < 1) return text.size();
    LastLinesScanner scanner(n);
    std::size_t start = 0;
    if (scanner.Scan(text.substr(0, text.size() - FinalBreakLength(text)), start)) return start;
    return 0;
}

}  // namespace varn
