#include "calendar/zone_shift.h"

#include <date/tz.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <exception>
#include <map>
#include <memory>
#include <mutex>

#include "calendar/calendar.h"

// Debian's date/tz reads the system's zone files and cannot download: the
// build takes USE_OS_TZDB from its CMake package, and no remote code may come
// with it.
static_assert(USE_OS_TZDB == 1 && HAS_REMOTE_API == 0,
              "date/tz must read the system's zone files, without download code");

namespace varn {

// Seconds since 1970-01-01 00:00, of UTC (sys) or of a wall clock (local).
using Seconds = std::int64_t;

class Zone {
  public:
    Zone(const date::time_zone& rules, Seconds table_end) : rules_(rules), table_end_(table_end) {}
    const date::time_zone& rules() const { return rules_; }
    // The instant from which the database holds no dates of this zone: its
    // files list the changes of clock up to 2037 and leave the years after to
    // a rule this library does not read. Far in the future for a zone that
    // no longer changes its clocks.
    Seconds table_end() const { return table_end_; }

  private:
    const date::time_zone& rules_;
    Seconds table_end_;
};

namespace {

constexpr std::string_view kZoneFolder = "/usr/share/zoneinfo";
// The day count of 1970-01-01 (DayNumber(1970, 1, 1)).
constexpr std::int64_t kEpochDay = 2440588;
constexpr Seconds kDay = 86400;
// Beyond this many seconds from 1970 an interval's end is the library's
// "always" (the years of a file's dates lie well within it).
constexpr Seconds kAlways = Seconds{100'000'000'000};

Seconds CountOf(date::sys_seconds t) { return t.time_since_epoch().count(); }
date::sys_seconds SysAt(Seconds s) { return date::sys_seconds{std::chrono::seconds{s}}; }

Seconds FloorDiv(Seconds a, Seconds b) {
    Seconds q = a / b;
    if (a % b != 0 && (a < 0) != (b < 0)) --q;
    return q;
}

bool SameNameAnyCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; };
               return upper(x) == upper(y);
           });
}

// The zones found so far, by the library's zone. Found once, never freed.
struct ZoneRegistry {
    std::mutex mutex;
    std::map<const date::time_zone*, std::unique_ptr<Zone>> zones;
    bool checked = false;
    std::string fault;  // why no zone can be used, once checked
};

ZoneRegistry& Registry() {
    static ZoneRegistry registry;
    return registry;
}

// Why the database cannot be used, or empty. Zone files in the slim form
// list the changes of clock only up to the last change of rules (2007 in
// New York) and leave the rest to a rule the library does not read: New York
// would keep standard time all summer. Debian's tzdata is built in the fat
// form; a system whose files are slim is refused rather than misread.
std::string CheckDatabase(const date::tzdb& db) {
    if (db.zones.empty()) return "the system's time zone database holds no zones";
    const auto new_york = std::find_if(db.zones.begin(), db.zones.end(), [](const auto& zone) {
        return zone.name() == "America/New_York";
    });
    if (new_york == db.zones.end()) return {};
    using namespace std::chrono;
    const date::sys_info summer =
        new_york->get_info(date::sys_days{date::year{2020} / 7 / 1} + hours{12});
    if (summer.save == minutes{0}) {
        return "the system's zone files list their changes of clock only up to their last change "
               "of rules, which this program cannot read; install Debian's tzdata";
    }
    return {};
}

// The registered zone of rules.
const Zone* Register(ZoneRegistry& registry, const date::time_zone& rules) {
    std::unique_ptr<Zone>& slot = registry.zones[&rules];
    if (!slot) {
        const date::sys_info last = rules.get_info(date::sys_days{date::year{9000} / 1 / 1});
        const bool still_changing =
            CountOf(last.begin) >= CountOf(date::sys_days{date::year{2037} / 1 / 1});
        // Asking read the zone's file: the lines will not wait for it.
        slot = std::make_unique<Zone>(rules, still_changing ? CountOf(last.begin) : kAlways);
    }
    return slot.get();
}

// What each thread keeps between lines: the last span of wall times lived
// once under one offset of the zone times are read in, the last interval of
// one offset of the zone of the bars (lines in time order ask the database
// twice a year), and the days last counted both ways (neighbouring lines
// mostly share their date).
struct HeldSpan {
    const Zone* zone = nullptr;
    Seconds begin = 0, end = 0, offset = 0;
    bool Holds(const Zone* z, Seconds s) const { return z == zone && s >= begin && s < end; }
};
struct Held {
    HeldSpan in;   // wall seconds
    HeldSpan out;  // seconds of UTC
    std::int32_t read_year = 1970, read_month = 1, read_day = 1;
    Seconds read_days = 0;  // days from 1970 of the date read
    Seconds moved_days = 0;
    std::int32_t moved_year = 1970, moved_month = 1, moved_day = 1;
};
thread_local Held held;

