#include "ui/FirstLinePreview.h"

#include <algorithm>
#include <cstdint>

#include "bars/bar_line.h"
#include "io/job.h"

namespace varn {
namespace {

QString Number(double value) {
    if (IsMissing(value)) return QStringLiteral("-");
    return QString::number(value, 'g', 12);
}

QString TwoDigits(int value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); }

bool Blank(std::string_view line) {
    return std::all_of(line.begin(), line.end(),
                       [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

}  // namespace

QString LinePreviewText(std::size_t number, std::string_view line, DateLayout date_layout,
                        TimeLayout time_layout, PriceForm form, const DateNames& names) {
    BarReading reading;
    reading.form = form == PriceForm::Single ? PriceForm::Single : PriceForm::Ohlc;
    ParsedDate date;
    BarLine bar;
    ShortText reason;
    const QString which = QStringLiteral("Line %1").arg(number + 1);
    if (!ReadBarFields(date_layout, time_layout, reading, line, names, date, bar, &reason)) {
        if (reason.empty()) reason = DateOrTimeDoesNotRead;
        return which + QStringLiteral(" does not read: ") +
               QString::fromLatin1(reason.data(), static_cast<qsizetype>(reason.size()));
    }
    QString text = which + QStringLiteral(" reads: date %1-%2-%3")
                               .arg(date.year, 4, 10, QLatin1Char('0'))
                               .arg(TwoDigits(date.month), TwoDigits(date.day));
    if (time_layout == TimeLayout::NotIndicated) {
        text += QStringLiteral("  no time");
    } else {
        text += QStringLiteral("  time %1:%2:%3")
                    .arg(TwoDigits(date.hours), TwoDigits(date.minutes), TwoDigits(date.seconds));
    }
    if (reading.form == PriceForm::Single) {
        text += QStringLiteral("  price %1").arg(Number(bar.close));
    } else {
        text += QStringLiteral("  open %1  high %2  low %3  close %4")
                    .arg(Number(bar.open), Number(bar.high), Number(bar.low), Number(bar.close));
    }
    return text;
}

QString FirstLinePreviewText(const LineList& lines, const LineShape& shape, DateLayout date_layout,
                             TimeLayout time_layout, PriceForm form, const DateNames& names) {
    // The job reads the form the columns name, when they name one.
    const PriceForm read_as = shape.prices != PriceForm::Auto ? shape.prices : form;
    const auto header = static_cast<std::size_t>(std::max<std::int64_t>(0, shape.header_line));
    const std::size_t count = std::min(lines.Count(), header + PreviewBlankLinesMax);
    for (std::size_t i = header; i < count; ++i) {
        const std::string_view line = lines.Line(i);
        if (Blank(line)) continue;
        return LinePreviewText(i, ShapeLine(line, shape), date_layout, time_layout, read_as, names);
    }
    return QStringLiteral("No price line to preview");
}

}  // namespace varn
