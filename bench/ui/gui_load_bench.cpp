// How long the bar page takes to load a file of a million price lines and to
// build bars from it, and how much memory it needs, measured through the
// window itself (offscreen, dialogs answered).
//
//   gui_load_bench [lines]     default 1000000
//
// Prints one line per step: what, seconds, the peak resident size so far and
// the longest the window's event loop stood still during the step.

#include <sys/resource.h>

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "bars/build_bars.h"
#include "calendar/regional.h"
#include "ui/MainWindow.h"
#include "ui/tools/AnsweredDialogs.h"

namespace {

long PeakResidentKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Five-minute price lines "MM/DD/YYYY HHMM open high low close volume".
bool WriteInput(const QString& path, long count) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    QDate day(2001, 1, 2);
    int minute = 0;
    char line[96];
    for (long i = 0; i < count; ++i) {
        const int price = 1200 + static_cast<int>(i % 97);
        const int length = std::snprintf(
            line, sizeof line, "%02d/%02d/%04d %02d%02d %d.25 %d.75 %d.00 %d.50 %ld\r\n",
            day.month(), day.day(), day.year(), minute / 60, minute % 60, price, price + 2,
            price - 1, price + 1, 20000 + i % 1000);
        if (file.write(line, length) != length) return false;
        minute += 5;
        if (minute >= 24 * 60) {
            minute = 0;
            day = day.addDays(1);
        }
    }
    return true;
}

// Presses the button named name and waits until the job it started, with
// its dialogs, has ended: the open buttons take clicks again. Returns the
// longest the window's event loop went without turning meanwhile, in
// milliseconds, as a timer of 1 ms sees it.
double ClickAndWait(varn::MainWindow& window, const char* name) {
    QElapsedTimer since_tick;
    qint64 longest = 0;
    QTimer ticker;
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longest = std::max(longest, since_tick.nsecsElapsed());
        since_tick.restart();
    });
    ticker.start();
    since_tick.start();
    window.findChild<QPushButton*>(QString::fromLatin1(name))->click();
    longest = std::max(longest, since_tick.nsecsElapsed());  // the click itself
    auto* open = window.findChild<QPushButton*>(QStringLiteral("open_prices_button"));
    while (!open->isEnabled()) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return static_cast<double>(longest) / 1e6;
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const long count = argc > 1 ? std::atol(argv[1]) : 1000000;

    QTemporaryDir dir;
    const QString input = dir.filePath(QStringLiteral("prices.txt"));
    const QString output = dir.filePath(QStringLiteral("bars.txt"));
    if (!WriteInput(input, count)) {
        std::fprintf(stderr, "gui_load_bench: cannot write %s\n", qPrintable(input));
        return 1;
    }
    const double megabytes = static_cast<double>(QFile(input).size()) / 1e6;
    std::printf("input: %ld lines, %.1f MB; peak RSS before loading %ld kB\n", count, megabytes,
                PeakResidentKb());

    varn::AnsweredDialogs dialogs;
    varn::MainWindow window(varn::EnglishRegionalNames(), &dialogs);
    window.show();
    QApplication::processEvents();
    const long before = PeakResidentKb();

    QElapsedTimer clock;
    dialogs.open_answers.push_back(input);
    clock.start();
    const double load_stall = ClickAndWait(window, "open_prices_button");
    QApplication::processEvents();  // the first paint of the text area
    std::printf(
        "load:       %.3f s, %zu lines, peak RSS %ld kB (+%ld kB), window still %.1f ms "
        "at most\n",
        static_cast<double>(clock.nsecsElapsed()) / 1e9, window.BarLines().Count(),
        PeakResidentKb(), PeakResidentKb() - before, load_stall);

    dialogs.save_answers.push_back(output);
    clock.restart();
    const double bars_stall = ClickAndWait(window, "create_bars_button");
    std::printf(
        "create bar: %.3f s, %lld bytes written, peak RSS %ld kB, window still %.1f ms at "
        "most\n",
        static_cast<double>(clock.nsecsElapsed()) / 1e9,
        static_cast<long long>(QFile(output).size()), PeakResidentKb(), bars_stall);
    // The same job as `varn bars` runs it, streaming from the file, with the
    // page's choices.
    varn::BarChoices choices;
    choices.date_layout = varn::DateLayoutOf(
        window.findChild<QComboBox*>(QStringLiteral("date_layout_list"))->currentIndex());
    choices.time_layout = varn::TimeLayoutOf(
        window.findChild<QComboBox*>(QStringLiteral("time_layout_list"))->currentIndex());
    choices.period =
        varn::BarPeriodOf(
            window.findChild<QComboBox*>(QStringLiteral("period_list"))->currentIndex())
            .value_or(varn::BarPeriod::Month);
    const QString streamed = dir.filePath(QStringLiteral("streamed.txt"));
    clock.restart();
    const varn::JobStatus status =
        varn::RunBars(varn::LineSource::File(input.toStdString()),
                      varn::Destination::File(streamed.toStdString()), choices)
            .status;
    std::printf("varn bars:  %.3f s, %lld bytes written (%s)\n",
                static_cast<double>(clock.nsecsElapsed()) / 1e9,
                static_cast<long long>(QFile(streamed).size()),
                status.ok() ? "the same job, streamed from the file" : status.Message().c_str());
    for (const QString& error : dialogs.errors) std::printf("error: %s\n", qPrintable(error));
    return dialogs.errors.isEmpty() ? 0 : 1;
}
