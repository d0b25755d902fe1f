// Jobs on their own thread: the window stays live, and closes during a job.

#include <QCursor>
#include <QFile>
#include <QPushButton>
#include <QtTest>

#include "WindowFixture.h"
#include "ui/ProgressWindow.h"

using namespace varn;
using namespace varn::testing;

class BackgroundJobTest : public WindowFixture {
    Q_OBJECT

  private:
    // Loads count lines of one day's prices (one bar, whatever the count)
    // and shows the window.
    void OpenOneDay(int count) {
        WriteAll(Path("one-day.txt"),
                 QByteArray("01/22/2001 1.5 1.6 1.4 1.55\r\n").repeated(count));
        OpenPrices(Path("one-day.txt"));
        QCOMPARE(window_->BarLines().Count(), static_cast<std::size_t>(count));
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }

  private slots:
    void EventLoopTurnsDuringAMillionLineJob() {
        OpenOneDay(1000000);
        bool busy_cursor = false;
        int shown = -1;  // delivered by the window's event loop half-way through
        AtProgress(50, [&] {
            busy_cursor = QApplication::overrideCursor()->shape() == Qt::BusyCursor;
            shown = window_->Progress().Position();
        });
        dialogs_->save_answers.push_back(Path("one-day-bars.txt"));
        Child<QPushButton>("create_bars_button")->click();
        // The click returns at once; the job runs on.
        QVERIFY(!Child<QPushButton>("open_prices_button")->isEnabled());
        QVERIFY(window_->Progress().isVisible());
        WaitUntilIdle();
        QVERIFY(busy_cursor);
        QVERIFY2(shown >= 50, qPrintable(QString::number(shown)));
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QCOMPARE(ReadAll(Path("one-day-bars.txt")), "1.22.2001 1.5000 1.6000 1.4000 1.5500\r\n");
        QCOMPARE(dialogs_->message_details.value(0),  // one line a million times counts once
                 "1 bars from 1000000 lines\n999999 duplicate lines counted once");
    }

    void ClosingDuringAJobEndsItAndCloses() {
        OpenOneDay(200000);
        bool open_while_stopping = false;
        AtProgress(10, [&] {
            window_->close();
            // The job ends at its next line; the window waits for it.
            open_while_stopping = window_->isVisible();
        });
        dialogs_->save_answers.push_back(Path("closed-bars.txt"));
        Click("create_bars_button");
        QVERIFY(open_while_stopping);
        QVERIFY(!window_->isVisible() && !window_->Progress().isVisible());
        QCOMPARE(dialogs_->save_asked, 0);
        QVERIFY(dialogs_->messages.isEmpty() && dialogs_->errors.isEmpty());
        QVERIFY(!QFile::exists(Path("closed-bars.txt")));
    }
};

QTEST_MAIN(BackgroundJobTest)
#include "BackgroundJobTest.moc"
