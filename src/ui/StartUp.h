#pragma once
// What varn-gui is asked to do by its command line, and the program's name,
// version and icon as the desktop sees them.
//
//   varn-gui                          the window
//   varn-gui prices.txt               the window, prices.txt loaded on the Bar page
//   varn-gui --help | --help-all | --version   a summary or the version, printed

#include <QIcon>
#include <QString>
#include <QStringList>

class QCommandLineParser;

namespace varn {

// The desktop entry's name (without ".desktop"), which is also the icon's.
inline constexpr const char* DesktopId = "org.varnformat.convertor";

struct StartUpRequest {
    enum class Action { Window, Help, Version, Error };
    Action action = Action::Window;
    QString file;   // Window: to open on the Bar page
    QString error;  // Error: what was wrong, for the user
};

// Declares varn-gui's options on parser and reads arguments (the program's
// name first, as QCoreApplication::arguments() gives them).
StartUpRequest ReadStartUpArguments(QCommandLineParser& parser, const QStringList& arguments);

// The program's icon, drawn at 48 and 256 pixels.
QIcon VarnIcon();

// Sets the application's name, version, desktop entry and icon.
void SetUpApplicationIdentity();

}  // namespace varn
