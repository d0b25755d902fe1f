#include "ui/PlatformDialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "ui/MessageBoxes.h"

namespace varn {

namespace {

bool RunFileDialog(QWidget* parent, QFileDialog::AcceptMode mode, QString& path) {
    QFileDialog dialog(parent);
    dialog.setNameFilters(FileDialogFilters(mode == QFileDialog::AcceptOpen));
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

QStringList FileDialogFilters(bool open) {
    QStringList filters{QString::fromLatin1(TextFilesFilter)};
    if (open) filters.push_back(QString::fromLatin1(CompressedFilesFilter));
    filters.push_back(QString::fromLatin1(AllFilesFilter));
    return filters;
}

bool PlatformDialogs::GetOpenFileName(QWidget* parent, QString& path) {
    return RunFileDialog(parent, QFileDialog::AcceptOpen, path);
}

bool PlatformDialogs::GetSaveFileName(QWidget* parent, QString& path) {
    return RunFileDialog(parent, QFileDialog::AcceptSave, path);
}

bool PlatformDialogs::GetFolder(QWidget* parent, QString& folder) {
    const QString chosen = QFileDialog::getExistingDirectory(parent, QString(), folder);
    if (chosen.isEmpty()) return false;
    folder = chosen;
    return true;
}

void PlatformDialogs::ShowMessage(QWidget* parent, const QString& text, const QString& details) {
    NewMessageBox(parent, false, text, details)->exec();
}

void PlatformDialogs::ShowError(QWidget* parent, const QString& text) {
    NewMessageBox(parent, true, text)->exec();
}

bool PlatformDialogs::Confirm(QWidget* parent, const QString& question) {
    return QMessageBox::question(parent, QString(), question) == QMessageBox::Yes;
}

void PlatformDialogs::ShowAbout(QWidget* parent, const QString& text) {
    QMessageBox::about(parent, QStringLiteral("About Varn Format Convertor"), text);
}

void PlatformDialogs::ShowHelp(QWidget* parent, const QString& text) {
    // One help window at a time, beside the main window and not modal.
    QPointer<QDialog>& shown = help_window_;
    if (shown == nullptr) {
        shown = new QDialog(parent);
        shown->setAttribute(Qt::WA_DeleteOnClose);
        shown->setWindowTitle(QStringLiteral("Varn Format Convertor Help"));
        auto* page = new QTextBrowser(shown);
        page->setObjectName(QStringLiteral("help_page"));
        page->setOpenExternalLinks(false);
        auto* close = new QDialogButtonBox(QDialogButtonBox::Close, shown);
        QObject::connect(close, &QDialogButtonBox::rejected, shown, &QDialog::close);
        auto* layout = new QVBoxLayout(shown);
        layout->addWidget(page);
        layout->addWidget(close);
        shown->resize(620, 520);
    }
    shown->findChild<QTextBrowser*>(QStringLiteral("help_page"))->setHtml(text);
    shown->show();
    shown->raise();
    shown->activateWindow();
}

}  // namespace varn
