#pragma once
// An ordered list of text-and-number entries that holds a whole input file,
// one entry per line, in order of addition. It neither sorts nor searches.
//
//   TBexoDoubleAndStringList list(OwnEntriesAndObjects);
//   list.Add("01/30/2004 10");
//   list.Add("01/31/2004 11");
//   list.Count() is 2 and list.Items(1).Text is "01/31/2004 11".
//
// Storage. A list of a few million short lines should cost little more than
// the lines themselves, so an entry is not a heap object of its own: every
// text is copied into large shared text blocks that never move, and the list
// keeps, per entry, where its text starts and how long it is (12 bytes, in
// std::deques: amortised O(1) append, O(1) index, no copying of old entries
// when they grow). The number, the spare integers and the object, zero or
// none in most lists, are kept apart for the entries that have them. Items
// hands out an entry whose Text is a view into the list's own storage. A line
// of 6 characters costs about 18 bytes.
//
// Ownership, fixed at construction by OwnMode:
//   0 (OwnEntries)            the list frees its entries; attached objects
//                             belong to somebody else and are left alone.
//   1 (OwnEntriesAndObjects)  the list frees its entries and destroys their
//                             attached objects, in order of addition.
//   any other (OwnNothing)    the list only forgets its entries; attached
//                             objects are left alone.
// An entry's Obj is always a plain view of the attached object; the objects
// a list destroys are held by it as std::unique_ptr (see owned_objects_).
// Since entries and their texts live in the list's own storage, forgetting
// them releases that storage too: nothing outside the list could reach it.

#include <cstdint>
#include <deque>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace varn {

// The root of objects that may be attached to an entry; destroyed through
// this base.
class TObject {
  public:
    TObject() = default;
    TObject(const TObject&) = default;
    TObject& operator=(const TObject&) = default;
    virtual ~TObject() = default;
};

// One entry: a text with a number, three spare integers and an optional
// attached object.
struct TDoubleAndString {
    std::string_view Text;  // valid while the entry is in the list
    double Value = 0.0;
    std::int32_t Int1 = 0;
    std::int32_t Int2 = 0;
    std::int32_t Int3 = 0;
    TObject* Obj = nullptr;  // a view; OwnMode says who destroys it
};

inline constexpr std::uint8_t OwnEntries = 0;
inline constexpr std::uint8_t OwnEntriesAndObjects = 1;
inline constexpr std::uint8_t OwnNothing = 2;

// The error of Items for an index outside 0 to Count() - 1; its message is
// "List index out of bounds (<index>)".
class ListIndexError : public std::out_of_range {
  public:
    explicit ListIndexError(std::int32_t index);
    std::int32_t Index() const { return index_; }

  private:
    std::int32_t index_;
};

class TBexoDoubleAndStringList {
  public:
    explicit TBexoDoubleAndStringList(std::uint8_t own_mode = OwnEntriesAndObjects);
    TBexoDoubleAndStringList(const TBexoDoubleAndStringList&) = delete;
    TBexoDoubleAndStringList& operator=(const TBexoDoubleAndStringList&) = delete;
    // Clear, then the list itself.
    ~TBexoDoubleAndStringList();

    std::uint8_t OwnMode() const { return own_mode_; }

    // Appends an entry holding a copy of text and the given values. obj is
    // attached as it is; in OwnEntriesAndObjects mode the list takes it over
    // and destroys it when the entry goes, otherwise its owner keeps it.
    // Equal entries are all kept, in order.
    void Add(std::string_view text, double value = 0.0, std::int32_t int1 = 0,
             std::int32_t int2 = 0, std::int32_t int3 = 0, TObject* obj = nullptr);

    // The entry at index, counted from 0 in order of addition; its Text views
    // the list's storage. Throws ListIndexError when index is outside 0 to
    // Count() - 1.
    TDoubleAndString Items(std::int32_t index) const;

    std::int32_t Count() const { return static_cast<std::int32_t>(starts_.size()); }

    // Disposes of every entry from index 0 upward as OwnMode says, then
    // empties the list.
    void Clear();

  private:
    // Copies text into the text blocks and returns the copy.
    std::string_view StoreText(std::string_view text);

    // The values of an entry other than its text, when any is not zero.
    struct Extras {
        double value;
        std::int32_t int1, int2, int3;
        TObject* obj;
    };

    std::uint8_t own_mode_;
    std::deque<const char*> starts_;                              // where each entry's text starts
    std::deque<std::uint32_t> lengths_;                           // its length, or kLongText
    std::unordered_map<std::int32_t, std::size_t> long_lengths_;  // lengths of 4 GiB and more
    std::unordered_map<std::int32_t, Extras> extras_;
    // The attached objects this list destroys (OwnEntriesAndObjects mode
    // only), in order of addition.
    std::vector<std::unique_ptr<TObject>> owned_objects_;
    // Text blocks; a block never moves or grows, so views into it stay valid.
    std::vector<std::unique_ptr<char[]>> text_blocks_;
    char* free_text_ = nullptr;  // unused room of the newest block
    std::size_t free_length_ = 0;
};

}  // namespace varn
