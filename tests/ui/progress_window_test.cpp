// The progress window: showing, stepping, "Break" and the fresh window that
// follows every close.

#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include "ui/T_progr.h"

using namespace varn;

namespace {

// Counts the break notices a top-level window receives.
class BreakListener : public QObject {
  public:
    int notices = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == BreakBroadcastMessage) ++notices;
        return false;
    }
};

QPushButton* BreakButton() { return TT_Progr->findChild<QPushButton*>(QStringLiteral("BitBtn1")); }

}  // namespace

class ProgressWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void init() { CreateProgressWindow(); }
    void cleanup() { DestroyProgressWindow(); }

    void StartsHiddenWithoutBreak() {
        QVERIFY(TT_Progr != nullptr);
        QVERIFY(!TT_Progr->isVisible());
        QVERIFY(!BreakRequested());
        QCOMPARE(TT_Progr->Position(), 0);
    }

    void IsFixedStayOnTopWindowWithoutButtons() {
        const Qt::WindowFlags flags = TT_Progr->windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(flags.testFlag(Qt::CustomizeWindowHint));
        QVERIFY(!flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(TT_Progr->minimumSize(), QSize(373, 217));
        QCOMPARE(TT_Progr->maximumSize(), QSize(373, 217));
        auto* gauge = TT_Progr->findChild<QProgressBar*>(QStringLiteral("Gauge1"));
        QVERIFY(gauge != nullptr);
        QCOMPARE(gauge->minimum(), 0);
        QCOMPARE(gauge->maximum(), 100);
        QVERIFY(gauge->isTextVisible());
        QCOMPARE(BreakButton()->text(), QStringLiteral("Break"));
    }

    void ShowProgressSetsTitleMessageAndBar() {
        StepProgress(70);
        ShowProgress(QStringLiteral("Job"), QStringLiteral("Calculate ..."), true);
        QVERIFY(TT_Progr->isVisible());
        QCOMPARE(TT_Progr->windowTitle(), QStringLiteral("Job"));
        QCOMPARE(TT_Progr->findChild<QLabel*>(QStringLiteral("Label1"))->text(),
                 QStringLiteral("Calculate ..."));
        QCOMPARE(TT_Progr->Position(), 0);
        QVERIFY(BreakButton()->isVisible());
        ShowProgress(QString(), QString(), false);
        QVERIFY(!BreakButton()->isVisible());
    }

    void PositionMessageClampsToRange_data() {
        QTest::addColumn<int>("sent");
        QTest::addColumn<int>("shown");
        QTest::newRow("above the top") << 150 << 100;
        QTest::newRow("negative") << -5 << 0;
        QTest::newRow("inside") << 42 << 42;
        QTest::newRow("top") << 100 << 100;
        QTest::newRow("bottom") << 0 << 0;
    }
    void PositionMessageClampsToRange() {
        QFETCH(int, sent);
        QFETCH(int, shown);
        ProgressPositionMessage message(sent);
        QCoreApplication::sendEvent(TT_Progr, &message);
        QCOMPARE(TT_Progr->Position(), shown);
        StepProgress(sent);
        QCOMPARE(TT_Progr->Position(), shown);
    }

    void StepProgressShowsHiddenWindow() {
        QVERIFY(!TT_Progr->isVisible());
        StepProgress(30);
        QVERIFY(TT_Progr->isVisible());
        QCOMPARE(TT_Progr->Position(), 30);
        QCOMPARE(TT_Progr->windowTitle(), QString());
        QVERIFY(!BreakRequested());
    }

    void BreakSetsBarToZeroAndRequest() {
        ShowProgress(QString(), QStringLiteral("Calculate ..."), true);
        StepProgress(60);
        QVERIFY(!BreakRequested());
        BreakButton()->click();
        QCOMPARE(TT_Progr->Position(), 0);
        QVERIFY(BreakRequested());
        QVERIFY(TT_Progr->isVisible());
    }

    void BreakIsBroadcastToTopLevelWindows() {
        QWidget other;
        BreakListener listener;
        other.installEventFilter(&listener);
        ShowProgress(QString(), QString(), true);
        BreakButton()->click();
        QCOMPARE(listener.notices, 1);
    }

    void ShowProgressClearsBreak() {
        ShowProgress(QString(), QString(), true);
        BreakButton()->click();
        QVERIFY(BreakRequested());
        ShowProgress(QString(), QString(), true);
        QVERIFY(!BreakRequested());
    }

    void CloseProgressGivesFreshHiddenWindow() {
        ShowProgress(QString(), QString(), true);
        StepProgress(50);
        BreakButton()->click();
        QPointer<TTT_Progr> old(TT_Progr);
        CloseProgress();
        QVERIFY(TT_Progr != old.data());
        QVERIFY(!TT_Progr->isVisible());
        QVERIFY(!BreakRequested());
        QCOMPARE(TT_Progr->Position(), 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(old.isNull());
    }

    void JobWithoutStepsKeepsBarAtZero() {
        ShowProgress(QString(), QStringLiteral("Calculate ..."), true);
        QCoreApplication::processEvents();
        QVERIFY(TT_Progr->isVisible());
        QCOMPARE(TT_Progr->Position(), 0);
    }
};

QTEST_MAIN(ProgressWindowTest)
#include "progress_window_test.moc"
