#pragma once
// The dialogs the window asks questions with: which file to open, where to
// save, and the message boxes that report a created file or a failure. The
// window holds them behind this interface, so a test answers them without a
// screen:
//
//   AnsweredDialogs dialogs;
//   dialogs.open_answers.push_back("in.txt");   // the open dialog picks in.txt
//   dialogs.save_answers.push_back(std::nullopt);  // the save dialog is cancelled

#include <QString>
#include <QStringList>
#include <deque>
#include <memory>
#include <optional>

class QMessageBox;
class QWidget;

namespace varn {

// The one filter of every open and save dialog.
inline constexpr const char* TextFilesFilter = "Text Files (*.txt *.csv *.prn *.asc)";

class FileDialogs {
  public:
    virtual ~FileDialogs() = default;

    // On entry path proposes where to start: a folder, or a file whose folder
    // is shown with its name selected (empty: anywhere). True with path set to
    // the chosen file; false when the user cancels. The file need not exist.
    virtual bool GetOpenFileName(QWidget* parent, QString& path) = 0;
    // True with path set as typed (no extension is added); an existing file is
    // confirmed before it is chosen. False when the user cancels.
    virtual bool GetSaveFileName(QWidget* parent, QString& path) = 0;
    // A message box with an empty title and one OK button; details, when not
    // empty, is its informative text under the message.
    virtual void ShowMessage(QWidget* parent, const QString& text,
                             const QString& details = QString()) = 0;
    // The same for a failure.
    virtual void ShowError(QWidget* parent, const QString& text) = 0;
};

// The box the platform's ShowMessage (failure false) and ShowError (failure
// true) run, built and not shown, so a picture of it can be taken.
std::unique_ptr<QMessageBox> NewMessageBox(QWidget* parent, bool failure, const QString& text,
                                           const QString& details = QString());

// The platform's dialogs.
class QtFileDialogs final : public FileDialogs {
  public:
    bool GetOpenFileName(QWidget* parent, QString& path) override;
    bool GetSaveFileName(QWidget* parent, QString& path) override;
    void ShowMessage(QWidget* parent, const QString& text, const QString& details) override;
    void ShowError(QWidget* parent, const QString& text) override;
};

// Dialogs answered in advance, one answer per question in order (nullopt
// cancels; no answer left cancels too), with a record of what was asked and
// shown.
class AnsweredDialogs final : public FileDialogs {
  public:
    bool GetOpenFileName(QWidget* parent, QString& path) override;
    bool GetSaveFileName(QWidget* parent, QString& path) override;
    void ShowMessage(QWidget* parent, const QString& text, const QString& details) override;
    void ShowError(QWidget* parent, const QString& text) override;

    std::deque<std::optional<QString>> open_answers;
    std::deque<std::optional<QString>> save_answers;
    int open_asked = 0;
    int save_asked = 0;
    QStringList open_proposals;  // what each question proposed
    QStringList save_proposals;
    QStringList messages;
    QStringList message_details;  // the informative text of each message
    QStringList errors;
};

}  // namespace varn
