// Jobs on their own thread: the window keeps turning its event loop while a
// million lines are built into bars, and closing it during a job ends the
// job and closes it without a further question.

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
    // Loads count lines of one day's prices: one bar, whatever the count.
    void OpenOneDay(int count) {
        const QString input = Path("one-day.txt");
        WriteAll(input, QByteArray("01/02/2001 1.5 1.6 1.4 1.55\r\n").repeated(count));
        OpenPrices(input);
        QCOMPARE(window_->BarLines().Count(), static_cast<std::size_t>(count));
    }

  private slots:
    void EventLoopTurnsDuringAMillionLineJob() {
        OpenOneDay(1000000);
        window_->show();
        bool ran_during_job = false;
        bool busy_cursor = false;
        int shown = -1;
        AtProgress(50, [&] {
            // Delivered by the window's event loop while the job is half-way.
            ran_during_job = true;
            busy_cursor = QApplication::overrideCursor() != nullptr &&
                          QApplication::overrideCursor()->shape() == Qt::BusyCursor;
            shown = window_->Progress().Position();
        });
        const QString output = Path("one-day-bars.txt");
        dialogs_->save_answers.push_back(output);
        Child<QPushButton>("create_bars_button")->click();
        // The click returns at once; the job runs on.
        QVERIFY(!Child<QPushButton>("open_prices_button")->isEnabled());
        QVERIFY(window_->Progress().isVisible());
        WaitUntilIdle();
        QVERIFY(ran_during_job);
        QVERIFY(busy_cursor);
        QVERIFY2(shown >= 50, qPrintable(QString::number(shown)));
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QCOMPARE(ReadAll(output), QByteArray("1.2.2001 1.5000 1.6000 1.4000 1.5500\r\n"));
        QCOMPARE(dialogs_->message_details, QStringList{"1 bars from 1000000 lines"});
    }

    void ClosingDuringAJobEndsItAndCloses() {
        OpenOneDay(200000);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        bool open_while_stopping = false;
        AtProgress(10, [&] {
            window_->close();
            // The job ends at its next line; the window waits for it.
            open_while_stopping = window_->isVisible();
        });
        dialogs_->save_answers.push_back(Path("closed-bars.txt"));
        Click("create_bars_button");
        QVERIFY(open_while_stopping);
        QVERIFY(!window_->isVisible());
        QVERIFY(!window_->Progress().isVisible());
        QCOMPARE(dialogs_->save_asked, 0);
        QVERIFY(dialogs_->messages.isEmpty());
        QVERIFY(dialogs_->errors.isEmpty());
        QVERIFY(!QFile::exists(Path("closed-bars.txt")));
    }
};

QTEST_MAIN(BackgroundJobTest)
#include "BackgroundJobTest.moc"
