#include "ui/ProgressWindow.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

namespace varn {

ProgressWindow::ProgressWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("progress_window"));
    setFixedSize(373, 217);
    setAttribute(Qt::WA_QuitOnClose, false);

    progress_bar_ = new QProgressBar(this);
    progress_bar_->setObjectName(QStringLiteral("progress_bar"));
    progress_bar_->setFixedHeight(49);
    progress_bar_->setRange(0, 100);
    progress_bar_->setValue(0);
    progress_bar_->setTextVisible(true);
    progress_bar_->setAlignment(Qt::AlignCenter);

    message_label_ = new QLabel(this);
    message_label_->setObjectName(QStringLiteral("message_label"));
    message_label_->setAlignment(Qt::AlignCenter);
    message_label_->setWordWrap(true);
    message_label_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    message_label_->setFixedHeight(67);

    break_button_ = new QPushButton(style()->standardIcon(QStyle::SP_BrowserStop),
                                    QStringLiteral("&Break"), this);
    break_button_->setObjectName(QStringLiteral("break_button"));
    break_button_->setFixedSize(124, 52);
    connect(break_button_, &QPushButton::clicked, this, &ProgressWindow::PressBreak);
    setFocusProxy(break_button_);

    // The bar and the message across the top, the button centred at the foot.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(7, 5, 6, 6);
    layout->setSpacing(3);
    layout->addWidget(progress_bar_);
    layout->addWidget(message_label_);
    layout->addStretch(1);
    layout->addWidget(break_button_, 0, Qt::AlignHCenter);
}

int ProgressWindow::Position() const { return progress_bar_->value(); }

void ProgressWindow::Start(const QString& job, const QString& message) {
    break_pressed_ = false;
    setWindowTitle(job);
    message_label_->setText(message);
    break_button_->setEnabled(true);
    progress_bar_->setValue(0);
    if (isVisible()) {
        raise();
    } else {
        show();
    }
}

void ProgressWindow::SetPosition(int percent) {
    progress_bar_->setValue(std::clamp(percent, 0, 100));
}

void ProgressWindow::PressBreak() {
    if (break_pressed_) return;
    progress_bar_->setValue(0);
    break_pressed_ = true;
    // The job ends at its next line and closes the window.
    break_button_->setEnabled(false);
    emit BreakClicked();
}

void ProgressWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Centred on the screen, above the others, Break ready for a key.
    if (const QScreen* shown_on = screen()) {
        move(shown_on->availableGeometry().center() - rect().center());
    }
    raise();
    activateWindow();
    break_button_->setFocus();
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
    // The window has no close box; the job closes it, so a close asked for
    // from outside (a key of the window manager) counts as Break.
    if (event->spontaneous()) {
        event->ignore();
        PressBreak();
        return;
    }
    QWidget::closeEvent(event);
}

}  // namespace varn
