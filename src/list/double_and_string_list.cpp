#include "list/double_and_string_list.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace varn {
namespace {

// Texts are copied into blocks of this size; a longer text gets a block of
// its own.
constexpr std::size_t TextBlockSize = std::size_t{64} * 1024;
// The stored length that sends a look-up to the lengths of long texts.
constexpr std::uint32_t kLongText = UINT32_MAX;

std::string IndexMessage(std::int32_t index) {
    return "List index out of bounds (" + std::to_string(index) + ")";
}

}  // namespace

ListIndexError::ListIndexError(std::int32_t index)
    : std::out_of_range(IndexMessage(index)), index_(index) {}

TBexoDoubleAndStringList::TBexoDoubleAndStringList(std::uint8_t own_mode) : own_mode_(own_mode) {}

TBexoDoubleAndStringList::~TBexoDoubleAndStringList() { Clear(); }

void TBexoDoubleAndStringList::Add(std::string_view text, double value, std::int32_t int1,
                                   std::int32_t int2, std::int32_t int3, TObject* obj) {
    if (obj != nullptr && own_mode_ == OwnEntriesAndObjects) {
        owned_objects_.emplace_back(obj);
    }
    const std::int32_t index = Count();
    const std::string_view stored = StoreText(text);
    starts_.push_back(stored.data());
    if (stored.size() < kLongText) {
        lengths_.push_back(static_cast<std::uint32_t>(stored.size()));
    } else {
        lengths_.push_back(kLongText);
        long_lengths_.emplace(index, stored.size());
    }
    if (value != 0.0 || int1 != 0 || int2 != 0 || int3 != 0 || obj != nullptr) {
        extras_.emplace(index, Extras{value, int1, int2, int3, obj});
    }
}

TDoubleAndString TBexoDoubleAndStringList::Items(std::int32_t index) const {
    if (index < 0 || index >= Count()) throw ListIndexError(index);
    const auto i = static_cast<std::size_t>(index);
    TDoubleAndString entry;
    const std::uint32_t length = lengths_[i];
    entry.Text =
        std::string_view(starts_[i], length == kLongText ? long_lengths_.at(index) : length);
    if (!extras_.empty()) {
        if (const auto found = extras_.find(index); found != extras_.end()) {
            const Extras& extras = found->second;
            entry.Value = extras.value;
            entry.Int1 = extras.int1;
            entry.Int2 = extras.int2;
            entry.Int3 = extras.int3;
            entry.Obj = extras.obj;
        }
    }
    return entry;
}

void TBexoDoubleAndStringList::Clear() {
    // The entries refer to the objects only by view; destroying the owned
    // objects in order of addition is destroying them by entry index.
    for (std::unique_ptr<TObject>& object : owned_objects_) object.reset();
    owned_objects_.clear();
    starts_.clear();
    starts_.shrink_to_fit();
    lengths_.clear();
    lengths_.shrink_to_fit();
    long_lengths_.clear();
    extras_.clear();
    text_blocks_.clear();
    free_text_ = nullptr;
    free_length_ = 0;
}

std::string_view TBexoDoubleAndStringList::StoreText(std::string_view text) {
    if (text.empty()) return std::string_view();
    if (text.size() > free_length_) {
        if (text.size() > TextBlockSize / 4) {
            // A long text gets a block of exactly its size; the newest block
            // keeps its free room for the short texts to come.
            auto block = std::make_unique_for_overwrite<char[]>(text.size());
            std::memcpy(block.get(), text.data(), text.size());
            text_blocks_.push_back(std::move(block));
            return std::string_view(text_blocks_.back().get(), text.size());
        }
        text_blocks_.push_back(std::make_unique_for_overwrite<char[]>(TextBlockSize));
        free_text_ = text_blocks_.back().get();
        free_length_ = TextBlockSize;
    }
    std::memcpy(free_text_, text.data(), text.size());
    const std::string_view stored(free_text_, text.size());
    free_text_ += text.size();
    free_length_ -= text.size();
    return stored;
}

}  // namespace varn
