// The Bar page shows what will run and loses nothing the user did.

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "WindowFixture.h"
#include "ui/BarChart.h"
#include "ui/BarTextArea.h"
#include "ui/ProgressWindow.h"

using namespace varn;
using namespace varn::testing;

class BarPageTest : public WindowFixture {
    Q_OBJECT

  private slots:
    // 1. The session field never shows a start the job does not use.
    void HalfTypedSessionStartIsPutBack_data() {
        QTest::addColumn<QString>("before");  // typed and read first
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("by_tab");  // left by Tab, or Create Bar by its key
        QTest::addColumn<QString>("shown");
        QTest::newRow("Tab") << ""
                             << "9:3" << true << "00:00";
        QTest::newRow("Create Bar") << ""
                                    << "9:3" << false << "00:00";
        QTest::newRow("last that read") << "09:30"
                                        << "-1" << true << "09:30";
        QTest::newRow("whole") << ""
                               << "9:30" << true << "9:30";
    }
    void HalfTypedSessionStartIsPutBack() {
        QFETCH(QString, before);
        QFETCH(QString, typed);
        QFETCH(bool, by_tab);
        QFETCH(QString, shown);
        OpenDaily("session.txt", 3);
        ShowActive();
        auto* start = Child<QLineEdit>("session_start_edit");
        start->setFocus();
        for (const QString& text : {before, typed}) {
            start->clear();
            QTest::keyClicks(start, text);
        }
        dialogs_->save_answers.push_back(std::nullopt);
        if (by_tab) QTest::keyClick(start, Qt::Key_Tab);
        if (!by_tab) Child<QPushButton>("create_bars_button")->click();  // the focus stays
        QCOMPARE(start->text(), shown);
        WaitUntilIdle();
    }

    // 2. A bar length takes the period list's place, in sight and in the
    // name the save dialog proposes.
    void BarLengthGreysThePeriodList() {
        OpenDaily("length.txt", 3);
        auto* periods = Child<QComboBox>("period_list");
        periods->setCurrentIndex(3);  // 1 day bar
        auto* lengths = Child<QComboBox>("bar_length_list");
        for (const char* length : {"20 min", "4 h", "period list"}) {
            lengths->setCurrentIndex(lengths->findText(QString::fromLatin1(length)));
            QCOMPARE(periods->isEnabled(), lengths->currentIndex() == 0);
            QCOMPARE(periods->toolTip().isEmpty(), periods->isEnabled());
            dialogs_->save_answers.push_back(std::nullopt);
            Click("create_bars_button");
        }
        QCOMPARE(
            dialogs_->save_proposals,
            QStringList({Path("length-20min.txt"), Path("length-4h.txt"), Path("length-day.txt")}));
    }

    // 3. The chart shows the bars of the lines loaded, or none, however they
    // were loaded.
    void LoadClearsTheChart() {
        auto* chart = Child<BarChart>("chart");
        WriteAll(Path("other.txt"), DailyLines(QDate(2001, 1, 15), 10));
        for (const bool dropped : {false, true}) {
            OpenDaily("first.txt", 79);
            dialogs_->save_answers.push_back(std::nullopt);
            Click("create_bars_button");
            QCOMPARE(chart->BarCount(), std::size_t{4});
            dialogs_->open_answers.push_back(Path("other.txt"));
            dropped ? window_->DropFile(Path("other.txt"))
                    : Child<QPushButton>("open_prices_button")->click();
            WaitUntilIdle();
            QCOMPARE(window_->BarLines().Count(), std::size_t{10});
            QCOMPARE(chart->BarCount(), std::size_t{0});
            QVERIFY(chart->isHidden());
        }
    }

    // 4. A button with nothing to act on is greyed and says why: with no
    // file, with an empty one, and not with a line.
    void ButtonsWaitForLines() {
        for (const auto& [button, opener] : {std::pair{"create_bars_button", "open_prices_button"},
                                             std::pair{"truncate_button", "open_lines_button"}}) {
            for (const QByteArray& content :
                 {QByteArray("-"), QByteArray(), QByteArray("010102 1 2 0.5 1.5\n")}) {
                if (content != "-") {
                    WriteAll(Path("buttons.txt"), content);
                    dialogs_->open_answers.push_back(Path("buttons.txt"));
                    Click(opener);
                }
                const bool enabled = content.size() > 1;
                auto* pressed = Child<QPushButton>(button);
                QCOMPARE(pressed->isEnabled(), enabled);
                QVERIFY(!pressed->toolTip().isEmpty());
                dialogs_->save_answers = {Path("buttons-out.txt")};
                Click(button);
                QCOMPARE(QFile::remove(Path("buttons-out.txt")), enabled);
            }
        }
    }

