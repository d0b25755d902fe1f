#include "calendar/regional.h"

#include <langinfo.h>

#include <string_view>

namespace varn {

namespace {

constexpr std::array<std::string_view, 12> EnglishLong = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};
constexpr std::array<std::string_view, 12> EnglishShort = {
    "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::string Designator(std::string_view text) {
    return std::string(text.substr(0, AmPmDesignatorMax));
}

std::string LangInfo(nl_item item) {
    const char* text = nl_langinfo(item);
    return text == nullptr ? std::string() : std::string(text);
}

}  // namespace

RegionalNames EnglishRegionalNames() {
    RegionalNames names;
    for (std::size_t m = 0; m < 12; ++m) {
        names.long_months[m] = std::string(EnglishLong[m]);
        names.short_months[m] = std::string(EnglishShort[m]);
    }
    names.am = "AM";
    names.pm = "PM";
    return names;
}

RegionalNames RegionalNamesFromLocale() {
    static constexpr std::array<nl_item, 12> LongItems = {
        MON_1, MON_2, MON_3, MON_4, MON_5, MON_6, MON_7, MON_8, MON_9, MON_10, MON_11, MON_12};
    static constexpr std::array<nl_item, 12> ShortItems = {ABMON_1, ABMON_2,  ABMON_3,  ABMON_4,
                                                           ABMON_5, ABMON_6,  ABMON_7,  ABMON_8,
                                                           ABMON_9, ABMON_10, ABMON_11, ABMON_12};
    RegionalNames names;
    for (std::size_t m = 0; m < 12; ++m) {
        names.long_months[m] = LangInfo(LongItems[m]);
        names.short_months[m] = LangInfo(ShortItems[m]);
    }
    names.am = Designator(LangInfo(AM_STR));
    names.pm = Designator(LangInfo(PM_STR));
    return names;
}

}  // namespace varn
