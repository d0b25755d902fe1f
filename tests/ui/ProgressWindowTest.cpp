// The progress window: fixed and on top, started afresh, Break pressed once.

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "ui/ProgressWindow.h"

using namespace varn;

class ProgressWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void IsFixedStayOnTopWindowWithoutButtons() {
        ProgressWindow progress;
        const Qt::WindowFlags flags = progress.windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint) &&
                flags.testFlag(Qt::CustomizeWindowHint));
        QVERIFY(!(flags & (Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint)));
        QCOMPARE(progress.minimumSize(), progress.maximumSize());
        QCOMPARE(progress.size(), QSize(373, 217));
        QVERIFY(!progress.isVisible());
    }

    void BarIsClampedToRange_data() {
        QTest::addColumn<int>("sent");
        QTest::addColumn<int>("shown");
        QTest::newRow("above the top") << 150 << 100;
        QTest::newRow("negative") << -5 << 0;
        QTest::newRow("inside") << 42 << 42;
    }
    void BarIsClampedToRange() {
        QFETCH(int, sent);
        QFETCH(int, shown);
        ProgressWindow progress;
        progress.SetPosition(sent);
        QCOMPARE(progress.Position(), shown);
    }

    // Break sets the bar to 0 and the request, once; the next Start clears
    // both, names the job and shows its message.
    void BreakIsOnceAndStartBeginsAfresh() {
        ProgressWindow progress;
        QSignalSpy clicked(&progress, &ProgressWindow::BreakClicked);
        auto* button = progress.findChild<QPushButton*>(QStringLiteral("break_button"));
        QCOMPARE(button->text(), QStringLiteral("&Break"));
        progress.Start(QStringLiteral("Convert"), QString());
        progress.SetPosition(60);
        button->click();
        progress.PressBreak();
        QCOMPARE(clicked.size(), 1);
        QVERIFY(progress.BreakPressed());
        QCOMPARE(progress.Position(), 0);
        QVERIFY(progress.isVisible());
        progress.SetPosition(70);
        progress.Start(QStringLiteral("Create Bar"), QStringLiteral("Calculate ..."));
        QVERIFY(!progress.BreakPressed() && button->isEnabled());
        QCOMPARE(progress.Position(), 0);
        QCOMPARE(progress.windowTitle(), QStringLiteral("Create Bar"));
        QCOMPARE(progress.findChild<QLabel*>(QStringLiteral("message_label"))->text(),
                 QStringLiteral("Calculate ..."));
    }
};

QTEST_MAIN(ProgressWindowTest)
#include "ProgressWindowTest.moc"
