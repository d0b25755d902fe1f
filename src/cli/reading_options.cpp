#include "cli/reading_options.h"

#include "bars/detect.h"
#include "bars/line_shape.h"

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
        if (!reading.zone_word.empty()) {
            fields.emplace_back("zone", reading.zone_word + " (read as the wall time written)");
        }
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
