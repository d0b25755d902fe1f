#include "ui/MessageBoxes.h"

#include <QMessageBox>

namespace varn {

std::unique_ptr<QMessageBox> NewMessageBox(QWidget* parent, bool failure, const QString& text,
                                           const QString& details) {
    auto box = std::make_unique<QMessageBox>(failure ? QMessageBox::Critical : QMessageBox::NoIcon,
                                             QString(), text, QMessageBox::Ok, parent);
    if (!details.isEmpty()) box->setInformativeText(details);
    return box;
}

}  // namespace varn
