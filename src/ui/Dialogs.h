#pragma once
// The questions the window asks and the messages it shows: which file to
// open, where to save (a file, or a folder for one file a symbol), and the
// boxes that report a created file or a failure. The window holds them
// behind this interface, so a test answers them without a screen
// (PlatformDialogs asks the user, the tests' double answers from a list):
//
//   OnConvertClicked -> GetOpenFileName "in.txt", GetSaveFileName "out.txt"
//                    -> ShowMessage "File out.txt created!", "2 lines written"

#include <QString>

class QWidget;

namespace varn {

class Dialogs {
  public:
    virtual ~Dialogs() = default;

    // On entry path proposes where to start: a folder, or a file whose folder
    // is shown with its name selected (empty: anywhere). True with path set to
    // the chosen file; false when the user cancels. The file need not exist.
    virtual bool GetOpenFileName(QWidget* parent, QString& path) = 0;
    // True with path set as typed (no extension is added); an existing file is
    // confirmed before it is chosen. False when the user cancels.
    virtual bool GetSaveFileName(QWidget* parent, QString& path) = 0;
    // On entry folder proposes where to start (empty: anywhere). True with
    // folder set to the folder chosen; false when the user cancels.
    virtual bool GetFolder(QWidget* parent, QString& folder) = 0;
    // A message box with an empty title and one OK button; details, when not
    // empty, is its informative text under the message.
    virtual void ShowMessage(QWidget* parent, const QString& text,
                             const QString& details = QString()) = 0;
    // The same for a failure.
    virtual void ShowError(QWidget* parent, const QString& text) = 0;
    // A yes-or-no question; true for yes.
    virtual bool Confirm(QWidget* parent, const QString& question) = 0;
    // The About box: the program's name, version and licence, as rich text.
    virtual void ShowAbout(QWidget* parent, const QString& text) = 0;
    // A page of help, as rich text, beside the window.
    virtual void ShowHelp(QWidget* parent, const QString& text) = 0;
};

}  // namespace varn
