#pragma once
// The words the window shows for what a job did and for what the bar page
// knows of its lines. Pure functions of the core's reports, so the texts are
// tested without a window.
//
//   BarReportText(report)  -> "24 bars from 1000 lines; 3 lines skipped
//                              (first: line 17: Can't extract Month ...)"
//   DetectionStatusText("prices.txt", 150, detection)
//                          -> "prices.txt: 150 lines. Detected: MM/DD/YYYY  OHLC
//                              Vol O.I. + Not Indicated (100 of 100 lines fit)"
//   DetectionStatusText("ticks.txt", 150, detection of one price a line)
//                          -> "ticks.txt: 150 lines. Detected: MM/DD/YYYY + DATE;21:45,
//                              one price per line (100 of 100 lines fit)"
//   DetectionStatusText("empty.txt", 0, detection) -> "empty.txt: empty file"

#include <QString>
#include <cstdint>

#include "bars/detect.h"
#include "io/job.h"

namespace varn {

// After Create Bar: how many bars from how many lines, and the skipped lines;
// after Break, how many bars were written.
QString BarReportText(const JobReport& report);
// After Convert: lines written and skipped.
QString ConversionReportText(const JobReport& report);
// After Truncate last: "last N of C lines".
QString TruncReportText(const JobReport& report, std::int64_t wanted);
// A job that read lines and used none: why, with the first line's reason.
QString NoLineUsedText(const JobReport& report, const QString& what);

// The bar page's status line after a file is loaded.
QString DetectionStatusText(const QString& file, std::size_t lines, const Detection& detection);
// The same after the layouts were chosen by hand: how many of the first lines
// read under them.
QString ChosenLayoutsStatusText(const QString& file, std::size_t lines, int fitting, int examined);

}  // namespace varn
