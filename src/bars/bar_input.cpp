#include "bars/bar_input.h"

#include <algorithm>
#include <limits>

#include "io/line_reader.h"
#include "io/line_rules.h"

namespace varn {

std::string_view BarInputLines::Line(std::size_t i) const {
    const Record& r = records_[i];
    const std::string& block = r.edited ? edits_ : base_;
    return std::string_view(block).substr(r.offset, r.length);
}

void BarInputLines::Clear() {
    base_.clear();
    base_.shrink_to_fit();
    edits_.clear();
    edits_.shrink_to_fit();
    records_.clear();
    records_.shrink_to_fit();
}

void BarInputLines::Assign(std::string text) {
    Clear();
    base_ = std::move(text);
    ForEachListLine(base_, [this](std::size_t offset, std::size_t length) {
        records_.push_back({offset, static_cast<std::uint32_t>(length), false});
    });
}

std::string_view BarInputLines::Store(std::string_view line, Record& record) {
    record.offset = edits_.size();
    record.length = static_cast<std::uint32_t>(
        std::min<std::size_t>(line.size(), std::numeric_limits<std::uint32_t>::max()));
    record.edited = true;
    edits_.append(line.substr(0, record.length));
    return line;
}

void BarInputLines::Append(std::string_view line) {
    Record record{};
    Store(line, record);
    records_.push_back(record);
}

void BarInputLines::Replace(std::size_t i, std::string_view line) {
    // line may view this store's own text: copy it before the store grows.
    const std::string copy(line);
    Store(copy, records_[i]);
}

void BarInputLines::Insert(std::size_t i, std::string_view line) {
    const std::string copy(line);
    Record record{};
    Store(copy, record);
    records_.insert(records_.begin() + static_cast<std::ptrdiff_t>(i), record);
}

void BarInputLines::Insert(std::size_t i, std::span<const std::string> lines) {
    std::vector<Record> added(lines.size());
    for (std::size_t k = 0; k < lines.size(); ++k) Store(lines[k], added[k]);
    records_.insert(records_.begin() + static_cast<std::ptrdiff_t>(i), added.begin(), added.end());
}

void BarInputLines::Remove(std::size_t i, std::size_t count) {
    if (i >= records_.size()) return;
    count = std::min(count, records_.size() - i);
    const auto first = records_.begin() + static_cast<std::ptrdiff_t>(i);
    records_.erase(first, first + static_cast<std::ptrdiff_t>(count));
}

std::size_t BarInputLines::MemoryUse() const {
    return base_.capacity() + edits_.capacity() + records_.capacity() * sizeof(Record);
}

JobStatus LoadBarInput(const std::string& path, BarInputLines& lines, const DateNames& names,
                       Detection& detection, PriceForm form, const ShapeChoices& shape) {
    lines.Clear();
    detection = Detection();
    std::string text;
    if (JobStatus status = ReadWholeFile(path, text); !status) return status;
    lines.Assign(std::move(text));
    detection = DetectInputLayouts(lines, names, form, shape);
    return JobStatus::Ok();
}

Detection DetectInputLayouts(const LineList& lines, const DateNames& names, PriceForm form,
                             const ShapeChoices& shape) {
    std::vector<std::string_view> first;
    const std::size_t count = std::min(lines.Count(), DetectFirstLines);
    for (std::size_t i = 0; i < count; ++i) first.push_back(lines.Line(i));
    Detection detection = DetectInputLayouts(first, names, std::nullopt, std::nullopt, form, shape);
    DecideDayOrder(detection, lines, names);
    return detection;
}

}  // namespace varn
