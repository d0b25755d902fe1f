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
//   SplitReportText(report of two symbols) -> "2 symbols, a file each: AAA, BBB
//                              24 bars from 1000 lines"
//   DetectionStatusText("dax.csv", 150, detection of a semicolon file)
//                          -> "dax.csv: 150 lines. Detected: DD.MM.YYYY ... (100 of 100
//                              lines fit). Read: separator semicolon, decimal comma, header
//                              on line 1 naming date, open, high, low, close, volume."
//
// The core's reasons name the command line's options; the window says them
// with its own controls ("name the columns with --columns" -> "name the
// columns in the columns field").

#include <QString>
#include <cstdint>
#include <string_view>

#include "bars/detect.h"
#include "io/job.h"

namespace varn {

// After Create Bar: how many bars from how many lines (after the header),
// the skipped lines, the lines whose prices are out of order and the job's
// notes ("read newest first", "37 duplicate lines counted once"), one to a
// line; after Break, how many bars were written, and the notes.
QString BarReportText(const JobReport& report);
// After Create Bar with one file a symbol: the symbols (up to ten named),
// then as BarReportText: "2 symbols, a file each: AAA, BBB\n24 bars from 1000
// lines".
QString SplitReportText(const JobReport& report);
// A bar job that failed: its status, and what its detection saw when that
// was the reason.
QString BarFailureText(const JobReport& report);
// After Convert: lines written and skipped.
QString ConversionReportText(const JobReport& report);
// After Truncate last: "last N of C lines".
QString TruncReportText(const JobReport& report, std::int64_t wanted);
// A job that read lines and used none: why, with the first line's reason.
QString NoLineUsedText(const JobReport& report, const QString& what);

// reason, a reason or note of the core, in the window's words.
QString WindowWords(std::string_view reason);
// How the lines are cut and read, as a bar job reports it: "Read: separator
// comma, header on line 1 naming date, time, open, high, low, close, zone
// word US/EASTERN read as the wall time written."
QString ReadingText(const InputReading& reading);
// The same of lines read as shape says, zone_word after their times.
QString ReadingText(const LineShape& shape, std::string_view zone_word = {});

// The bar page's status line after a file is loaded or detected again: what
// detection found and how the lines read, or why nothing fits.
QString DetectionStatusText(const QString& file, std::size_t lines, const Detection& detection);
// The same after the layouts were chosen by hand: how many of the first lines
// read under them, read as shape says.
QString ChosenLayoutsStatusText(const QString& file, std::size_t lines, int fitting, int examined,
                                const LineShape& shape);

}  // namespace varn
