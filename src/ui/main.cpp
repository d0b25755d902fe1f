// varn-gui: the desktop window. "varn-gui FILE" opens FILE on the Bar page;
// --help and --version (-V) print and exit, with or without a display. A hidden option
// "--screenshot-page N FILE [INPUT]" shows page N (0 to 2, 3 for the progress
// window, 4 for the bar page after Create Bar, 5 for the message Create Bar
// ends with), with INPUT loaded into the bar page, saves a picture of it to
// FILE and exits.

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <clocale>
#include <cstdio>
#include <string_view>

#include "calendar/regional.h"
#include "io/signal_cleanup.h"
#include "ui/StartUp.h"
#include "ui/T_progr.h"
#include "ui/UVarnFormat.h"
#include "ui/WindowSettings.h"

namespace {

// Shows page (0 to 2, 3 for the progress window, 4 for the bar page after
// Create Bar with its chart, 5 for the message it ends with) and saves a
// picture of it.
int TakeScreenshot(varn::TForm1& form, varn::AnsweredDialogs& answered, int page,
                   const QString& file, const QString& input) {
    form.show();
    QPixmap picture;
    if (page == 5) {
        // The bars go to a scratch folder, named there as the save dialog
        // proposes, so the message names the file and not the folder.
        QTemporaryDir scratch;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(scratch.path());
        answered.save_answers.emplace_back(QFileInfo(input).completeBaseName() +
                                           QStringLiteral("-month.txt"));
        form.BitBtn5Click();
        const bool failure = answered.messages.isEmpty();
        const QString text = failure ? answered.errors.value(0) : answered.messages.front();
        const QString details = failure ? QString() : answered.message_details.front();
        const std::unique_ptr<QMessageBox> box = varn::NewMessageBox(&form, failure, text, details);
        box->show();
        QApplication::processEvents();
        picture = box->grab();
        QDir::setCurrent(previous);
    } else if (page == 4) {
        // The bars go to a scratch file; the picture shows the chart.
        QTemporaryDir scratch;
        answered.save_answers.emplace_back(scratch.filePath(QStringLiteral("bars.txt")));
        form.resize(form.width(), 560);
        form.BitBtn5Click();
        QApplication::processEvents();
        picture = form.grab();
    } else if (page == 3) {
        varn::ShowProgress(QString(), QStringLiteral("Calculate ..."), true);
        varn::StepProgress(42);
        QApplication::processEvents();
        picture = varn::TT_Progr->grab();
    } else {
        form.findChild<QTabWidget*>(QStringLiteral("PageControl1"))->setCurrentIndex(page);
        QApplication::processEvents();
        picture = form.grab();
    }
    return picture.save(file, "PNG") ? 0 : 1;
}

// Whether the arguments ask only for text (help or the version).
bool AsksForTextOnly(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--") break;
        if (arg == "-h" || arg == "--help" || arg == "--help-all" || arg == "-V" ||
            arg == "--version") {
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    varn::InstallCleanupOnSignals();  // a job's temporary file goes with Ctrl-C or a kill
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");
    // Help and the version are printed without a display: no window is shown.
    if (AsksForTextOnly(argc, argv)) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    varn::SetUpApplicationIdentity();
    std::setlocale(LC_NUMERIC, "C");  // QApplication may have set it from the environment

    QCommandLineParser parser;
    const varn::StartUpRequest request =
        varn::ReadStartUpArguments(parser, QApplication::arguments());
    using Action = varn::StartUpRequest::Action;
    switch (request.action) {
        case Action::Help:
            parser.process(QApplication::arguments());  // prints, with Qt's options for --help-all
            return 0;
        case Action::Version:
            std::printf("varn-gui %s\n", qPrintable(QApplication::applicationVersion()));
            return 0;
        case Action::Error:
            std::fprintf(stderr, "varn-gui: %s\nRun 'varn-gui --help' for usage.\n",
                         qPrintable(request.error));
            return 1;
        case Action::Window:
        case Action::Screenshot:
            break;
    }

    const varn::RegionalNames names = varn::RegionalNamesFromLocale();
    const bool screenshot = request.action == Action::Screenshot;
    varn::AnsweredDialogs answered;
    varn::TForm1 form(names, screenshot ? &answered : nullptr);
    varn::Form1 = &form;
    varn::CreateProgressWindow();

    int result = 0;
    if (screenshot) {
        if (!request.file.isEmpty()) form.LoadBarFile(request.file);
        result =
            TakeScreenshot(form, answered, request.screenshot_page, request.picture, request.file);
    } else {
        if (const QScreen* screen = QApplication::primaryScreen()) {
            form.move(screen->availableGeometry().center() - form.rect().center());
        }
        varn::RestoreWindowSettings(form);
        form.show();
        // A failure to read the file is reported over the window, which stays open.
        if (!request.file.isEmpty()) form.LoadBarFile(request.file);
        result = QApplication::exec();
        varn::SaveWindowSettings(form);
    }
    varn::DestroyProgressWindow();
    varn::Form1 = nullptr;
    return result;
}