enum class WallTime { Once, Twice, Never };

// How often a wall time is lived in zone, and its offset (the first one's
// when twice); span becomes the span of wall times lived once around it.
[[gnu::noinline]] WallTime LookUpWall(const Zone& zone, Seconds local, HeldSpan& span,
                                      Seconds& offset) {
    const date::time_zone& rules = zone.rules();
    const date::local_info info = rules.get_info(date::local_seconds{std::chrono::seconds{local}});
    if (info.result == date::local_info::nonexistent) return WallTime::Never;
    offset = info.first.offset.count();
    if (info.result == date::local_info::ambiguous) return WallTime::Twice;
    // The wall times of this interval lived once: not those its neighbours'
    // offsets also reach.
    const Seconds begin = CountOf(info.first.begin);
    const Seconds end = CountOf(info.first.end);
    Seconds low = begin + offset;
    Seconds high = end + offset;
    if (begin > -kAlways) {
        low = begin + std::max(offset, rules.get_info(SysAt(begin - 1)).offset.count());
    }
    if (end < kAlways) high = end + std::min(offset, rules.get_info(SysAt(end)).offset.count());
    span = {&zone, low, high, offset};
    return WallTime::Once;
}

// span becomes the interval of one offset of zone around an instant.
[[gnu::noinline]] void LookUpInstant(const Zone& zone, Seconds sys, HeldSpan& span) {
    const date::sys_info info = zone.rules().get_info(SysAt(sys));
    span = {&zone, CountOf(info.begin), CountOf(info.end), info.offset.count()};
}

// "2037-11-01"
std::string DayText(Seconds sys) {
    std::int32_t year = 0, month = 0, day = 0;
    DateOfDay(kEpochDay + FloorDiv(sys, kDay), year, month, day);
    char text[32];
    char* at = std::to_chars(text, text + 8, year).ptr;
    for (const std::int32_t part : {month, day}) {
        *at++ = '-';
        if (part < 10) *at++ = '0';
        at = std::to_chars(at, text + sizeof text, part).ptr;
    }
    return std::string(text, at);
}

// "02:30:00"
std::string ClockText(const ParsedDate& date) {
    std::string text;
    for (const std::int32_t part : {date.hours, date.minutes, date.seconds}) {
        if (!text.empty()) text += ':';
        if (part < 10) text += '0';
        text += std::to_string(part);
    }
    return text;
}

// The reasons a line fails, out of the way of the lines that do not, and
// put into words only when asked for.
[[gnu::cold, gnu::noinline]] bool Fail(ShortText* reason, const std::string& why) {
    reason->assign(why);
    return false;
}

[[gnu::cold, gnu::noinline]] bool FailUnplaced(const ZoneShift& shift, ShortText* reason) {
    if (reason == nullptr) return false;
    if (shift.in == nullptr) {
        return Fail(reason,
                    "the time carries no zone: give the zone it is written in with --zone-in");
    }
    return Fail(reason, "the time is not marked " + std::string(shift.in_word) +
                            " as the first lines are (give --zone-in to read every time in one "
                            "zone)");
}

[[gnu::cold, gnu::noinline]] bool FailSkipped(const ParsedDate& date, const Zone& zone,
                                              ShortText* reason) {
    if (reason == nullptr) return false;
    return Fail(reason, ClockText(date) + " does not exist in " + ZoneName(zone) +
                            " that day: the clocks went forward");
}

[[gnu::cold, gnu::noinline]] bool FailBeyondTable(const Zone& zone, ShortText* reason) {
    if (reason == nullptr) return false;
    return Fail(reason, "the time zone database has no dates for " + ZoneName(zone) + " from " +
                            DayText(zone.table_end()) + " on");
}

class ZoneCategory final : public std::error_category {
  public:
    const char* name() const noexcept override { return "time zone"; }
    std::string message(int fault) const override {
        if (fault == static_cast<int>(ZoneFault::UnknownZone)) return "no such time zone";
        if (fault == static_cast<int>(ZoneFault::DatesWithoutTimes)) {
            return "dates without times are not moved";
        }
        return "the zone of the times is not known";
    }
};

}  // namespace

