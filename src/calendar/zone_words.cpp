#include "calendar/zone_words.h"

#include <algorithm>
#include <array>

namespace varn {
namespace {

constexpr std::array<std::string_view, 38> Abbreviations = {
    "UTC",  "GMT",  "UT",   "Z",    "EST",  "EDT",  "CST",  "CDT", "MST",  "MDT",
    "PST",  "PDT",  "AKST", "AKDT", "HST",  "CET",  "CEST", "EET", "EEST", "WET",
    "WEST", "BST",  "IST",  "MSK",  "JST",  "KST",  "HKT",  "SGT", "AEST", "AEDT",
    "ACST", "ACDT", "AWST", "NZST", "NZDT", "SAST", "BRT",  "ART",
};

// The areas of the IANA names, and the older country folders.
constexpr std::array<std::string_view, 15> Areas = {
    "AFRICA",  "AMERICA", "ANTARCTICA", "ASIA",   "ATLANTIC", "AUSTRALIA", "EUROPE", "INDIAN",
    "PACIFIC", "US",      "CANADA",     "MEXICO", "BRAZIL",   "CHILE",     "ETC",
};

constexpr bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// "+2", "-05:00", "+0530": an offset after UTC or GMT.
bool IsOffset(std::string_view text) {
    if (text.size() < 2 || (text[0] != '+' && text[0] != '-')) return false;
    int digits = 0;
    for (const char c : text.substr(1)) {
        if (IsDigit(c)) {
            ++digits;
        } else if (c != ':') {
            return false;
        }
    }
    return digits >= 1 && digits <= 4;
}

}  // namespace

bool IsZoneWord(std::string_view word) {
    if (std::find(Abbreviations.begin(), Abbreviations.end(), word) != Abbreviations.end()) {
        return true;
    }
    for (const std::string_view base : {std::string_view("UTC"), std::string_view("GMT")}) {
        if (word.substr(0, base.size()) == base && IsOffset(word.substr(base.size()))) return true;
    }
    const std::size_t slash = word.find('/');
    if (slash == std::string_view::npos) return false;
    if (std::find(Areas.begin(), Areas.end(), word.substr(0, slash)) == Areas.end()) return false;
    const std::string_view place = word.substr(slash + 1);
    return !place.empty() && IsUpper(place.front()) &&
           std::all_of(place.begin(), place.end(), [](char c) {
               return IsUpper(c) || IsDigit(c) || c == '_' || c == '-' || c == '+' || c == '/';
           });
}

}  // namespace varn
