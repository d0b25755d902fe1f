#include "ui/ReportText.h"

#include <QRegularExpression>
#include <QStringList>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "calendar/date_layouts.h"
#include "text/separated_fields.h"

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

QString Words(std::string_view text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

// " Note: dates fit month-first and day-first; ...", or nothing.
QString NoteText(std::string_view note) {
    if (note.empty()) return {};
    return QStringLiteral(" Note: ") + WindowWords(note) + QLatin1Char('.');
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

// The notes of a report, each on a line of its own after a line end.
QString Notes(const JobReport& report) {
    QString text;
    for (const std::string& note : report.notes) text += QLatin1Char('\n') + WindowWords(note);
    return text;
}

}  // namespace

QString BarReportText(const JobReport& report) {
    if (report.stopped) {
        return QStringLiteral("Stopped by Break: %1 bars written").arg(report.bars_written) +
               Notes(report);
    }
    // A header and the lines above it are no price lines, neither used nor
    // skipped.
    const std::int64_t header_line = report.reading ? report.reading->header_line : 0;
    QString text = QStringLiteral("%1 bars from %2 lines")
                       .arg(report.bars_written)
                       .arg(report.lines_read - report.header_lines);
    if (report.header_lines > 0 && header_line > 0) {
        text += QStringLiteral(" after the header on line %1").arg(header_line);
    }
    text += Skipped(report);
    if (report.lines_out_of_order > 0) {
        text += QStringLiteral("\n%1 %2 high below low or open/close outside high-low (line %3)")
                    .arg(report.lines_out_of_order)
                    .arg(report.lines_out_of_order == 1 ? QStringLiteral("line has")
                                                        : QStringLiteral("lines have"))
                    .arg(report.first_out_of_order);
    }
    return text + Notes(report);
}

QString SplitReportText(const JobReport& report) {
    static const std::vector<std::pair<std::string, std::int64_t>> kNone;
    const auto& symbols = report.reading ? report.reading->symbols : kNone;
    QStringList names;
    for (std::size_t i = 0; i < symbols.size() && i < 10; ++i) names += Words(symbols[i].first);
    if (symbols.size() > 10) names += QStringLiteral("and %1 more").arg(symbols.size() - 10);
    return QStringLiteral("%1 symbols, a file each: ").arg(symbols.size()) +
           names.join(QStringLiteral(", ")) + QLatin1Char('\n') + BarReportText(report);
}

QString BarFailureText(const JobReport& report) {
    QString text = WindowWords(report.status.Message());
    if (!report.detection_reason.empty()) {
        text += QLatin1Char('\n') + WindowWords(report.detection_reason);
    }
    return text;
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

QString WindowWords(std::string_view reason) {
    // The options of the command line, and the controls that stand for them.
    static const std::pair<QRegularExpression, QString> kControls[] = {
        {QRegularExpression(QStringLiteral("with --columns")),
         QStringLiteral("in the columns field")},
        {QRegularExpression(QStringLiteral("--columns")), QStringLiteral("the columns field")},
        {QRegularExpression(QStringLiteral("give --date-layout and --time-layout")),
         QStringLiteral("choose the date and time layouts")},
        {QRegularExpression(QStringLiteral("--date-layout (\\d+)")),
         QStringLiteral("date layout \\1")},
        {QRegularExpression(QStringLiteral("--prices (\\w+)")), QStringLiteral("prices \"\\1\"")},
        {QRegularExpression(QStringLiteral("--decimal-comma")), QStringLiteral("decimal comma")},
        {QRegularExpression(QStringLiteral("with --symbol or write one file each with --split "
                                           "DIR")),
         QStringLiteral("in the symbol list, or \"one file each\" there")},
    };
    QString text = Words(reason);
    for (const auto& [option, control] : kControls) text.replace(option, control);
    return text;
}

QString ReadingText(const InputReading& reading) {
    QString text = QStringLiteral("Read: separator ") + Words(reading.separator);
    if (reading.decimal_comma) text += QStringLiteral(", decimal comma");
    const QString columns = Words(reading.columns);
    if (reading.header_line > 0) {
        text += QStringLiteral(", header on line %1").arg(reading.header_line);
        if (reading.columns_from_header) text += QStringLiteral(" naming ") + columns;
    }
    if (!reading.columns_from_header && !columns.isEmpty()) {
        text += QStringLiteral(", columns as given: ") + columns;
    }
    if (!reading.zone_word.empty()) {
        text += QStringLiteral(", zone word %1 read as the wall time written")
                    .arg(Words(reading.zone_word));
    }
    return text + QLatin1Char('.');
}

QString ReadingText(const LineShape& shape, std::string_view zone_word) {
    InputReading reading;
    reading.separator = SeparatorName(shape.separator);
    reading.decimal_comma = shape.decimal == DecimalMark::Comma;
    reading.header_line = shape.header_line;
    reading.columns = shape.ColumnsText();
    reading.columns_from_header = shape.columns_from_header;
    reading.zone_word = zone_word;
    return ReadingText(reading);
}

QString DetectionStatusText(const QString& file, std::size_t lines, const Detection& detection) {
    if (lines == 0) return QStringLiteral("%1: empty file").arg(file);
    const QString head = QStringLiteral("%1: %2 lines. ").arg(file).arg(lines);
    const QString reading = QLatin1Char(' ') + ReadingText(detection.shape, detection.zone_word);
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
                   QStringLiteral(" (%1 of %2 lines fit).")
                       .arg(detection.fitting_lines)
                       .arg(DetectLineCount) +
                   reading + NoteText(detection.note);
        case Detection::Outcome::TooFewLines:
            return head +
                   QStringLiteral("Short file (\u2264 %1 lines): choose the layouts.")
                       .arg(DetectLineCount) +
                   reading;
        case Detection::Outcome::BadColumns:
            // The shape is not whole: only why.
            return head + QStringLiteral("The columns cannot give bars: ") +
                   WindowWords(detection.reason);
        case Detection::Outcome::NoFit:
            break;
    }
    return head +
           QStringLiteral("No layout pair fits %1 of the first %2 lines: ")
               .arg(DetectThreshold)
               .arg(DetectLineCount) +
           (detection.reason.empty() ? QStringLiteral("choose the layouts")
                                     : WindowWords(detection.reason)) +
           QLatin1Char('.') + reading;
}

QString ChosenLayoutsStatusText(const QString& file, std::size_t lines, int fitting, int examined,
                                const LineShape& shape) {
    return QStringLiteral("%1: %2 lines. %3 of the first %4 lines read under the chosen layouts. ")
               .arg(file)
               .arg(lines)
               .arg(fitting)
               .arg(examined) +
           ReadingText(shape);
}

}  // namespace varn
