// varn-screenshots: the README's pictures of the window, drawn by the window
// itself with its questions answered, under any display (scripts/
// screenshots.sh runs it under a virtual one).
//
//   varn-screenshots PAGE PICTURE [INPUT]
//
// PAGE is 0 to 2 for the pages, 3 for the progress window, 4 for the Bar page
// after Create Bar with its chart, 5 for the message Create Bar ends with;
// INPUT, when given, is loaded on the Bar page first. Exits 0 when PICTURE
// was written.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <clocale>
#include <cstdio>
#include <memory>

#include "calendar/regional.h"
#include "ui/BackgroundJob.h"
#include "ui/MainWindow.h"
#include "ui/MessageBoxes.h"
#include "ui/ProgressWindow.h"
#include "ui/StartUp.h"
#include "ui/tools/AnsweredDialogs.h"

namespace {

// Waits until no job runs (the open buttons take clicks again) and the
// symbols of the lines are counted.
void WaitUntilIdle(varn::MainWindow& window) {
    auto* open = window.findChild<QPushButton*>(QStringLiteral("open_prices_button"));
    auto* symbols = window.findChild<varn::BackgroundJob*>(QStringLiteral("symbol_job"));
    QElapsedTimer waited;
    waited.start();
    while ((!open->isEnabled() || symbols->Running()) && waited.elapsed() < 120000) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    QApplication::processEvents();
}

// Presses the button named name and waits until the job it started has ended.
void ClickAndWait(varn::MainWindow& window, const char* name) {
    window.findChild<QPushButton*>(QString::fromLatin1(name))->click();
    WaitUntilIdle(window);
}

QPixmap TakePicture(varn::MainWindow& window, varn::AnsweredDialogs& answered, int page,
                    const QString& input) {
    window.show();
    QApplication::processEvents();
    if (page == 5) {
        // The bars go to a scratch folder, named there as the save dialog
        // proposes, so the message names the file and not the folder.
        QTemporaryDir scratch;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(scratch.path());
        answered.save_answers.emplace_back(QFileInfo(input).completeBaseName() +
                                           QStringLiteral("-month.txt"));
        ClickAndWait(window, "create_bars_button");
        const bool failure = answered.messages.isEmpty();
        const QString text = failure ? answered.errors.value(0) : answered.messages.front();
        const QString details = failure ? QString() : answered.message_details.front();
        const std::unique_ptr<QMessageBox> box =
            varn::NewMessageBox(&window, failure, text, details);
        box->show();
        QApplication::processEvents();
        QDir::setCurrent(previous);
        return box->grab();
    }
    if (page == 4) {
        // The bars go to a scratch file; the picture shows the chart.
        QTemporaryDir scratch;
        answered.save_answers.emplace_back(scratch.filePath(QStringLiteral("bars.txt")));
        window.resize(window.width(), 560);
        ClickAndWait(window, "create_bars_button");
        return window.grab();
    }
    if (page == 3) {
        varn::ProgressWindow& progress = window.Progress();
        progress.Start(QStringLiteral("Create Bar"), QStringLiteral("Calculate ..."));
        progress.SetPosition(42);
        QApplication::processEvents();
        return progress.grab();
    }
    window.findChild<QTabWidget*>(QStringLiteral("pages"))->setCurrentIndex(page);
    QApplication::processEvents();
    return window.grab();
}

}  // namespace

int main(int argc, char* argv[]) {
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");
    QApplication app(argc, argv);
    varn::SetUpApplicationIdentity();
    std::setlocale(LC_NUMERIC, "C");

    const QStringList arguments = QApplication::arguments();
    bool number = false;
    const int page = arguments.value(1).toInt(&number);
    if (arguments.size() < 3 || arguments.size() > 4 || !number || page < 0 || page > 5) {
        std::fprintf(stderr, "usage: varn-screenshots PAGE(0-5) PICTURE [INPUT]\n");
        return 2;
    }
    const QString& picture = arguments[2];
    const QString input = arguments.value(3);

    varn::AnsweredDialogs answered;
    varn::MainWindow window(varn::RegionalNamesFromLocale(), &answered);
    if (!input.isEmpty()) window.LoadBarFile(input);
    WaitUntilIdle(window);
    if (!answered.errors.isEmpty()) {
        std::fprintf(stderr, "varn-screenshots: %s\n", qPrintable(answered.errors.front()));
        return 1;
    }
    if (!TakePicture(window, answered, page, input).save(picture, "PNG")) {
        std::fprintf(stderr, "varn-screenshots: cannot write %s\n", qPrintable(picture));
        return 1;
    }
    return 0;
}
