#include "ui/StartUp.h"

#include <QApplication>
#include <QCommandLineParser>

#include "ui/HelpText.h"

// The resource lives in a static library: it is registered on first use.
static void InitIconResource() { Q_INIT_RESOURCE(varn_icons); }

namespace varn {

StartUpRequest ReadStartUpArguments(QCommandLineParser& parser, const QStringList& arguments) {
    parser.setApplicationDescription(
        QStringLiteral("Varn Format Convertor: converts price files, builds open-high-low-close "
                       "bars, keeps last lines."));
    const QCommandLineOption help = parser.addHelpOption();
    // -V, not Qt's -v: in varn, -v means verbose.
    const QCommandLineOption version({QStringLiteral("V"), QStringLiteral("version")},
                                     QStringLiteral("Displays version information."));
    parser.addOption(version);
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("A price file to open on the Bar page."),
                                 QStringLiteral("[FILE]"));

    StartUpRequest request;
    if (!parser.parse(arguments)) {
        request.action = StartUpRequest::Action::Error;
        request.error = parser.errorText();
        return request;
    }
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        request.action = StartUpRequest::Action::Help;
        return request;
    }
    if (parser.isSet(version)) {
        request.action = StartUpRequest::Action::Version;
        return request;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1) {
        request.action = StartUpRequest::Action::Error;
        request.error = QStringLiteral("one file at most can be opened");
        return request;
    }
    if (!positional.isEmpty()) request.file = positional[0];
    return request;
}

QIcon VarnIcon() {
    InitIconResource();
    QIcon icon;
    for (const int size : {48, 256}) {
        icon.addFile(QStringLiteral(":/icons/%1-%2.png").arg(QLatin1String(DesktopId)).arg(size),
                     QSize(size, size));
    }
    return icon;
}

void SetUpApplicationIdentity() {
    QApplication::setApplicationName(QStringLiteral("Varn Format Convertor"));
    // Where the window's remembered settings are kept.
    QApplication::setOrganizationName(QStringLiteral("varnformat.org"));
    QApplication::setApplicationDisplayName(QStringLiteral("Varn Format Convertor"));
    QApplication::setApplicationVersion(ProgramVersion());
    QGuiApplication::setDesktopFileName(QLatin1String(DesktopId));
    QApplication::setWindowIcon(VarnIcon());
}

}  // namespace varn
