// The progress window: starting, the bar, "Break", and a fresh start after
// every job.

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

#include "ui/ProgressWindow.h"

using namespace varn;

class ProgressWindowTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<ProgressWindow> progress_;

    QPushButton* BreakButton() {
        return progress_->findChild<QPushButton*>(QStringLiteral("break_button"));
    }

  private slots:
    void init() { progress_ = std::make_unique<ProgressWindow>(); }
    void cleanup() { progress_.reset(); }

    void StartsHiddenWithoutBreak() {
        QVERIFY(!progress_->isVisible());
        QVERIFY(!progress_->BreakPressed());
        QCOMPARE(progress_->Position(), 0);
    }

    void IsFixedStayOnTopWindowWithoutButtons() {
        const Qt::WindowFlags flags = progress_->windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(flags.testFlag(Qt::CustomizeWindowHint));
        QVERIFY(!flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(progress_->minimumSize(), QSize(373, 217));
        QCOMPARE(progress_->maximumSize(), QSize(373, 217));
        auto* bar = progress_->findChild<QProgressBar*>(QStringLiteral("progress_bar"));
        QVERIFY(bar != nullptr);
        QCOMPARE(bar->minimum(), 0);
        QCOMPARE(bar->maximum(), 100);
        QVERIFY(bar->isTextVisible());
        QCOMPARE(BreakButton()->text(), QStringLiteral("&Break"));
    }

    void StartNamesTheJobAndClearsTheBar() {
        progress_->SetPosition(70);
        progress_->Start(QStringLiteral("Create Bar"), QStringLiteral("Calculate ..."));
        QVERIFY(progress_->isVisible());
        QCOMPARE(progress_->windowTitle(), QStringLiteral("Create Bar"));
        QCOMPARE(progress_->findChild<QLabel*>(QStringLiteral("message_label"))->text(),
                 QStringLiteral("Calculate ..."));
        QCOMPARE(progress_->Position(), 0);
        QVERIFY(BreakButton()->isVisible());
    }

    void PositionIsClampedToRange_data() {
        QTest::addColumn<int>("sent");
        QTest::addColumn<int>("shown");
        QTest::newRow("above the top") << 150 << 100;
        QTest::newRow("negative") << -5 << 0;
        QTest::newRow("inside") << 42 << 42;
        QTest::newRow("top") << 100 << 100;
        QTest::newRow("bottom") << 0 << 0;
    }
    void PositionIsClampedToRange() {
        QFETCH(int, sent);
        QFETCH(int, shown);
        progress_->SetPosition(sent);
        QCOMPARE(progress_->Position(), shown);
    }

    void BreakSetsBarToZeroAndRequestOnce() {
        QSignalSpy clicked(progress_.get(), &ProgressWindow::BreakClicked);
        progress_->Start(QStringLiteral("Create Bar"), QStringLiteral("Calculate ..."));
        progress_->SetPosition(60);
        QVERIFY(!progress_->BreakPressed());
        BreakButton()->click();
        QCOMPARE(progress_->Position(), 0);
        QVERIFY(progress_->BreakPressed());
        QVERIFY(progress_->isVisible());
        progress_->PressBreak();  // a second press asks nothing more
        QCOMPARE(clicked.size(), 1);
    }

    // Each job starts afresh: the next never sees the last one's Break.
    void StartClearsBreak() {
        progress_->Start(QStringLiteral("Convert"), QString());
        BreakButton()->click();
        QVERIFY(progress_->BreakPressed());
        progress_->hide();
        progress_->Start(QStringLiteral("Convert"), QString());
        QVERIFY(!progress_->BreakPressed());
        QVERIFY(BreakButton()->isEnabled());
    }
};

QTEST_MAIN(ProgressWindowTest)
#include "ProgressWindowTest.moc"
