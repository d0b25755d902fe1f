#include "ui/T_progr.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

namespace varn {

TTT_Progr* TT_Progr = nullptr;

TTT_Progr::TTT_Progr(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("TT_Progr"));
    setFixedSize(373, 217);
    setAttribute(Qt::WA_QuitOnClose, false);

    Gauge1 = new QProgressBar(this);
    Gauge1->setObjectName(QStringLiteral("Gauge1"));
    Gauge1->setFixedHeight(49);
    Gauge1->setRange(0, 100);
    Gauge1->setValue(0);
    Gauge1->setTextVisible(true);
    Gauge1->setAlignment(Qt::AlignCenter);
    Gauge1->setStyleSheet(QStringLiteral(
        "QProgressBar { background-color: rgb(255, 255, 164); border: 1px solid gray; "
        "text-align: center; color: black; }"
        "QProgressBar::chunk { background-color: rgb(0, 255, 0); }"));

    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFixedHeight(67);
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    Label1 = new QLabel(Panel2);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setWordWrap(true);
    Label1->setAutoFillBackground(true);
    Label1->setStyleSheet(
        QStringLiteral("QLabel { color: red; background-color: rgb(255, 255, 198); }"));
    auto* panel_layout = new QVBoxLayout(Panel2);
    panel_layout->setContentsMargins(2, 2, 2, 2);
    panel_layout->addWidget(Label1);

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_BrowserStop),
                              QStringLiteral("Break"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setFixedSize(124, 52);
    connect(BitBtn1, &QPushButton::clicked, this, &TTT_Progr::Button1Click);
    setFocusProxy(BitBtn1);

    // The bar and the message across the top, the button centred at the foot.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(7, 5, 6, 6);
    layout->setSpacing(3);
    layout->addWidget(Gauge1);
    layout->addWidget(Panel2);
    layout->addStretch(1);
    layout->addWidget(BitBtn1, 0, Qt::AlignHCenter);

    FormCreate();
}

int TTT_Progr::Position() const { return Gauge1->value(); }

void TTT_Progr::FormCreate() {}

void TTT_Progr::FormShow() {
    if (const QScreen* shown_on = screen()) {
        move(shown_on->availableGeometry().center() - rect().center());
    }
    raise();
    activateWindow();
    BitBtn1->setFocus();
}

void TTT_Progr::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FormShow();
}

void TTT_Progr::closeEvent(QCloseEvent* event) {
    // The window has no close box; the job closes it, so a close asked for
    // from outside (a key of the window manager) is refused.
    if (event->spontaneous()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

bool TTT_Progr::event(QEvent* event) {
    if (event->type() == ProgressPositionMessage::EventType) {
        const int position = static_cast<ProgressPositionMessage*>(event)->position();
        Gauge1->setValue(std::clamp(position, 0, 100));
        return true;
    }
    return QWidget::event(event);
}

void TTT_Progr::Button1Click() {
    // Tell every top-level window; when a window comes or goes on the way,
    // start again from the first.
    QPointer<TTT_Progr> self(this);
    bool restart = true;
    for (int rounds = 0; restart && rounds < 8; ++rounds) {
        restart = false;
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (QWidget* window : windows) {
            QPointer<QWidget> target(window);
            if (!target) continue;
            QEvent notice(BreakBroadcastMessage);
            QCoreApplication::sendEvent(target, &notice);
            if (QApplication::topLevelWidgets().size() != windows.size()) {
                restart = true;
                break;
            }
        }
        if (!self) return;
    }
    Gauge1->setValue(0);
    break_pressed_ = true;
    emit BreakClicked();
}

void CreateProgressWindow() {
    if (TT_Progr == nullptr) TT_Progr = new TTT_Progr();
}

void DestroyProgressWindow() {
    delete TT_Progr;
    TT_Progr = nullptr;
}

void ShowProgress(const QString& caption, const QString& message, bool allow_break) {
    CreateProgressWindow();
    TT_Progr->break_pressed_ = false;
    TT_Progr->setWindowTitle(caption);
    TT_Progr->Label1->setText(message);
    TT_Progr->BitBtn1->setVisible(allow_break);
    ProgressPositionMessage zero(0);
    QCoreApplication::sendEvent(TT_Progr, &zero);
    if (TT_Progr->isVisible()) {
        TT_Progr->FormShow();
    } else {
        TT_Progr->show();  // FormShow runs from the show event
    }
}

void StepProgress(int position) {
    CreateProgressWindow();
    if (!TT_Progr->isVisible()) ShowProgress(QString(), QString(), true);
    ProgressPositionMessage message(position);
    QCoreApplication::sendEvent(TT_Progr, &message);
    TT_Progr->repaint();
    QCoreApplication::processEvents();
}

bool BreakRequested() { return TT_Progr != nullptr && TT_Progr->BreakPressed(); }

void CloseProgress() {
    if (TT_Progr != nullptr) {
        TT_Progr->hide();
        // Later, as the call may come from inside one of its own events.
        TT_Progr->deleteLater();
    }
    TT_Progr = new TTT_Progr();
}

}  // namespace varn