const Zone* FindZone(std::string_view name, std::string& reason) {
    ZoneRegistry& registry = Registry();
    const std::lock_guard<std::mutex> lock(registry.mutex);
    try {
        const date::tzdb& db = date::get_tzdb();
        if (!registry.checked) {
            registry.fault = CheckDatabase(db);
            registry.checked = true;
        }
        if (!registry.fault.empty()) {
            reason = registry.fault;
            return nullptr;
        }
        // The exact name first, then the same in another case.
        const auto exact = std::find_if(db.zones.begin(), db.zones.end(),
                                        [name](const auto& zone) { return zone.name() == name; });
        if (exact != db.zones.end()) return Register(registry, *exact);
        const auto any_case =
            std::find_if(db.zones.begin(), db.zones.end(),
                         [name](const auto& zone) { return SameNameAnyCase(zone.name(), name); });
        if (any_case != db.zones.end()) return Register(registry, *any_case);
    } catch (const std::exception&) {
        // The library throws when it finds no zone folder or cannot read it.
        reason = "the system's time zone database cannot be read (" + std::string(kZoneFolder) +
                 "; Debian's tzdata installs it)";
        return nullptr;
    }
    reason = "'" + std::string(name) + "' is not a time zone; " + std::string(ZoneNamesHint());
    return nullptr;
}

std::vector<std::string> ZoneNames() {
    ZoneRegistry& registry = Registry();
    const std::lock_guard<std::mutex> lock(registry.mutex);
    std::vector<std::string> names;
    try {
        const date::tzdb& db = date::get_tzdb();
        if (!registry.checked) {
            registry.fault = CheckDatabase(db);
            registry.checked = true;
        }
        if (!registry.fault.empty()) return names;
        names.reserve(db.zones.size());
        for (const date::time_zone& zone : db.zones) names.push_back(zone.name());
    } catch (const std::exception&) {
        return {};  // no zone folder, or one that cannot be read: FindZone says why
    }
    std::sort(names.begin(), names.end());
    return names;
}

const std::string& ZoneName(const Zone& zone) { return zone.rules().name(); }

std::string_view ZoneNamesHint() {
    return "timedatectl list-timezones lists them, as do the files under /usr/share/zoneinfo "
           "(America/New_York, Europe/London, UTC, ...)";
}

bool ShiftZone(const ZoneShift& shift, ParsedDate& date, std::string_view zone_word, bool& repeated,
               ShortText* reason) {
    Held& h = held;
    repeated = false;
    if (date.day != h.read_day || date.month != h.read_month || date.year != h.read_year) {
        h.read_year = date.year;
        h.read_month = date.month;
        h.read_day = date.day;
        h.read_days = DayNumber(date.year, date.month, date.day) - kEpochDay;
    }
    // Hours of 24 and minutes or seconds of 60 carry.
    const Seconds wall =
        h.read_days * kDay + Seconds{date.hours} * 3600 + Seconds{date.minutes} * 60 + date.seconds;
    Seconds sys = 0;
    if (date.has_offset) {
        sys = wall - Seconds{date.offset_minutes} * 60;
    } else {
        const Zone* in = shift.in;
        if (in == nullptr || (!shift.in_word.empty() && zone_word != shift.in_word)) {
            return FailUnplaced(shift, reason);
        }
        Seconds offset = h.in.offset;
        if (!h.in.Holds(in, wall)) {
            const WallTime lived = LookUpWall(*in, wall, h.in, offset);
            if (lived == WallTime::Never) return FailSkipped(date, *in, reason);
            repeated = lived == WallTime::Twice;
        }
        sys = wall - offset;
        if (sys >= in->table_end()) return FailBeyondTable(*in, reason);
    }
    const Zone* out = shift.out;
    if (sys >= out->table_end()) return FailBeyondTable(*out, reason);
    if (!h.out.Holds(out, sys)) LookUpInstant(*out, sys, h.out);
    const Seconds moved = sys + h.out.offset;
    const Seconds days = FloorDiv(moved, kDay);
    if (days != h.moved_days) {
        DateOfDay(kEpochDay + days, h.moved_year, h.moved_month, h.moved_day);
        h.moved_days = days;
    }
    const auto second = static_cast<std::int32_t>(moved - days * kDay);
    date.year = h.moved_year;
    date.month = h.moved_month;
    date.day = h.moved_day;
    date.hours = second / 3600;
    date.minutes = second / 60 % 60;
    date.seconds = second % 60;
    date.has_offset = true;
    date.offset_minutes = static_cast<std::int16_t>(h.out.offset / 60);
    return true;
}

std::error_code ZoneError(ZoneFault fault) {
    static const ZoneCategory category;
    return {static_cast<int>(fault), category};
}

}  // namespace varn
