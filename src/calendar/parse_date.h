#pragma once
// Reading the date, and optionally the time of day, at the start of a line of
// a price file.
//
// The line is first normalised: upper-cased (only "a" to "z"), an AM/PM marker
// is joined to the time before it, and a date written with a month name has its
// first three words joined into one field. Then field 1 is the date text, read
// by one of the 24 date layouts (0 "YYMMDD" to 23 "Unix milliseconds", the
// order of the "Bar" page's date list), and field 2, unless the time layout is
// 0 or 8, is the time text, read by one of 9 time layouts:
//
//   0 "Not Indicated"   no time, 00:00:00
//   1 "DATE;21:45:15"   H:M[:S]            2 "DATE;9:45pm"   H:M[:S] with am/pm
//   3 "DATE  21:45:15"  H:M[:S]            4 "DATE  9:45pm"  H:M[:S] with am/pm
//   5 "DATE  2145"      HHMM (or HMM)      6 "DATE;21:45"    H:M[:S]
//   7 "DATE;214515"     HHMMSS (or HMMSS)
//
//   8 "DATET21:45:15"   the time joined to the date by "T" (ISO 8601), as
//                       H:M[:S] or HHMM[SS]; with date layouts 22 and 23 (Unix
//                       seconds and milliseconds) the stamp is date and time
//
// A layout reads the whole date field and the whole time field: nothing may
// be left over ("09:3x" and "2024-02-01T14:30:00Z" under date layout 20 do
// not read). Every time may carry a fraction of a second (".421" or ",421"),
// and a 24-hour time a zone offset ("Z", "+01:00", "-0500"), which are kept
// in ParsedDate.
//
// Layouts 3, 4 and 5 do not split the time from the date at ";", layout 5 not
// the date from the time either. ParseDateText("15 January, 2001 1.5", date
// layout 9, time layout 0) gives 2001-01-15 00:00:00 and the rest " 1.5";
// "01/02/2001 9:45pm 1.5" with date layout 5 and time layout 4 gives
// 2001-01-02 21:45:00.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "calendar/date_layouts.h"
#include "calendar/regional.h"
#include "text/short_text.h"

