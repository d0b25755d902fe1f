#pragma once
// The boxes the window reports with: a created file ("File out.txt
// created!" with "4 bars from 79 lines" under it) or a failure ("in.txt:
// cannot open for reading: No such file or directory"), with an empty title
// and one OK button. Built and not shown, so the caller decides: the platform
// dialogs run them, the screenshot tool takes their picture.

#include <QString>
#include <memory>

class QMessageBox;
class QWidget;

namespace varn {

// A box for text, with details as its informative text when not empty; a
// failure carries the critical icon.
std::unique_ptr<QMessageBox> NewMessageBox(QWidget* parent, bool failure, const QString& text,
                                           const QString& details = QString());

}  // namespace varn
