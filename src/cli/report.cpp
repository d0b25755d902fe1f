// The words of a job's report on standard error.
//
//   varn: in.txt: 3 of 1000 lines skipped (line 17: Can't extract Month ...)
//   varn: in.txt: 1000 lines read, 997 used, 3 skipped; 24 bars written
//   varn: in.txt: no line reads as a bar under date layout 5 (...) and time
//         layout 1 (...) (line 1: Can't extract Month ...)
#include "bars/detect.h"
#include "calendar/date_layouts.h"
#include "cli/command.h"

namespace varn::cli {
namespace {

// " (line 17: Can't extract Month ...)", or nothing when no reason is kept.
std::string FirstSkipText(const JobReport& report) {
    if (report.first_skipped.empty()) return {};
    const SkippedLine& first = report.first_skipped.front();
    return " (line " + std::to_string(first.line) + ": " + first.reason + ")";
}

}  // namespace

std::string LayoutsText(const UsedLayouts& layouts) {
    return "date layout " + std::to_string(Number(layouts.date)) + " (" +
           std::string(DateLayoutItem(layouts.date)) + ") and time layout " +
           std::to_string(Number(layouts.time)) + " (" + std::string(TimeLayoutItem(layouts.time)) +
           ")";
}

std::string DetectionFailureText(const JobReport& report, const std::string& name) {
    if (report.status.error == DetectionError(Detection::Outcome::NoFit) && report.layouts) {
        return name + ": no layout pair fits " + std::to_string(DetectThreshold) +
               " of the first " + std::to_string(DetectLineCount) + " lines (the nearest, " +
               LayoutsText(*report.layouts) + ", fits " + std::to_string(report.fitting_lines) +
               ")";
    }
    if (report.status.error == DetectionError(Detection::Outcome::TooFewLines)) {
        return name + ": the file has " + std::to_string(DetectLineCount) +
               " lines or fewer, too few to detect its layouts";
    }
    return report.status.Message();
}

int FinishJob(const JobReport& report, const std::string& name, std::string_view written,
              const std::string& unread_as, Streams& streams, const std::string& output) {
    if (report.used_no_line()) {
        return Fail(name + ": no line reads " + unread_as + FirstSkipText(report), streams);
    }
    if (!report.ok()) return Finish(report.status, streams);
    if (streams.verbosity == Verbosity::Verbose) {
        streams.err << "varn: " << name << ": " << report.lines_read << " lines read, "
                    << report.lines_used << " used, " << report.lines_skipped << " skipped; "
                    << report.lines_written << ' ' << written << " written";
        if (!output.empty()) streams.err << " to " << DisplayName(output);
        if (report.layouts && report.layouts->detected) {
            streams.err << "; detected " << LayoutsText(*report.layouts);
        }
        streams.err << '\n';
    } else if (streams.verbosity == Verbosity::Normal && report.lines_skipped > 0) {
        streams.err << "varn: " << name << ": " << report.lines_skipped << " of "
                    << report.lines_read << " lines skipped" << FirstSkipText(report) << '\n';
    }
    if (streams.verbosity == Verbosity::Quiet) return ExitOk;
    // What the job did with lines that read, but not as they should.
    if (report.lines_out_of_order > 0) {
        streams.err << "varn: " << name << ": " << report.lines_out_of_order
                    << (report.lines_out_of_order == 1 ? " line has" : " lines have")
                    << " high below low or open/close outside high-low (line "
                    << report.first_out_of_order << ")\n";
    }
    for (const std::string& note : report.notes) {
        streams.err << "varn: " << name << ": " << note << '\n';
    }
    return ExitOk;
}

}  // namespace varn::cli
