#pragma once
// The platform's own dialogs behind the window's questions: the open and save
// file dialogs, with a filter for the price files and one for any file (and,
// to open, one for compressed files: every job reads gzip and zip files as
// the text they hold, and writes plain text), the folder dialog, and the
// message boxes of MessageBoxes.h, run modally.

#include <QDialog>
#include <QPointer>
#include <QStringList>

#include "ui/Dialogs.h"

namespace varn {

// The filters of the open and save dialogs, the first one chosen at first:
// the price files' usual extensions, compressed files when opening, then
// any file.
inline constexpr const char* TextFilesFilter = "Text Files (*.txt *.csv *.prn *.asc)";
inline constexpr const char* CompressedFilesFilter = "Compressed files (*.gz *.zip)";
inline constexpr const char* AllFilesFilter = "All files (*)";
QStringList FileDialogFilters(bool open);

class PlatformDialogs final : public Dialogs {
  public:
    bool GetOpenFileName(QWidget* parent, QString& path) override;
    bool GetSaveFileName(QWidget* parent, QString& path) override;
    bool GetFolder(QWidget* parent, QString& folder) override;
    void ShowMessage(QWidget* parent, const QString& text, const QString& details) override;
    void ShowError(QWidget* parent, const QString& text) override;
    bool Confirm(QWidget* parent, const QString& question) override;
    void ShowAbout(QWidget* parent, const QString& text) override;
    void ShowHelp(QWidget* parent, const QString& text) override;

  private:
    QPointer<QDialog> help_window_;  // the help page shown, while it is
};

}  // namespace varn
