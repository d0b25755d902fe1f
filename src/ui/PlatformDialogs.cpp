#include "ui/PlatformDialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include "ui/MessageBoxes.h"

namespace varn {

namespace {

bool RunFileDialog(QWidget* parent, QFileDialog::AcceptMode mode, QString& path) {
    QFileDialog dialog(parent, QString(), QString(), QString::fromLatin1(TextFilesFilter));
    dialog.setAcceptMode(mode);
    // Start in the folder proposed, with the file name proposed selected.
    if (const QFileInfo start(path); !path.isEmpty() && start.isDir()) {
        dialog.setDirectory(start.absoluteFilePath());
    } else if (!path.isEmpty()) {
        dialog.setDirectory(start.absolutePath());
        dialog.selectFile(start.fileName());
    }
    // The open dialog takes a typed name even when no such file exists; the
    // job then reports that it cannot be read.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QString());
    dialog.setSizeGripEnabled(true);
    if (dialog.exec() != QDialog::Accepted) return false;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.front().isEmpty()) return false;
    path = files.front();
    return true;
}

}  // namespace

bool PlatformDialogs::GetOpenFileName(QWidget* parent, QString& path) {
    return RunFileDialog(parent, QFileDialog::AcceptOpen, path);
}

bool PlatformDialogs::GetSaveFileName(QWidget* parent, QString& path) {
    return RunFileDialog(parent, QFileDialog::AcceptSave, path);
}

void PlatformDialogs::ShowMessage(QWidget* parent, const QString& text, const QString& details) {
    NewMessageBox(parent, false, text, details)->exec();
}

void PlatformDialogs::ShowError(QWidget* parent, const QString& text) {
    NewMessageBox(parent, true, text)->exec();
}

}  // namespace varn
