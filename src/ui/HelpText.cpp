#include "ui/HelpText.h"

#include <array>
#include <string_view>

#include "bars/bar_line.h"
#include "bars/build_bars.h"
#include "bars/detect.h"
#include "calendar/date_layouts.h"
#include "convert/conversions.h"

#ifndef VARN_VERSION
#define VARN_VERSION "0"
#endif

namespace varn {

namespace {

QString Escaped(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())).toHtmlEscaped();
}

// An ordered list of items numbered from 0, as the lists and the command
// line number them.
template <typename Items>
QString NumberedList(const Items& items) {
    QString list = QStringLiteral("<ul>");
    int n = 0;
    for (const auto& item : items) {
        // The items as the lists show them, blanks and all.
        list += QStringLiteral("<li>%1: <tt style=\"white-space: pre\">%2</tt></li>")
                    .arg(n++)
                    .arg(Escaped(item));
    }
    return list + QStringLiteral("</ul>");
}

}  // namespace

QString ProgramVersion() { return QStringLiteral(VARN_VERSION); }

QString AboutText() {
    return QStringLiteral(
               "<p><b>Varn Format Convertor</b> %1</p>"
               "<p>Converts price files between layouts, keeps the last lines of a file and "
               "builds open-high-low-close bars from dated price lines.</p>"
               "<p>Released under the MIT licence: free to use, copy, change and pass on, "
               "with no warranty of any kind.</p>")
        .arg(ProgramVersion().toHtmlEscaped());
}

QString HelpPageText() {
    std::array<ShortText, DateLayoutCount> date_layouts;
    for (int n = 0; n < DateLayoutCount; ++n) {
        date_layouts[static_cast<std::size_t>(n)] = DateLayoutItem(n);
    }
    return QStringLiteral(
               "<h3>Varn Format</h3>"
               "<p>Choose a conversion, press <b>Convert</b>, pick the input file and where to "
               "write the result. The conversions:</p>%1"
               "<h3>Trunc File</h3>"
               "<p><b>Open</b> counts the lines of a file; <b>Truncate last</b> writes its last "
               "lines, as many as the box says, to a file of your choice.</p>"
               "<h3>Bar</h3>"
               "<p>Open a price file with the button at the left (or Ctrl+O). Each line holds "
               "a date, perhaps a time, then open, high, low and close (or one price), and "
               "perhaps volume and open interest. For a file of more than %2 lines the layouts "
               "that fit at least %3 of the first %2 lines are chosen for you; the status line "
               "says what was found and how the lines were read (the separator, a decimal "
               "comma, a header naming the columns), and the line under it how the first line "
               "reads. Files compressed with gzip or zip, and UTF-16 files, are read as the "
               "text they hold.</p>"
               "<p>When the columns are in another order and no header names them, name them "
               "in the <i>columns</i> field, comma-separated: date, time, datetime, open, "
               "high, low, close, volume, open_interest, symbol, bid, ask, or skip for a "
               "column to pass over (for example <tt>symbol,date,open,high,low,close</tt>). "
               "Tick <i>decimal comma</i> when the numbers are written 10.586,70. Either "
               "change reads the lines again.</p>"
               "<p>Under them, <i>zone in</i> names the time zone the times are written in and "
               "<i>zone out</i> the zone of the bars and their stamps, daylight saving included "
               "(names of the system's time zone database such as America/New_York, typed or "
               "chosen; empty for none): New York days from London times are one choice each. "
               "Lines in any order give the bars of the same lines sorted, and a line written "
               "twice counts once; the message after <b>Create Bar</b> says how the lines stood "
               "(read newest first, lines out of time order, duplicate lines). <i>keep "
               "order</i> makes bars of runs of lines as the file has them instead. <i>stamp "
               "time</i> stamps a bar with its last line's moment, or where its period starts "
               "or ends (a month's first or last day); <i>decimals</i> writes the prices by "
               "their size, with as many decimals as the bar's prices have in the file "
               "(<i>input</i>: 1.09497 stays 1.09497), or with a fixed count. When the "
               "lines carry several symbols, the <i>symbol</i> list chooses whose bars are "
               "built, or <i>one file each</i> writes a file a symbol, SYMBOL.txt, into a folder "
               "you choose.</p>"
               "<p>Date layouts:</p>%4<p>Time layouts:</p>%5"
               "<p>Bar periods (or a length in minutes or hours in the <i>bar</i> list, which "
               "then takes the period's place):</p>%6"
               "<p><b>Create Bar</b> builds the bars, shows them in the chart and asks where to "
               "save them; <b>Break</b> in the progress window stops and keeps the bars closed "
               "so far.</p>"
               "<h3>Keys</h3>"
               "<p>Ctrl+Tab and Ctrl+Shift+Tab switch pages; Enter presses the focused button; "
               "Alt with an underlined letter goes to that control. In the chart the arrows "
               "scroll, + and - zoom, Home and End go to the first and last bars.</p>")
        .arg(NumberedList(ConversionItems))
        .arg(DetectLineCount)
        .arg(DetectThreshold)
        .arg(NumberedList(date_layouts))
        .arg(NumberedList(TimeLayoutItems))
        .arg(NumberedList(BarPeriodItems));
}

}  // namespace varn
