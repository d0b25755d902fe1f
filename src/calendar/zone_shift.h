#pragma once
// Moving the wall time of a price line from the time zone it was written in
// into the zone of the bars, by the rules of the system's time zone database,
// daylight saving included.
//
// "03/08/2024 14:30" written in Europe/London reads, in America/New_York, as
// 09:30 (London is UTC+0 that day, New York UTC-5); three weeks later
// "03/29/2024 14:30" reads as 10:30 (New York has moved to UTC-4 on 10 March,
// London only moves on 31 March). A time that carries its own offset
// ("14:30:00Z", "15:30:00+01:00") or an epoch stamp is an instant already:
// no zone is asked of it.
//
// Where the clocks go forward a wall time does not exist (02:30 on 10 March
// 2024 in New York): such a line does not read. Where they go back an hour
// is lived twice (01:30 on 3 November 2024 in New York): such a line reads as
// the first pass, in daylight saving time, and is counted.
//
// The zones come from Debian's packaging of Howard Hinnant's date/tz. Debian
// builds it with USE_OS_TZDB: it reads the compiled zone files of the system
// (Debian's tzdata, under /usr/share/zoneinfo) and has no download code, so
// nothing here ever reaches the network. The standard library's own zones
// (<chrono>'s tzdb and zoned_time) are not in libstdc++ before GCC 13, and
// Debian 12 has GCC 12.

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "calendar/parse_date.h"
#include "text/short_text.h"

namespace varn {

// A zone of the system's time zone database, found by FindZone. It lives as
// long as the program; two finds of one name give the same address.
class Zone;

// The zone named name: as the database spells it ("America/New_York") or in
// any other case ("america/new_york", and the upper-cased word of a line,
// "US/EASTERN"). nullptr when no zone is so named or the database cannot be
// read; reason then says why and how to see the names. Safe to call from
// several threads.
const Zone* FindZone(std::string_view name, std::string& reason);

// The name of zone as the database spells it: "America/New_York".
const std::string& ZoneName(const Zone& zone);

// The names of the zones FindZone finds, as the database spells them, in
// byte order ("Africa/Abidjan", ..., "America/New_York", ..., "Zulu"): for
// lists to choose from. Empty when the database cannot be read or used.
std::vector<std::string> ZoneNames();

// Where the names of the zones can be seen, for messages: "timedatectl
// list-timezones lists them, as do the files under /usr/share/zoneinfo".
std::string_view ZoneNamesHint();

// Counts, over the threads of one job, the lines read in an hour that the
// clocks went back in (read as its first pass).
class ZoneTally {
  public:
    void CountRepeated() { repeated_.fetch_add(1, std::memory_order_relaxed); }
    std::int64_t repeated() const { return repeated_.load(std::memory_order_relaxed); }

  private:
    std::atomic<std::int64_t> repeated_{0};
};

// How the wall times of a job's lines are moved. Without out nothing is:
// lines read as they always have.
struct ZoneShift {
    const Zone* in = nullptr;   // the zone of times without an offset; nullptr: such times fail
    const Zone* out = nullptr;  // the zone of the bars; nullptr: nothing is moved
    // When in was named by the lines' zone word ("US/EASTERN"), that word:
    // a line with another word fails. Kept by the caller.
    std::string_view in_word = {};
    ZoneTally* tally = nullptr;  // kept by the caller; may be nullptr

    bool Converts() const { return out != nullptr; }
};

// Moves date, the date and time a line was read as, to the wall time of
// shift.out at the same instant: with an offset (has_offset) the instant is
// the time less the offset, without one the time is read in shift.in.
// zone_word is the word written after the time, upper-cased, or empty.
// Returns true with date moved (whole seconds; the fraction of a second is
// kept; has_offset set and offset_minutes holding the offset of shift.out,
// rounded toward zero to whole minutes) and repeated telling whether the time
// fell in an hour lived twice. Returns false, date unchanged, when the time
// has no zone (no offset and no shift.in), a zone word other than
// shift.in_word, does not exist in shift.in, or lies where the database has
// no dates; reason, when given, then says so.
[[nodiscard]] bool ShiftZone(const ZoneShift& shift, ParsedDate& date, std::string_view zone_word,
                             bool& repeated, ShortText* reason = nullptr);

// Why a job could not take its zones.
enum class ZoneFault : int {
    UnknownZone = 1,        // a name is no zone of the database
    TimesWithoutZone = 2,   // bars in a zone, from times whose zone is not known
    DatesWithoutTimes = 3,  // bars in a zone, from dates without times
};
std::error_code ZoneError(ZoneFault fault);

}  // namespace varn
