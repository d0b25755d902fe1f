#include "list/double_and_string_list.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace varn {
namespace {

// Texts are copied into blocks of this size; a longer text gets a block of
// its own.
constexpr std::size_t TextBlockSize = 64 * 1024;

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
    TDoubleAndString entry;
    entry.Text = StoreText(text);
    entry.Value = value;
    entry.Int1 = int1;
    entry.Int2 = int2;
    entry.Int3 = int3;
    entry.Obj = obj;
    entries_.push_back(entry);
}

const TDoubleAndString& TBexoDoubleAndStringList::Items(std::int32_t index) const {
    if (index < 0 || index >= Count()) throw ListIndexError(index);
    return entries_[static_cast<std::size_t>(index)];
}

void TBexoDoubleAndStringList::Clear() {
    // The entries refer to the objects only by view; destroying the owned
    // objects in order of addition is destroying them by entry index.
    for (std::unique_ptr<TObject>& object : owned_objects_) object.reset();
    owned_objects_.clear();
    entries_.clear();
    entries_.shrink_to_fit();
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
