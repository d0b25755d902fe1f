#include "io/block_reader.h"

#include <cstring>

namespace varn {

JobStatus BlockReader::Open(const LineSource& source, LineRules rules, std::size_t block_size) {
    rules_ = rules;
    block_size_ = block_size > 0 ? block_size : kDefaultBlockSize;
    pending_.clear();
    status_ = input_.Open(source);
    at_end_ = !status_.ok();
    return status_;
}

bool BlockReader::Read() {
    if (at_end_) return false;
    const std::size_t old_size = pending_.size();
    // A pipe answers with what it has: keep reading until the block is full.
    pending_.resize(old_size + block_size_);
    std::size_t got_total = 0;
    while (got_total < block_size_) {
        const std::size_t got =
            input_.Read(pending_.data() + old_size + got_total, block_size_ - got_total);
        if (got == 0) {
            status_ = input_.status();
            at_end_ = true;
            break;
        }
        got_total += got;
    }
    pending_.resize(old_size + got_total);
    if (rules_ == LineRules::Stream && got_total > 0) {
        // Ctrl-Z ends the input: nothing after it is read.
        const std::size_t length = StreamInputLength(std::string_view(pending_).substr(old_size));
        if (length < got_total) {
            pending_.resize(old_size + length);
            at_end_ = true;
        }
    }
    return got_total > 0 || !at_end_;
}

std::size_t BlockReader::CutPoint(std::size_t from) const {
    const char* data = pending_.data();
    std::size_t n = pending_.size();
    if (rules_ == LineRules::Stream) {
        const void* lf = ::memrchr(data + from, '\n', n - from);
        return lf == nullptr ? 0
                             : static_cast<std::size_t>(static_cast<const char*>(lf) - data) + 1;
    }
    // A CR at the very end may be the first half of a CR LF: cut before it.
    if (n > from && data[n - 1] == '\r') --n;
    for (std::size_t i = n; i-- > from;) {
        if (data[i] == '\n' || data[i] == '\r') return i + 1;
    }
    return 0;
}

bool BlockReader::Next(std::string& block) {
    block.clear();
    if (!status_.ok()) return false;
    for (;;) {
        // The bytes held already have no cut point, except a CR at their end.
        const std::size_t from = pending_.empty() ? 0 : pending_.size() - 1;
        const bool more = Read();
        if (!status_.ok()) return false;
        if (!more || at_end_) {
            // The end of the input: what is left is whole lines.
            if (pending_.empty()) return false;
            block.swap(pending_);
            pending_.clear();
            return true;
        }
        const std::size_t cut = CutPoint(from);
        if (cut == 0) continue;  // a line longer than the block: read on
        // Hand out the whole lines; keep the start of the next one.
        block.swap(pending_);
        pending_.assign(block, cut);
        block.resize(cut);
        return true;
    }
}

std::size_t StreamLineCount(std::string_view block) {
    std::size_t lines = 0;
    for (std::size_t at = 0; (at = FindLineFeed(block, at)) < block.size(); ++at) ++lines;
    if (!block.empty() && block.back() != '\n') ++lines;
    return lines;
}

bool NextListedRun(const LineList& list, std::size_t& next, std::size_t block_size,
                   std::size_t& first, std::size_t& last) {
    const std::size_t count = list.Count();
    if (next >= count) return false;
    if (block_size == 0) block_size = BlockReader::kDefaultBlockSize;
    first = next;
    std::size_t bytes = 0;
    do {
        bytes += list.Line(next).size() + 1;  // with a line end, as in a file
        ++next;
    } while (next < count && bytes < block_size);
    last = next;
    return true;
}

}  // namespace varn
