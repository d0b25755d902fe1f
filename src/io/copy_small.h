#pragma once
// Copying the short pieces output lines are made of: most are a few bytes
// long and cost less in fixed-size moves (two of them overlapping) than
// through a call.

#include <cstddef>
#include <cstring>

namespace varn {

// Copies size bytes; sizes up to 16 take two fixed-size moves each.
inline void CopySmall(char* to, const char* from, std::size_t size) {
    if (size >= 8 && size <= 16) {
        std::memcpy(to, from, 8);
        std::memcpy(to + size - 8, from + size - 8, 8);
    } else if (size >= 4 && size < 8) {
        std::memcpy(to, from, 4);
        std::memcpy(to + size - 4, from + size - 4, 4);
    } else if (size < 4) {
        for (std::size_t i = 0; i < size; ++i) to[i] = from[i];
    } else {
        std::memcpy(to, from, size);
    }
}

}  // namespace varn