namespace varn {

// Separators of the fields of a line: codes 0 to 32, the double quote, ","
// and ";".
inline constexpr CharSet LineSeparators = CharSet::Range(0, 32) | CharSet("\",;");
// The same without ";".
inline constexpr CharSet LineSeparatorsNoSemicolon = CharSet::Range(0, 32) | CharSet("\",");
// Separators of the words that a month-name date is joined from.
inline constexpr CharSet WordSeparators = CharSet::Range(0, 32) | CharSet("\",-");
// Splits a time text into hours, minutes and seconds: ":", the letters, "_"
// and codes 192 to 255 (so "9:45PM" gives 9 and 45).
inline constexpr CharSet TimeFieldSeparators =
    CharSet(":_") | CharSet::Range('A', 'Z') | CharSet::Range('a', 'z') | CharSet::Range(192, 255);

// The month names built into the parser, month 1 to 12.
struct MonthNameList {
    std::array<std::string_view, 12> long_names;
    std::array<std::string_view, 12> short_names;
};
inline constexpr MonthNameList EnglishMonthNames = {
    {"January", "February", "March", "April", "May", "June", "July", "August", "September",
     "October", "November", "December"},
    {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"}};

// The latest year a date text may give.
inline constexpr std::int32_t MaxYear = 3100;

// The numbers that a date text and a time text read into. The fraction of a
// second and a zone offset written after the time are kept as read: the wall
// time is the one written, whatever the offset says.
struct ParsedDate {
    std::int32_t year = 0;
    std::int32_t month = 0;
    std::int32_t day = 0;
    std::int32_t hours = 0;
    std::int32_t minutes = 0;
    std::int32_t seconds = 0;
    std::int32_t nanoseconds = 0;     // the fraction of the second, 0 to 999,999,999
    std::int16_t offset_minutes = 0;  // the offset from UTC written after the time
    bool has_offset = false;          // "Z" or +-HH[:MM] was written (epoch stamps: UTC)
};

// The names that the parser searches besides its own English ones, prepared
// once from the regional names: upper-cased ("a" to "z" only), designators
// cut to 10 characters. Bulk parsing builds one and passes it to every call:
// a RegionalNames converts to one implicitly, but preparing it costs more
// than the parse itself.
class DateNames {
  public:
    DateNames();                               // no regional names beyond the English ones
    DateNames(const RegionalNames& regional);  // NOLINT: implicit on purpose

    // Whether the regional names are numbers and so are not searched.
    bool numeric() const { return numeric_; }
    const std::array<std::string, 12>& long_months() const { return long_months_; }
    const std::array<std::string, 12>& short_months() const { return short_months_; }
    std::string_view am() const { return am_; }
    std::string_view pm() const { return pm_; }
    // Whether some regional name begins with a byte that is neither a letter
    // nor of code 128 or above, so that it may occur in a numeric date.
    bool has_plain_name() const { return has_plain_name_; }
    // Whether the AM or the PM designator holds neither a letter, nor a byte
    // of code 128 or above, nor a double quote, so that it may occur in a
    // line without them.
    bool has_plain_designator() const { return has_plain_designator_; }

  private:
    std::array<std::string, 12> long_months_;
    std::array<std::string, 12> short_months_;
    std::string am_;
    std::string pm_;
    bool numeric_ = false;
    bool has_plain_name_ = false;
    bool has_plain_designator_ = false;
};

// Reads the date and time at the start of line (cut to 255 characters) by
// date_layout (0 to 23) and time_layout (0 to 8). Years above 3100 fail; with
// short_year a year of 0 to 60 becomes 2000 to 2060 and one of 61 to 200 becomes
// 1961 to 2100. The time accepts the hour 24; colon times accept 60 minutes
// and seconds, digit times at most 59.
//
// Returns true when a valid date and time were read. On false, date holds
// what was read before the failure. rest always receives the normalised line
// after the date (time layout 0) or after the time, starting with the
// separator that ended that field, cut to rest_max_length characters (at most
// 255). When error is given it is emptied and, for most date failures,
// receives a reason such as "Can't extract Day string: 32/01/2001 substring:
// 32"; time failures leave it empty. Layout numbers out of range fail.
[[nodiscard]] bool ParseDateText(std::string_view line, DateLayout date_layout,
                                 TimeLayout time_layout, bool short_year, const DateNames& names,
                                 ParsedDate& date, ShortText& rest, std::size_t rest_max_length,
                                 ShortText* error = nullptr);

// As ParseDateText, with the rest handed back as a view: into line when the
// line is read where it stands, else into rest_store, which then holds the
// normalised rest. The view is good while line and rest_store are; a reader
// of many lines saves the copy of most rests.
[[nodiscard]] bool ParseDateTextView(std::string_view line, DateLayout date_layout,
                                     TimeLayout time_layout, bool short_year,
                                     const DateNames& names, ParsedDate& date,
                                     std::string_view& rest, ShortText& rest_store,
                                     std::size_t rest_max_length, ShortText* error = nullptr);

// The normalisation that ParseDateText applies before it cuts the line into
// fields: upper-cases "a" to "z"; turns the blanks and control characters
// before an AM/PM marker (AmPmMarkerPosition) into "_"; then, when the span of
// the first three words (split at WordSeparators) holds a month name, turns
// every character of code 32 or below, double quote, "," and "-" in that span
// into "_", and otherwise turns every double quote of the line into a blank.
// "15 January, 2001 1.5" becomes "15_JANUARY__2001 1.5".
void NormaliseDateLine(ShortText& line, const DateNames& names);

// The month (1 to 12) whose name occurs in the upper-cased text, 0 when none.
// Tried in this order: the regional long names, the regional short names
// (both skipped when NumericMonthNames), the English long names, the English
// short names; within each list month 1 first. Names are compared upper-cased
// ("a" to "z" only); an empty name never matches. "15 JUNE" gives 6.
int MonthInText(std::string_view text, const DateNames& names);

// True when the regional short name of January is exactly "1": the regional
// names are then numbers and only the English names and "AM"/"PM" are used.
bool NumericMonthNames(const RegionalNames& names);

// The 1-based position in the upper-cased line of the AM/PM marker that
// belongs to a time, 0 when none. Candidates in order: "AM", "PM", then,
// unless NumericMonthNames, the regional designators as written. Only the
// first occurrence of each is looked at; it counts when a blank or a digit
// stands right before it and it ends the line or is followed by a character
// of code 32 or below or ",". "9:45 PM,1.5" gives 6.
int AmPmMarkerPosition(std::string_view line, const DateNames& names);

// 0 for am, 1 for pm, -1 when the time text carries no marker right after a
// digit or "_". Candidates in order: "AM", "PM", the regional AM and PM
// designators; only the first occurrence of each is looked at. "9:45PM"
// gives 1.
int AmPmKind(std::string_view time_text, const DateNames& names);

}  // namespace varn
