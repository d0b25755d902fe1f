#include "text/fields.h"

#include <cstddef>

namespace varn {
namespace {

// The 0-based offset of field n of text, its length in length; npos when
// text has fewer than n fields.
std::size_t FindField(std::int32_t n, std::string_view text, const CharSet& delimiters,
                      std::size_t& length) {
    length = 0;
    if (n < 1) return std::string_view::npos;
    std::size_t pos = 0;
    for (std::int32_t count = 1;; ++count) {
        const std::string_view field = NextField(text, pos, delimiters);
        if (field.empty()) return std::string_view::npos;
        if (count == n) {
            length = field.size();
            return static_cast<std::size_t>(field.data() - text.data());
        }
    }
}

std::string_view CutShort(std::string_view text) { return text.substr(0, ShortTextMax); }

}  // namespace

std::string_view FieldView(std::int32_t n, std::string_view line, const CharSet& delimiters) {
    std::size_t length = 0;
    const std::size_t start = FindField(n, line, delimiters, length);
    if (start == std::string_view::npos) return {};
    return line.substr(start, length);
}

std::string ExtractField(std::int32_t n, std::string_view line, const CharSet& delimiters) {
    return std::string(FieldView(n, line, delimiters));
}

int ExtractShortField(std::int32_t n, std::string_view text, const CharSet& delimiters,
                      ShortText& field) {
    const std::string_view found = FieldView(n, CutShort(text), delimiters);
    field.assign(found.data(), found.size());
    return static_cast<int>(found.size());
}

int CountFields(std::string_view text, const CharSet& delimiters) {
    const std::string_view cut = CutShort(text);
    std::size_t pos = 0;
    int count = 0;
    while (!NextField(cut, pos, delimiters).empty()) ++count;
    return count;
}

int FieldStartPosition(std::int32_t n, std::string_view text, const CharSet& delimiters) {
    std::size_t length = 0;
    const std::size_t start = FindField(n, CutShort(text), delimiters, length);
    if (start == std::string_view::npos) return 0;
    return static_cast<int>(start) + 1;
}

}  // namespace varn
