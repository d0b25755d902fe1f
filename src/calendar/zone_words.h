#pragma once
// The zone words that price files write after a time: "09:30:00 US/Eastern",
// "14:30 UTC", "09:30 EST". A line's wall time is the one written; the word
// only says in which zone it is, and is passed over when the line is read.
//
//   IsZoneWord("US/EASTERN")  true      IsZoneWord("UTC+2")  true
//   IsZoneWord("1.5")         false     IsZoneWord("USD")    false

#include <string_view>

namespace varn {

// Whether word, upper-cased ("a" to "z" only), names a time zone: UTC, GMT
// or Z (alone or with an offset such as "UTC+2" or "GMT-05:00"), a common
// abbreviation (EST, CEST, JST, ...), or an IANA name of an area and a place
// ("AMERICA/NEW_YORK", "EUROPE/LONDON", "US/EASTERN", "ETC/GMT+5").
bool IsZoneWord(std::string_view word);

}  // namespace varn
