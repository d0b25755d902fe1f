#include "bars/job_zones.h"

#include "bars/bar_line.h"

namespace varn {

JobStatus ChooseZones(std::span<const std::string_view> first, const std::string& name,
                      const BarChoices& choices, const LineShape& shape, const DateNames& names,
                      JobReport& report, std::string& in_word, ZoneShift& zones) {
    if (choices.zone_in.empty() && choices.zone_out.empty()) return JobStatus::Ok();
    std::string reason;
    const Zone* in = nullptr;
    if (!choices.zone_in.empty() && (in = FindZone(choices.zone_in, reason)) == nullptr) {
        return JobStatus::Refusal(name, ZoneError(ZoneFault::UnknownZone), reason,
                                  "the zone of the times");
    }
    const Zone* out = nullptr;
    if (!choices.zone_out.empty() && (out = FindZone(choices.zone_out, reason)) == nullptr) {
        return JobStatus::Refusal(name, ZoneError(ZoneFault::UnknownZone), reason,
                                  "the zone of the bars");
    }
    if (out == nullptr) {
        report.notes.push_back("the times stay as written: a zone for them (" + ZoneName(*in) +
                               ") moves nothing without a zone for the bars");
        return JobStatus::Ok();
    }
    const UsedLayouts& layouts = *report.layouts;
    // A date without a time names a day, not its midnight: moved, a day of
    // London would become an evening of New York.
    if (layouts.time == TimeLayout::NotIndicated) {
        return JobStatus::Refusal(name, ZoneError(ZoneFault::DatesWithoutTimes),
                                  "the lines carry dates without times, which no zone moves: "
                                  "leave out the zone of the bars");
    }
    // What the first lines that read say of their zone.
    BarReading reading;
    reading.form = layouts.prices == PriceForm::Single ? PriceForm::Single : PriceForm::Ohlc;
    reading.shape = &shape;
    bool read = false;
    bool all_offsets = true;
    bool unmarked = false;  // a time without an offset or a zone word
    std::string word;       // the first zone word
    for (std::size_t i = 0; i < first.size(); ++i) {
        ParsedDate date;
        BarLine bar;
        if (static_cast<std::int64_t>(i) < shape.header_line ||
            !ReadBarFields(layouts.date, layouts.time, reading, first[i], names, date, bar)) {
            continue;
        }
        read = true;
        if (date.has_offset) continue;
        all_offsets = false;
        const std::string_view line = shape.Rewrites() ? ShapeLine(first[i], shape) : first[i];
        const std::string line_word = ZoneWordOf(layouts.date, layouts.time, line, names);
        if (line_word.empty()) unmarked = true;
        if (word.empty()) word = line_word;
    }
    if (in == nullptr && !word.empty() && (in = FindZone(word, reason)) != nullptr) {
        in_word = word;
        report.notes.push_back("the times are marked " + word + ": read in " + ZoneName(*in));
    }
    if (in == nullptr && (unmarked || !word.empty())) {
        const std::string what = unmarked ? "the times carry no zone"
                                          : "the times are marked " + word +
                                                ", which is no zone of the time zone database";
        return JobStatus::Refusal(name, ZoneError(ZoneFault::TimesWithoutZone),
                                  what +
                                      ": give the zone they are written in with --zone-in "
                                      "(America/New_York, Europe/London, ...)");
    }
    if (read && all_offsets && !choices.zone_in.empty()) {
        report.notes.push_back("the times carry their offsets: the zone given for them (" +
                               ZoneName(*in) + ") is not used");
    }
    zones.in = in;
    zones.out = out;
    zones.in_word = in_word;
    if (report.reading) {
        report.reading->zone_in = in != nullptr ? ZoneName(*in) : std::string();
        report.reading->zone_out = ZoneName(*out);
    }
    return JobStatus::Ok();
}

std::string RepeatedHourNote(std::int64_t lines, const Zone& zone) {
    return std::to_string(lines) + (lines == 1 ? " line falls" : " lines fall") +
           " in the hour the clocks went back in " + ZoneName(zone) + "; read as its first pass";
}

}  // namespace varn
