#include "text/separated_fields.h"

#include <algorithm>
#include <array>
#include <map>

namespace varn {
namespace {

constexpr bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// The times c stands in line outside double quotes.
int CountOutsideQuotes(std::string_view line, char c) {
    int count = 0;
    bool quoted = false;
    for (const char x : line) {
        if (x == '"') {
            quoted = !quoted;
        } else if (x == c && !quoted) {
            ++count;
        }
    }
    return count;
}

// The count of c that at least four in five of counts share, or 0.
int SharedCount(const std::vector<int>& counts) {
    std::map<int, int> tally;
    for (const int n : counts) ++tally[n];
    for (const auto& [count, lines] : tally) {
        if (count > 0 && lines * 5 >= static_cast<int>(counts.size()) * 4) return count;
    }
    return 0;
}

}  // namespace

std::string_view SeparatorName(Separator separator) {
    switch (separator) {
        case Separator::Comma:
            return "comma";
        case Separator::Semicolon:
            return "semicolon";
        case Separator::Tab:
            return "tab";
        case Separator::Pipe:
            return "pipe";
        case Separator::Spaces:
            break;
    }
    return "spaces";
}

char SeparatorChar(Separator separator) {
    switch (separator) {
        case Separator::Comma:
            return ',';
        case Separator::Semicolon:
            return ';';
        case Separator::Tab:
            return '\t';
        case Separator::Pipe:
            return '|';
        case Separator::Spaces:
            break;
    }
    return ' ';
}

void SplitSeparated(std::string_view line, Separator separator,
                    std::vector<std::string_view>& fields, std::string& scratch) {
    fields.clear();
    scratch.clear();
    // Unquoted fields may point into scratch: keep it from moving.
    scratch.reserve(line.size());
    const bool spaces = separator == Separator::Spaces;
    const char c = SeparatorChar(separator);
    const auto is_separator = [spaces, c](char x) { return spaces ? IsBlank(x) : x == c; };
    std::size_t pos = 0;
    const std::size_t size = line.size();
    while (true) {
        if (spaces) {
            while (pos < size && IsBlank(line[pos])) ++pos;
            if (pos == size) return;
        } else {
            while (pos < size && IsBlank(line[pos]) && line[pos] != c) ++pos;
        }
        if (pos < size && line[pos] == '"') {
            // A quoted field: to the closing quote, "" standing for one.
            const std::size_t start = scratch.size();
            ++pos;
            while (pos < size) {
                if (line[pos] == '"') {
                    if (pos + 1 < size && line[pos + 1] == '"') {
                        scratch += '"';
                        pos += 2;
                        continue;
                    }
                    ++pos;
                    break;
                }
                scratch += line[pos++];
            }
            fields.emplace_back(scratch.data() + start, scratch.size() - start);
            // Anything between the closing quote and the separator is dropped.
            while (pos < size && !is_separator(line[pos])) ++pos;
        } else {
            const std::size_t start = pos;
            while (pos < size && !is_separator(line[pos])) ++pos;
            fields.push_back(Trim(line.substr(start, pos - start)));
        }
        if (pos >= size) return;
        ++pos;  // past the separator
        if (!spaces && pos == size) {
            fields.emplace_back();  // a separator at the end leaves an empty last field
            return;
        }
    }
}

Separator FindSeparator(std::span<const std::string_view> lines) {
    constexpr std::array<Separator, 3> kFirst = {Separator::Tab, Separator::Semicolon,
                                                 Separator::Pipe};
    std::vector<std::string_view> sample;
    for (const std::string_view line : lines) {
        if (!Trim(line).empty()) sample.push_back(line);
    }
    if (sample.empty()) return Separator::Spaces;
    const auto shared = [&sample](Separator separator) {
        std::vector<int> counts;
        counts.reserve(sample.size());
        for (const std::string_view line : sample) {
            counts.push_back(CountOutsideQuotes(line, SeparatorChar(separator)));
        }
        return SharedCount(counts);
    };
    Separator best = Separator::Spaces;
    int best_count = 0;
    for (const Separator separator : kFirst) {
        if (const int count = shared(separator); count > best_count) {
            best = separator;
            best_count = count;
        }
    }
    if (best_count > 0) return best;
    return shared(Separator::Comma) > 0 ? Separator::Comma : Separator::Spaces;
}

}  // namespace varn