    // 5. The status line says what the file holds.
    void StatusLineNamesWhatWasLoaded_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("status");
        QByteArray ticks;
        for (int i = 0; i < 120; ++i)
            ticks += "01/02/2001;10:" + QByteArray::number(10 + i / 4) + " 1.5 2\n";
        QTest::newRow("empty") << QByteArray() << "status.txt: empty file";
        QTest::newRow("one price a line")
            << ticks
            << "status.txt: 120 lines. Detected: MM/DD/YYYY + DATE;21:45, one price per line "
               "(100 of 100 lines fit). Read: separator semicolon. Note: dates fit month-first "
               "and day-first; took month-first; date layout 6 reads day-first.";
        QTest::newRow("four prices a line")
            << DailyLines(QDate(2001, 1, 1), 120)
            << "status.txt: 120 lines. Detected: MM/DD/YYYY  OHLC Vol O.I. + Not Indicated (100 "
               "of 100 lines fit). Read: separator spaces.";
    }
    void StatusLineNamesWhatWasLoaded() {
        QFETCH(QByteArray, content);
        QFETCH(QString, status);
        WriteAll(Path("status.txt"), content);
        OpenPrices(Path("status.txt"));
        QCOMPARE(Child<QLabel>("bar_status")->text(), status);
    }

    // 6. A time with anything left over does not read, in the preview too.
    void TimeWithSomethingLeftOverDoesNotRead_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("09:3x") << QByteArray("01/02/2006;09:3x 1 2 0.5 1.5\n");
        QTest::newRow("X09:30") << QByteArray("01/02/2006;X09:30 1 2 0.5 1.5\n");
    }
    void TimeWithSomethingLeftOverDoesNotRead() {
        QFETCH(QByteArray, line);
        WriteAll(Path("left-over.txt"), line);
        OpenPrices(Path("left-over.txt"));
        Child<QComboBox>("date_layout_list")->setCurrentIndex(5);  // MM/DD/YYYY
        Child<QComboBox>("time_layout_list")->setCurrentIndex(6);  // DATE;21:45
        const QString preview = Child<QLabel>("line_preview")->text();
        QVERIFY2(preview.startsWith(QStringLiteral("Line 1 does not read")), qPrintable(preview));
    }

    // 7. Edited lines are not lost to an open that fails, nor replaced
    // without a question.
    void EditsSurviveAnotherOpen_data() {
        QTest::addColumn<bool>("edited");
        QTest::addColumn<bool>("replace");  // the answer to the question, when asked
        QTest::addColumn<bool>("exists");
        QTest::addColumn<bool>("kept");
        QTest::newRow("not edited") << false << false << true << false;
        QTest::newRow("edited, kept") << true << false << true << true;
        QTest::newRow("edited, replaced") << true << true << true << false;
        QTest::newRow("edited, open fails") << true << true << false << true;
    }
    void EditsSurviveAnotherOpen() {
        QFETCH(bool, edited);
        QFETCH(bool, replace);
        QFETCH(bool, exists);
        QFETCH(bool, kept);
        OpenDaily("mine.txt", 2);
        auto* text = Child<BarTextArea>("bar_text");
        if (edited) text->InsertText("x");
        if (exists) WriteAll(Path("next.txt"), "next\n");
        dialogs_->confirm_answers.push_back(replace);
        OpenPrices(Path(exists ? "next.txt" : "absent.txt"));
        QCOMPARE(dialogs_->questions.size(), edited ? 1 : 0);
        QCOMPARE(dialogs_->errors.size(), exists ? 0 : 1);
        QCOMPARE(window_->BarLines().Line(0),
                 std::string_view(kept ? "x01/15/2001 1.5 1.6 1.4 1.55" : "next"));
        // What was kept can still be undone.
        QCOMPARE(text->CanUndo(), kept);
    }

    // 8. Bars whose save failed are offered again, not dropped.
    void FailedSaveAsksAgain() {
        OpenDaily("again.txt", 79);
        const QString failing = Path("no-such-folder/bars.txt");
        dialogs_->save_answers = {failing, Path("again-bars.txt")};
        Click("create_bars_button");
        QCOMPARE(dialogs_->save_proposals.back(), failing);
        QCOMPARE(dialogs_->errors.size(), 1);
        QVERIFY2(dialogs_->errors.front().contains(failing), qPrintable(dialogs_->errors.front()));
        QCOMPARE(ReadAll(Path("again-bars.txt")).count('\n'), 4);
        QCOMPARE(dialogs_->messages.size(), 1);
    }

    // 12. The chart takes room from the text area, not from the desktop, with
    // a status line that wraps; the progress window keeps the desktop's colours.
    void ChartDoesNotGrowTheWindow() {
        WriteAll(Path("grow.txt"),
                 "Date;Time;Open;High;Low;Close\n" +
                     QByteArray("02.01.2024;10:00;1,5;1,6;1,4;1,55\n").repeated(150));
        OpenPrices(Path("grow.txt"));
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        const QSize before = window_->size();
        QString title;
        AtProgress(1, [&] { title = window_->Progress().windowTitle(); });
        dialogs_->save_answers.push_back(std::nullopt);
        Click("create_bars_button");
        QVERIFY(!Child<BarChart>("chart")->isHidden());
        QCOMPARE(window_->size(), before);
        QCOMPARE(title, QStringLiteral("Create Bar"));
        for (const QWidget* part : window_->Progress().findChildren<QWidget*>()) {
            QVERIFY2(part->styleSheet().isEmpty(), qPrintable(part->objectName()));
        }
    }
};

QTEST_MAIN(BarPageTest)
#include "BarPageTest.moc"
