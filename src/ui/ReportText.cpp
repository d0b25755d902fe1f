#include "ui/ReportText.h"

#include <string_view>

#include "calendar/date_layouts.h"

namespace varn {
namespace {

QString Latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// " (first: line 17: Can't extract Month ...)", or nothing.
QString FirstSkipped(const JobReport& report) {
    if (report.first_skipped.empty()) return {};
    const SkippedLine& first = report.first_skipped.front();
    return QStringLiteral(" (first: line %1: %2)")
        .arg(first.line)
        .arg(QString::fromLocal8Bit(first.reason.data(),
                                    static_cast<qsizetype>(first.reason.size())));
}

QString Skipped(const JobReport& report) {
    if (report.lines_skipped == 0) return {};
    return QStringLiteral("; %1 %2 skipped")
               .arg(report.lines_skipped)
               .arg(report.lines_skipped == 1 ? QStringLiteral("line") : QStringLiteral("lines")) +
           FirstSkipped(report);
}

QString PairText(DateLayout date, TimeLayout time) {
    return Latin1(DateLayoutItem(date)) + QStringLiteral(" + ") + Latin1(TimeLayoutItem(time));
}

// The date of a layout without the price fields its list item names after
// it: "MM/DD/YYYY" for "MM/DD/YYYY  OHLC Vol O.I.".
QString DateOnly(DateLayout date) {
    const std::string_view stored = DateLayoutTable[static_cast<std::size_t>(Number(date))];
    return Latin1(stored.substr(0, stored.find("%s")));
}

}  // namespace

QString BarReportText(const JobReport& report) {
    if (report.stopped) {
        return QStringLiteral("Stopped by Break: %1 bars written").arg(report.bars_written);
    }
    return QStringLiteral("%1 bars from %2 lines").arg(report.bars_written).arg(report.lines_read) +
           Skipped(report);
}

QString ConversionReportText(const JobReport& report) {
    return QStringLiteral("%1 lines written").arg(report.lines_written) + Skipped(report);
}

QString TruncReportText(const JobReport& report, std::int64_t wanted) {
    return QStringLiteral("last %1 of %2 lines")
        .arg(std::min(wanted, report.lines_read))
        .arg(report.lines_read);
}

QString NoLineUsedText(const JobReport& report, const QString& what) {
    return QStringLiteral("No line of %1 reads %2; nothing was written.")
               .arg(report.lines_read)
               .arg(what) +
           FirstSkipped(report);
}

QString DetectionStatusText(const QString& file, std::size_t lines, const Detection& detection) {
    if (lines == 0) return QStringLiteral("%1: empty file").arg(file);
    const QString head = QStringLiteral("%1: %2 lines. ").arg(file).arg(lines);
    switch (detection.outcome) {
        case Detection::Outcome::Detected:
            // The list item names four prices; a file of one price a line
            // is told as such.
            return head + QStringLiteral("Detected: ") +
                   (detection.form == PriceForm::Single
                        ? DateOnly(detection.pair.date_layout) + QStringLiteral(" + ") +
                              Latin1(TimeLayoutItem(detection.pair.time_layout)) +
                              QStringLiteral(", one price per line")
                        : PairText(detection.pair.date_layout, detection.pair.time_layout)) +
                   QStringLiteral(" (%1 of %2 lines fit)")
                       .arg(detection.fitting_lines)
                       .arg(DetectLineCount);
        case Detection::Outcome::TooFewLines:
            return head + QStringLiteral("Short file (\u2264 %1 lines): choose the layouts")
                              .arg(DetectLineCount);
        case Detection::Outcome::BadColumns:
            return head + QString::fromStdString(detection.reason);
        case Detection::Outcome::NoFit:
            break;
    }
    return head + QStringLiteral("No layout pair fits %1 of the first %2 lines: choose the layouts")
                      .arg(DetectThreshold)
                      .arg(DetectLineCount);
}

QString ChosenLayoutsStatusText(const QString& file, std::size_t lines, int fitting, int examined) {
    return QStringLiteral("%1: %2 lines. %3 of the first %4 lines read under the chosen layouts")
        .arg(file)
        .arg(lines)
        .arg(fitting)
        .arg(examined);
}

}  // namespace varn
