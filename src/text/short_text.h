#pragma once
// Short texts, character sets and the missing-number marker shared by every
// module.
//
// A ShortText holds at most 255 single-byte characters; routines that produce
// one cut a longer result there. A CharSet is a set of byte codes used to split
// lines into fields: CharSet{",;"} holds the comma and the semicolon.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace varn {

// Text of at most ShortTextMax single-byte characters, positions counted from 1
// in the routines' contracts.
using ShortText = std::string;
inline constexpr std::size_t ShortTextMax = 255;

// Cuts text to ShortTextMax characters.
inline ShortText ToShortText(std::string_view text) {
    return ShortText(text.substr(0, ShortTextMax));
}

// Stands for a missing number or moment; readers preset their results to it.
inline constexpr double NoValue = 1e10;

// A set of single-byte character codes (256 bits), usable in constant
// expressions.
class CharSet {
  public:
    constexpr CharSet() = default;
    // The set of every character in chars.
    constexpr explicit CharSet(std::string_view chars) {
        for (char c : chars) Add(static_cast<unsigned char>(c));
    }
    // The set of the codes first to last, both included.
    static constexpr CharSet Range(unsigned char first, unsigned char last) {
        CharSet set;
        for (unsigned code = first; code <= last; ++code) set.Add(static_cast<unsigned char>(code));
        return set;
    }
    constexpr CharSet& Add(unsigned char code) {
        bits_[code >> 6] |= std::uint64_t{1} << (code & 63);
        return *this;
    }
    constexpr CharSet& Add(std::string_view chars) {
        for (char c : chars) Add(static_cast<unsigned char>(c));
        return *this;
    }
    constexpr CharSet operator|(const CharSet& other) const {
        CharSet set;
        for (std::size_t i = 0; i < 4; ++i) set.bits_[i] = bits_[i] | other.bits_[i];
        return set;
    }
    constexpr bool Contains(unsigned char code) const {
        return (bits_[code >> 6] >> (code & 63)) & 1U;
    }
    constexpr bool Contains(char c) const { return Contains(static_cast<unsigned char>(c)); }

  private:
    std::array<std::uint64_t, 4> bits_{};
};

}  // namespace varn
