// varn-gui: the desktop window. Takes no arguments; a hidden option
// "--screenshot-page N FILE [INPUT]" shows page N (0 to 2, 3 for the progress
// window), with INPUT loaded into the bar page, saves a picture of it to FILE
// and exits.

#include <QApplication>
#include <QPixmap>
#include <QScreen>
#include <QStringList>
#include <QTabWidget>
#include <clocale>

#include "calendar/regional.h"
#include "io/signal_cleanup.h"
#include "ui/T_progr.h"
#include "ui/UVarnFormat.h"

namespace {

// Shows page (0 to 2, 3 for the progress window) and saves a picture of it.
int TakeScreenshot(varn::TForm1& form, int page, const QString& file) {
    form.show();
    QPixmap picture;
    if (page == 3) {
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

}  // namespace

int main(int argc, char* argv[]) {
    varn::InstallCleanupOnSignals();  // a job's temporary file goes with Ctrl-C or a kill
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Varn Format Convertor"));
    QApplication::setApplicationDisplayName(QStringLiteral("Varn Format Convertor"));
    std::setlocale(LC_NUMERIC, "C");  // QApplication may have set it from the environment

    const varn::RegionalNames names = varn::RegionalNamesFromLocale();
    const QStringList arguments = QApplication::arguments();
    const bool screenshot =
        arguments.size() >= 4 && arguments[1] == QStringLiteral("--screenshot-page");
    varn::AnsweredDialogs answered;
    varn::TForm1 form(names, screenshot ? &answered : nullptr);
    varn::Form1 = &form;
    varn::CreateProgressWindow();

    int result = 0;
    if (screenshot) {
        if (arguments.size() >= 5) {
            answered.open_answers.push_back(arguments[4]);
            form.BitBtn4Click();
        }
        result = TakeScreenshot(form, arguments[2].toInt(), arguments[3]);
    } else {
        if (const QScreen* screen = QApplication::primaryScreen()) {
            form.move(screen->availableGeometry().center() - form.rect().center());
        }
        form.show();
        result = QApplication::exec();
    }
    varn::DestroyProgressWindow();
    varn::Form1 = nullptr;
    return result;
}
