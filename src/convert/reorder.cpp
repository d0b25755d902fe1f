#include "convert/reorder.h"

#include <array>

#include "text/fields.h"
#include "text/numbers.h"

namespace varn {
namespace {

// Fields 1 to N of line in one pass; absent fields are empty.
template <std::size_t N>
std::array<std::string_view, N> SplitFields(std::string_view line, const CharSet& delimiters) {
    std::array<std::string_view, N> fields{};
    std::size_t pos = 0;
    const std::size_t size = line.size();
    for (std::size_t k = 0; k < N; ++k) {
        while (pos < size && delimiters.Contains(line[pos])) ++pos;
        if (pos == size) break;
        const std::size_t start = pos;
        while (pos < size && !delimiters.Contains(line[pos])) ++pos;
        fields[k] = line.substr(start, pos - start);
    }
    return fields;
}

bool IsIntradayNumber(std::string_view field) {
    std::int32_t value = 0;
    return ReadStrictInteger(field, value) && value != NotAnInteger;
}

}  // namespace

void ReorderDatePriceLine(std::string_view line, std::string& out) {
    const auto f = SplitFields<4>(line, CommaSet);
    out.clear();
    out.reserve(f[0].size() + f[1].size() + f[2].size() + f[3].size() + 5);
    out.append(f[1]).append("/").append(f[2]).append("/").append(f[0]).append("   ").append(f[3]);
}

std::string ReorderDatePriceLine(std::string_view line) {
    std::string out;
    ReorderDatePriceLine(line, out);
    return out;
}

bool ReorderIntradayLine(std::string_view line, std::string& out) {
    const auto f = SplitFields<8>(line, CommaSet);
    if (!IsIntradayNumber(f[0]) || !IsIntradayNumber(f[1])) return false;
    if (f[0].size() != 6 || f[1].size() != 4) return false;
    const std::string_view date = f[0];
    const std::string_view time = f[1];
    out.clear();
    out.append(date.substr(2, 2)).append("/").append(date.substr(4, 2)).append("/20");
    out.append(date.substr(0, 2)).append("  ");
    out.append(time.substr(0, 2)).append(":").append(time.substr(2, 2));
    for (std::size_t k = 2; k < 8; ++k) out.append("  ").append(f[k]);
    return true;
}

}  // namespace varn
