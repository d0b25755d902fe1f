#include "bars/bar_blocks.h"

#include <algorithm>
#include <utility>

namespace varn {

void BuildInnerBars(const BarSettings& settings, const BarReading& reading, bool in_order,
                    ParsedBlock& block) {
    const std::vector<ParsedBarLine>& parsed = block.parsed;
    const std::size_t n = parsed.size();
    block.inner_begin = block.inner_end = 0;
    block.bar_text.clear();
    block.bar_count = 0;
    block.inner_used = block.inner_without_volume = block.inner_out_of_order = 0;
    block.inner_failed.clear();
    block.goes_back = false;
    block.inner_duplicates = 0;
    // The time order of the block's lines, and the repeats among them.
    thread_local std::vector<LineOrder::Step> steps;
    if (in_order) {
        steps.assign(n, LineOrder::Step::First);
        LineOrder order;
        for (std::size_t i = 0; i < n; ++i) {
            if (!parsed[i].ok) continue;
            steps[i] = order.Add(parsed[i]);
            if (steps[i] == LineOrder::Step::Earlier) {
                block.goes_back = true;  // the job reads it all another way
                block.back_at = i;
                return;
            }
        }
    }
    std::size_t first = 0;
    while (first < n && !parsed[first].ok) ++first;
    if (first == n) return;
    // The first line of the second run.
    std::size_t begin = first + 1;
    while (begin < n && (!parsed[begin].ok || parsed[begin].bar.key == parsed[first].bar.key)) {
        ++begin;
    }
    if (begin == n) return;
    // The first line of the last run.
    std::size_t last = n;
    while (!parsed[last - 1].ok) --last;
    const std::int32_t last_key = parsed[last - 1].bar.key;
    std::size_t end = last - 1;
    for (std::size_t i = end; i-- > begin;) {
        if (!parsed[i].ok) continue;
        if (parsed[i].bar.key != last_key) break;
        end = i;
    }
    if (end <= begin) return;
    BarBuilder builder(settings, [&block](std::string_view bar) {
        block.bar_text.append(bar).append("\r\n");
        ++block.bar_count;
    });
    for (std::size_t i = begin; i < end; ++i) {
        if (parsed[i].ok) {
            ++block.inner_used;
            if (reading.volume && IsMissing(parsed[i].bar.volume)) ++block.inner_without_volume;
            if (parsed[i].bar.out_of_order && block.inner_out_of_order++ == 0) {
                block.first_inner_out_of_order = i;
            }
            if (in_order) {
                block.inner_last = MomentOf(parsed[i]);
                if (steps[i] == LineOrder::Step::Duplicate) {
                    ++block.inner_duplicates;
                    builder.AddRepeat(parsed[i]);
                    continue;
                }
            }
        } else {
            block.inner_failed.push_back(i);
        }
        builder.AddParsed(parsed[i]);
    }
    builder.Finish();
    block.inner_begin = begin;
    block.inner_end = end;
}

JobStatus BarBlocks::Open() {
    if (list_ != nullptr) return JobStatus::Ok();
    reader_ = std::make_unique<BlockReader>();
    return reader_->Open(source_, LineRules::List, block_bytes_);
}

std::vector<std::string_view> BarBlocks::FirstLines(std::size_t count) {
    std::vector<std::string_view> lines;
    if (list_ != nullptr) {
        for (std::size_t i = 0; i < std::min(count, list_->Count()); ++i) {
            lines.push_back(list_->Line(i));
        }
        return lines;
    }
    std::string text;
    while (lines.size() < count && reader_->Next(text)) {
        // A deque keeps its strings in place, and so their bytes.
        const std::string_view block = early_.emplace_back(std::move(text));
        ForEachListLine(block, [&](std::size_t offset, std::size_t length) {
            if (lines.size() < count) lines.push_back(block.substr(offset, length));
        });
    }
    return lines;
}

bool BarBlocks::Next(BarBlock& block) {
    if (list_ != nullptr) {
        return NextListedRun(*list_, next_listed_, block_bytes_, block.first, block.last);
    }
    if (!early_.empty()) {
        block.text = std::move(early_.front());
        early_.pop_front();
    } else if (!reader_->Next(block.text)) {
        return false;
    }
    if (keep_ && kept_all_) {
        kept_bytes_ += block.text.size();
        if (kept_bytes_ <= kRewindBytes) {
            kept_.push_back(block.text);
        } else {
            kept_all_ = false;
            kept_.clear();
        }
    }
    return true;
}

bool BarBlocks::Rewind() {
    if (list_ != nullptr) {
        next_listed_ = 0;
        return true;
    }
    if (source_.kind() == LineSource::Kind::File) {
        early_.clear();
        return Open().ok();
    }
    if (!keep_ || !kept_all_) return false;
    // The blocks handed out come first again, then those not read yet.
    for (auto& block : early_) kept_.push_back(std::move(block));
    early_ = std::move(kept_);
    kept_.clear();
    kept_bytes_ = 0;
    keep_ = false;  // read twice at most
    return true;
}

bool BarBlocks::ReadOn(DayOrderCheck& check, std::size_t from) {
    if (list_ != nullptr) {
        for (std::size_t i = from; i < list_->Count(); ++i) {
            if (check.Feed(list_->Line(i), static_cast<std::int64_t>(i) + 1)) break;
        }
        return true;
    }
    std::size_t seen = 0;  // lines of the blocks held
    std::size_t kept = 0;  // their bytes
    for (const std::string& block : early_) {
        kept += block.size();
        bool decided = false;
        ForEachListLine(block, [&](std::size_t offset, std::size_t length) {
            if (!decided && seen++ >= from) {
                decided = check.Feed(std::string_view(block).substr(offset, length),
                                     static_cast<std::int64_t>(seen));
            }
        });
        if (decided) return true;
    }
    bool dropped = false;
    std::string text;
    while (!check.decided()) {
        if (!reader_->Next(text)) {
            if (!reader_->status().ok()) return false;
            break;
        }
        bool decided = false;
        ForEachListLine(text, [&](std::size_t offset, std::size_t length) {
            ++seen;
            if (!decided) {
                decided = check.Feed(std::string_view(text).substr(offset, length),
                                     static_cast<std::int64_t>(seen));
            }
        });
        if (dropped) continue;
        kept += text.size();
        early_.push_back(std::move(text));
        if (kept > kReadOnBytes) {
            if (source_.kind() != LineSource::Kind::File) break;
            early_.clear();
            dropped = true;
        }
    }
    if (dropped) {
        // Read from the start once more.
        return Open().ok();
    }
    return true;
}

void BarBlocks::Parse(const BarBlock& block, const BarSettings& settings, const BarReading& reading,
                      const DateNames& names, ParsedBlock& result) const {
    result.lines.clear();
    if (list_ != nullptr) {
        for (std::size_t i = block.first; i < block.last; ++i) {
            result.lines.push_back(list_->Line(i));
        }
    } else {
        const std::string_view text = block.text;
        ForEachListLine(text, [&](std::size_t offset, std::size_t length) {
            result.lines.push_back(text.substr(offset, length));
        });
    }
    result.parsed.resize(result.lines.size());
    ParseBarLines(result.lines, settings.date_layout, settings.time_layout, reading, names,
                  result.parsed);
}

}  // namespace varn
