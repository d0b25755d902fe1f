#pragma once
// The platform's own dialogs behind the window's questions: the open and save
// file dialogs, with the filter for the price files,
// and the message boxes of MessageBoxes.h, run modally.

#include "ui/Dialogs.h"

namespace varn {

// The filter of every open and save dialog.
inline constexpr const char* TextFilesFilter = "Text Files (*.txt *.csv *.prn *.asc)";

class PlatformDialogs final : public Dialogs {
  public:
    bool GetOpenFileName(QWidget* parent, QString& path) override;
    bool GetSaveFileName(QWidget* parent, QString& path) override;
    void ShowMessage(QWidget* parent, const QString& text, const QString& details) override;
    void ShowError(QWidget* parent, const QString& text) override;
};

}  // namespace varn
