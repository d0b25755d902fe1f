#pragma once
// Splitting a line into fields by a set of delimiter characters.
//
// A field is a maximal run of characters outside the set: a run of delimiters
// counts as one separator, delimiters at either end make no field, and there
// are no empty fields. Fields are numbered from 1. With the set {","} the text
// ",,a,,b," has two fields: field 1 is "a", field 2 is "b" and starts at
// position 6.
//
// Every walk over fields is NextField; FirstFields takes the first few in one
// pass, for the readers that split millions of lines:
//
//   FirstFields<3>("2001,1,15,1.5", ',')   {"2001", "1", "15"}

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "text/short_text.h"

namespace varn {

// A CharSet as a table of 256 flags: testing a character is one load, which
// the field walks of every parsed line feel.
struct ByteTable {
    constexpr explicit ByteTable(const CharSet& set) {
        for (unsigned code = 0; code < 256; ++code) {
            in[code] = set.Contains(static_cast<unsigned char>(code));
        }
    }
    constexpr bool Contains(char c) const { return in[static_cast<unsigned char>(c)]; }
    std::array<bool, 256> in{};
};

// A single delimiter character.
struct OneChar {
    char c;
    constexpr bool Contains(char x) const { return x == c; }
};

// The next field of text from pos on: skips the delimiters before it, returns
// it and leaves pos just past it; an empty view when no field is left.
// Delimiters is a CharSet, a ByteTable or a OneChar.
template <typename Delimiters>
constexpr std::string_view NextField(std::string_view text, std::size_t& pos,
                                     const Delimiters& delimiters) {
    const char* p = text.data() + pos;
    const char* const end = text.data() + text.size();
    while (p != end && delimiters.Contains(*p)) ++p;
    const char* const start = p;
    while (p != end && !delimiters.Contains(*p)) ++p;
    pos = static_cast<std::size_t>(p - text.data());
    return std::string_view(start, static_cast<std::size_t>(p - start));
}

// Fields 1 to N of text in one walk, empty views for absent fields: the same
// fields as FieldView gives one at a time.
template <std::size_t N, typename Delimiters>
constexpr std::array<std::string_view, N> FirstFields(std::string_view text,
                                                      const Delimiters& delimiters) {
    std::array<std::string_view, N> fields{};
    std::size_t pos = 0;
    for (std::string_view& field : fields) {
        field = NextField(text, pos, delimiters);
        if (field.empty()) break;
    }
    return fields;
}

// Fields 1 to N of text split at runs of the one character delimiter.
template <std::size_t N>
constexpr std::array<std::string_view, N> FirstFields(std::string_view text, char delimiter) {
    return FirstFields<N>(text, OneChar{delimiter});
}

// The n-th field of a line of any length; empty when n < 1 or the line has
// fewer than n fields.
std::string ExtractField(std::int32_t n, std::string_view line, const CharSet& delimiters);

// Same field as a view into line (no copy, no allocation); empty when absent.
std::string_view FieldView(std::int32_t n, std::string_view line, const CharSet& delimiters);

// Stores the n-th field of the ShortText text (cut to 255 characters first) in
// field and returns its length, 0 to 255; field is empty when absent.
int ExtractShortField(std::int32_t n, std::string_view text, const CharSet& delimiters,
                      ShortText& field);

// The number of fields of text (cut to 255 characters), 0 to 255.
int CountFields(std::string_view text, const CharSet& delimiters);

// The 1-based position of the first character of field n of text (cut to 255
// characters); 0 when there is no such field.
int FieldStartPosition(std::int32_t n, std::string_view text, const CharSet& delimiters);

}  // namespace varn
