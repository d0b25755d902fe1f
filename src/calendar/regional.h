#pragma once
// The month names and clock designators of the user's regional settings, which
// the date text parser searches besides its own English names.
//
// The parser takes them as a plain value, so a program reads them once at
// start-up and tests can hand in any language: with the Dutch long name
// "maart" for month 3, the line "15 MAART 2001 1.5" reads as 15 March 2001.

#include <array>
#include <string>

namespace varn {

// Regional names as the platform writes them (not upper-cased). An empty name
// never matches. A short name of January that is exactly "1" marks a locale
// with numeric month names, whose regional names are then ignored.
struct RegionalNames {
    std::array<std::string, 12> long_months;   // month 1 to 12
    std::array<std::string, 12> short_months;  // month 1 to 12
    std::string am;                            // at most 10 characters
    std::string pm;                            // at most 10 characters
};

// Designators are used cut to this many characters.
inline constexpr std::size_t AmPmDesignatorMax = 10;

// "January" to "December", "Jan" to "Dec", "AM" and "PM".
RegionalNames EnglishRegionalNames();

// The names of the process locale (LC_TIME), as set by setlocale(LC_ALL, "")
// in the program's start-up; the "C" locale gives the English names. The
// designators are cut to 10 characters.
RegionalNames RegionalNamesFromLocale();

}  // namespace varn
