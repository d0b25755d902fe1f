#pragma once
// The window's questions answered in advance, one answer per question in
// order, with a record of what was asked and shown, so the tests, the
// screenshot tool and the load benchmark drive the window without a user:
//
//   AnsweredDialogs dialogs;
//   dialogs.open_answers.push_back("in.txt");      // the open dialog picks in.txt
//   dialogs.save_answers.push_back(std::nullopt);  // the save dialog is cancelled

#include <QStringList>
#include <deque>
#include <optional>

#include "ui/Dialogs.h"

namespace varn {

// nullopt cancels; no answer left cancels too.
class AnsweredDialogs final : public Dialogs {
  public:
    bool GetOpenFileName(QWidget* parent, QString& path) override;
    bool GetSaveFileName(QWidget* parent, QString& path) override;
    bool GetFolder(QWidget* parent, QString& folder) override;
    void ShowMessage(QWidget* parent, const QString& text, const QString& details) override;
    void ShowError(QWidget* parent, const QString& text) override;
    bool Confirm(QWidget* parent, const QString& question) override;
    void ShowAbout(QWidget* parent, const QString& text) override;
    void ShowHelp(QWidget* parent, const QString& text) override;

    std::deque<std::optional<QString>> open_answers;
    std::deque<std::optional<QString>> save_answers;
    std::deque<std::optional<QString>> folder_answers;
    int open_asked = 0;
    int save_asked = 0;
    int folder_asked = 0;
    QStringList open_proposals;  // what each question proposed
    QStringList save_proposals;
    QStringList folder_proposals;
    QStringList messages;
    QStringList message_details;  // the informative text of each message
    QStringList errors;
    std::deque<bool> confirm_answers;  // no answer left is no
    QStringList questions;
    QStringList about;  // the About boxes and help pages shown
    QStringList help;
};

}  // namespace varn
