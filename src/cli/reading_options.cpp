#include "cli/reading_options.h"

#include "bars/detect.h"
#include "bars/line_shape.h"
#include "calendar/zone_shift.h"

namespace varn::cli {

void AddReadingOptions(CLI::App& cmd, ReadingArgs& args) {
    cmd.add_option("--columns", args.columns,
                   "the columns of the lines, comma-separated: date, time, datetime, open, high, "
                   "low, close, volume, open_interest, symbol, bid, ask or skip (wins over a "
                   "header)")
        ->type_name("LIST")
        ->check(CLI::Validator(
            [](std::string& list) {
                std::vector<Column> columns;
                std::string reason;
                return ReadColumnList(list, columns, reason) ? std::string() : reason;
            },
            "LIST"));
    cmd.add_flag("--decimal-comma", args.decimal_comma,
                 "numbers are written with a decimal comma (10.586,70), whatever they look like");
}

void ApplyReadingArgs(const ReadingArgs& args, BarChoices& choices) {
    std::string reason;
    if (!args.columns.empty()) (void)ReadColumnList(args.columns, choices.shape.columns, reason);
    choices.shape.decimal_comma = args.decimal_comma;
}

void AddZoneOptions(CLI::App& cmd, ZoneArgs& args) {
    const CLI::Validator zone(
        [](std::string& name) {
            std::string reason;
            return FindZone(name, reason) != nullptr ? std::string() : reason;
        },
        "ZONE");
    cmd.add_option("--zone-in", args.in,
                   "the time zone the times are written in, such as Europe/London (default: "
                   "their zone word; times with an offset or epoch stamps are instants)")
        ->check(zone);
    cmd.add_option("--zone-out", args.out,
                   "the time zone of the bars and their stamps, such as America/New_York "
                   "(default: none, times as written)")
        ->check(zone);
}

void ApplyZoneArgs(const ZoneArgs& args, BarChoices& choices) {
    choices.zone_in = args.in;
    choices.zone_out = args.out;
}

std::vector<std::pair<std::string, std::string>> ReadingFields(const JobReport& report) {
    std::vector<std::pair<std::string, std::string>> fields;
    if (report.reading) {
        const InputReading& reading = *report.reading;
        fields.emplace_back("separator", reading.separator);
        fields.emplace_back("decimal", reading.decimal_comma ? "comma" : "point");
        if (reading.header_line > 0) {
            fields.emplace_back("header", "line " + std::to_string(reading.header_line));
        }
        if (!reading.columns.empty()) {
            fields.emplace_back(
                "columns", reading.columns +
                               (reading.columns_from_header ? " (by the header)" : " (as given)"));
        }
        if (!reading.zone_word.empty() && reading.zone_out.empty()) {
            fields.emplace_back("zone", reading.zone_word + " (read as the wall time written)");
        }
        if (!reading.zone_out.empty()) {
            fields.emplace_back("zone in",
                                reading.zone_in.empty() ? "the offsets written" : reading.zone_in);
            fields.emplace_back("zone out", reading.zone_out);
        }
    }
    if (report.reading && !report.reading->symbols.empty()) {
        std::string symbols;
        for (const auto& [symbol, lines] : report.reading->symbols) {
            symbols += (symbols.empty() ? "" : ", ") + (symbol.empty() ? "(none)" : symbol) + " (" +
                       std::to_string(lines) + (lines == 1 ? " line)" : " lines)");
        }
        fields.emplace_back("symbols", symbols);
    }
    for (const std::string& note : report.notes) fields.emplace_back("note", note);
    return fields;
}

int FinishDetectionFailure(const JobReport& report, const std::string& name, Streams& streams,
                           bool hint) {
    if (report.status.error.category() != DetectionError(Detection::Outcome::NoFit).category()) {
        return Finish(report.status, streams);
    }
    if (report.status.error == DetectionError(Detection::Outcome::BadColumns)) {
        return Fail(name + ": " + report.detection_reason, streams);
    }
    Fail(DetectionFailureText(report, name), streams);
    if (!report.detection_reason.empty()) {
        streams.err << "varn: " << report.detection_reason << '\n';
    } else if (hint) {
        streams.err << "varn: give --date-layout and --time-layout\n";
    }
    return ExitFailure;
}

}  // namespace varn::cli
