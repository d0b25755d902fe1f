// varn-gui: the desktop window. "varn-gui FILE" opens FILE on the Bar page;
// --help and --version (-V) print and exit, with or without a display.

#include <QApplication>
#include <QCommandLineParser>
#include <QScreen>
#include <clocale>
#include <cstdio>
#include <string_view>

#include "calendar/regional.h"
#include "io/signal_cleanup.h"
#include "ui/MainWindow.h"
#include "ui/StartUp.h"
#include "ui/WindowSettings.h"

namespace {

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
            break;
    }

    varn::MainWindow window(varn::RegionalNamesFromLocale());
    if (const QScreen* screen = QApplication::primaryScreen()) {
        window.move(screen->availableGeometry().center() - window.rect().center());
    }
    varn::RestoreWindowSettings(window);
    window.show();
    // A failure to read the file is reported over the window, which stays open.
    if (!request.file.isEmpty()) window.LoadBarFile(request.file);
    const int result = QApplication::exec();
    varn::SaveWindowSettings(window);
    return result;
}
