#include "ui/tools/AnsweredDialogs.h"

namespace varn {

namespace {

bool TakeAnswer(std::deque<std::optional<QString>>& answers, QString& path) {
    if (answers.empty()) return false;
    const std::optional<QString> answer = answers.front();
    answers.pop_front();
    if (!answer) return false;
    path = *answer;
    return true;
}

}  // namespace

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

bool AnsweredDialogs::GetFolder(QWidget*, QString& folder) {
    ++folder_asked;
    folder_proposals.push_back(folder);
    return TakeAnswer(folder_answers, folder);
}

void AnsweredDialogs::ShowMessage(QWidget*, const QString& text, const QString& details) {
    messages.push_back(text);
    message_details.push_back(details);
}

void AnsweredDialogs::ShowError(QWidget*, const QString& text) { errors.push_back(text); }

bool AnsweredDialogs::Confirm(QWidget*, const QString& question) {
    questions.push_back(question);
    if (confirm_answers.empty()) return false;
    const bool yes = confirm_answers.front();
    confirm_answers.pop_front();
    return yes;
}

void AnsweredDialogs::ShowAbout(QWidget*, const QString& text) { about.push_back(text); }

void AnsweredDialogs::ShowHelp(QWidget*, const QString& text) { help.push_back(text); }

}  // namespace varn
