#include "ui/FileDialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

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

bool TakeAnswer(std::deque<std::optional<QString>>& answers, QString& path) {
    if (answers.empty()) return false;
    const std::optional<QString> answer = answers.front();
    answers.pop_front();
    if (!answer) return false;
    path = *answer;
    return true;
}

}  // namespace

std::unique_ptr<QMessageBox> NewMessageBox(QWidget* parent, bool failure, const QString& text,
                                           const QString& details) {
    auto box = std::make_unique<QMessageBox>(failure ? QMessageBox::Critical : QMessageBox::NoIcon,
                                             QString(), text, QMessageBox::Ok, parent);
    if (!details.isEmpty()) box->setInformativeText(details);
    return box;
}

bool QtFileDialogs::GetOpenFileName(QWidget* parent, QString& path) {
    return RunFileDialog(parent, QFileDialog::AcceptOpen, path);
}

bool QtFileDialogs::GetSaveFileName(QWidget* parent, QString& path) {
    return RunFileDialog(parent, QFileDialog::AcceptSave, path);
}

void QtFileDialogs::ShowMessage(QWidget* parent, const QString& text, const QString& details) {
    NewMessageBox(parent, false, text, details)->exec();
}

void QtFileDialogs::ShowError(QWidget* parent, const QString& text) {
    NewMessageBox(parent, true, text)->exec();
}

bool AnsweredDialogs::GetOpenFileName(QWidget*, QString& path) {
    ++open_asked;
    open_proposals.push_back(path);
    return TakeAnswer(open_answers, path);
}

bool AnsweredDialogs::GetSaveFileName(QWidget*, QString& path) {
    ++save_asked;
    save_proposals.push_back(path);
    return TakeAnswer(save_answers, path);
}

void AnsweredDialogs::ShowMessage(QWidget*, const QString& text, const QString& details) {
    messages.push_back(text);
    message_details.push_back(details);
}

void AnsweredDialogs::ShowError(QWidget*, const QString& text) { errors.push_back(text); }

}  // namespace varn
