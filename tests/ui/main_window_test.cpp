// The main window driven through answered dialogs: start-up state of every
// page, the example box, and each job from its button to the file written
// and the message shown.

#include <sys/resource.h>
#include <unistd.h>

#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "bars/build_bars.h"
#include "calendar/date_layouts.h"
#include "ui/BarChart.h"
#include "ui/BarTextArea.h"
#include "ui/T_progr.h"
#include "ui/UVarnFormat.h"
#include "ui/WindowSettings.h"
#include "ui_support.h"

using namespace varn;

namespace {

using varn::testing::ReadAll;
using varn::testing::WriteAll;

// Daily price lines "MM/DD/YYYY 1.5 1.6 1.4 1.55" from first, count days.
QByteArray DailyLines(QDate first, int count) {
    QByteArray text;
    for (int i = 0; i < count; ++i) {
        text += first.addDays(i).toString(QStringLiteral("MM/dd/yyyy")).toLatin1();
        text += " 1.5 1.6 1.4 1.55\r\n";
    }
    return text;
}

QStringList Items(QComboBox* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items.push_back(list->itemText(i));
    return items;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

  private:
    template <class T>
    T* Child(const char* name) {
        return form_->findChild<T*>(QString::fromLatin1(name));
    }
    QString Path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }

    QTemporaryDir dir_;
    std::unique_ptr<AnsweredDialogs> dialogs_;
    std::unique_ptr<TForm1> form_;

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        CreateProgressWindow();
    }
    void cleanupTestCase() { DestroyProgressWindow(); }
    void init() {
        dialogs_ = std::make_unique<AnsweredDialogs>();
        form_ = std::make_unique<TForm1>(EnglishRegionalNames(), dialogs_.get());
    }
    void cleanup() {
        form_.reset();
        dialogs_.reset();
    }

    void OpensOnBarPageWithDefaults() {
        QCOMPARE(form_->windowTitle(), QStringLiteral("Varn Format Convertor"));
        auto* pages = Child<QTabWidget>("PageControl1");
        QVERIFY(pages != nullptr);
        QCOMPARE(pages->count(), 3);
        QCOMPARE(pages->tabText(0), QStringLiteral("Varn Format"));
        QCOMPARE(pages->tabText(1), QStringLiteral("Trunc File"));
        QCOMPARE(pages->tabText(2), QStringLiteral("Bar"));
        QCOMPARE(pages->currentWidget()->objectName(), QStringLiteral("TabSheet3"));

        auto* dates = Child<QComboBox>("ComboBoxD");
        QCOMPARE(dates->count(), 22);
        QCOMPARE(dates->currentIndex(), 0);
        QCOMPARE(dates->itemText(14), QStringLiteral("YYYYMMDD    OHLC Vol O.I."));
        QCOMPARE(dates->itemText(21), QString::fromLatin1(DateLayoutItem(21).c_str()));

        QCOMPARE(Items(Child<QComboBox>("ComboBoxT")),
                 QStringList({"Not Indicated", "DATE;21:45:15", "DATE;9:45pm", "DATE  21:45:15",
                              "DATE  9:45pm", "DATE  2145", "DATE;21:45", "DATE;214515"}));
        QCOMPARE(Child<QComboBox>("ComboBoxT")->currentIndex(), 0);
        QCOMPARE(Items(Child<QComboBox>("ComboBox2")),
                 QStringList({"5 min bar", "15 min bar", "1 hour bar", "1 day bar", "1 week bar",
                              "1 month bar", "Quarterly bar", "Yearly bar"}));
        QCOMPARE(Child<QComboBox>("ComboBox2")->currentText(), QStringLiteral("1 month bar"));
        QCOMPARE(Items(Child<QComboBox>("ComboBox3")), QStringList({"space", "comma"}));
        QCOMPARE(Child<QComboBox>("ComboBox3")->currentText(), QStringLiteral("space"));

        QCOMPARE(Child<QLabel>("Label4")->text(), QStringLiteral("delimer"));
        QCOMPARE(Child<QLabel>("Panel2")->text(),
                 QStringLiteral("DATE [TIME] OPEN HIGH LOW CLOSE"));
        QCOMPARE(Child<QPushButton>("BitBtn4")->text(), QString());
        QVERIFY(!Child<QPushButton>("BitBtn4")->icon().isNull());
        QCOMPARE(Child<QPushButton>("BitBtn5")->text(), QStringLiteral("Create Bar"));
        QVERIFY(Child<BarTextArea>("RichEdit1") != nullptr);
        QCOMPARE(form_->BarLines().Count(), std::size_t{0});
    }

    void FocusMovesThroughControlsInRowOrder_data() {
        QTest::addColumn<QStringList>("order");
        QTest::newRow("Varn Format") << QStringList({"ComboBox1", "Memo1", "BitBtn1"});
        QTest::newRow("Trunc File") << QStringList({"BitBtn2", "BitBtn3", "SpinEdit1"});
        QTest::newRow("Bar") << QStringList({"BitBtn4", "ComboBoxD", "ComboBoxT", "ComboBox2",
                                             "BitBtn5", "ComboBox3", "RichEdit1"});
    }
    void FocusMovesThroughControlsInRowOrder() {
        QFETCH(QStringList, order);
        QWidget* widget = form_->findChild<QWidget*>(order.front());
        QVERIFY(widget != nullptr);
        for (qsizetype i = 1; i < order.size(); ++i) {
            // The next named control in the chain, past the parts of the last one.
            do {
                widget = widget->nextInFocusChain();
            } while (!order.contains(widget->objectName()) && widget != form_.get());
            QCOMPARE(widget->objectName(), order[i]);
        }
    }

    void VarnFormatPageShowsFirstExample() {
        QCOMPARE(Child<QLabel>("Label1")->text(), QStringLiteral("Format"));
        QCOMPARE(Child<QPushButton>("BitBtn1")->text(), QStringLiteral("Convert"));
        QCOMPARE(Child<QGroupBox>("GroupBox1")->title(), QStringLiteral("Example"));
        auto* formats = Child<QComboBox>("ComboBox1");
        QCOMPARE(formats->count(), 5);
        QCOMPARE(formats->currentIndex(), 0);
        QVERIFY(formats->itemText(0).startsWith(QStringLiteral("from ")));
        QVERIFY(formats->itemText(0).endsWith(QStringLiteral(" YYYY,MM,DD,PRICE")));
        QCOMPARE(formats->itemText(2), QStringLiteral("mm/dd/yyyy daily -> mm/dd/yyyy monthly"));
        QCOMPARE(
            Child<QPlainTextEdit>("Memo1")->toPlainText(),
            QStringLiteral("1971,1,4,4.318\n1971,1,5,4.3117\n1971,1,6,4.3113\n1971,1,7,4.3103"));
    }

    void TruncPageStartsEmpty() {
        QCOMPARE(Child<QPushButton>("BitBtn2")->text(), QStringLiteral("Open"));
        QCOMPARE(Child<QLabel>("Label3")->text(), QStringLiteral("...."));
        QCOMPARE(Child<QPushButton>("BitBtn3")->text(), QStringLiteral("Truncate last"));
        QCOMPARE(Child<QLabel>("Label2")->text(), QStringLiteral("lines"));
        auto* spin = Child<QSpinBox>("SpinEdit1");
        QCOMPARE(spin->minimum(), 1);
        QCOMPARE(spin->maximum(), 10000000);
        QCOMPARE(spin->value(), 10000);
        QVERIFY(form_->TruncFileLines().empty());
    }

    void SpinBoxBringsTypedValueIntoRange_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("value");
        QTest::newRow("above") << "20000000" << 10000000;
        QTest::newRow("below") << "0" << 1;
        QTest::newRow("beyond any integer") << "99999999999999999999" << 10000000;
        QTest::newRow("inside") << "250" << 250;
    }
    void SpinBoxBringsTypedValueIntoRange() {
        QFETCH(QString, typed);
        QFETCH(int, value);
        auto* spin = Child<QSpinBox>("SpinEdit1");
        spin->selectAll();
        QTest::keyClicks(spin, typed);
        spin->interpretText();
        QCOMPARE(spin->value(), value);
    }

    void ExampleBoxFollowsFormatList_data() {
        QTest::addColumn<int>("conversion");
        QTest::addColumn<int>("lines");
        QTest::addColumn<QString>("first");
        QTest::newRow("0") << 0 << 4 << "1971,1,4,4.318";
        QTest::newRow("1") << 1 << 5 << R"("Date","Time","Open","High","Low","Close","Volume")";
        QTest::newRow("2") << 2 << 0 << "";
        QTest::newRow("3") << 3 << 0 << "";
        QTest::newRow("4") << 4 << 0 << "";
    }
    void ExampleBoxFollowsFormatList() {
        QFETCH(int, conversion);
        QFETCH(int, lines);
        QFETCH(QString, first);
        auto* formats = Child<QComboBox>("ComboBox1");
        formats->setCurrentIndex(conversion == 1 ? 2 : 1);
        formats->setCurrentIndex(conversion);
        const QString text = Child<QPlainTextEdit>("Memo1")->toPlainText();
        const QStringList shown = text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
        QCOMPARE(shown.size(), lines);
        if (lines > 0) QCOMPARE(shown.front(), first);
    }

    void ConvertWritesFileAndReportsIt() {
        const QString input = Path("convert-in.txt");
        const QString output = Path("convert-out.txt");
        WriteAll(input, "1971,1,4,4.318\r\n2001,12,31,10\n");
        dialogs_->open_answers.push_back(input);
        dialogs_->save_answers.push_back(output);
        Child<QPushButton>("BitBtn1")->click();
        QCOMPARE(ReadAll(output), QByteArray("1/4/1971   4.318\r\n12/31/2001   10\r\n"));
        QCOMPARE(dialogs_->messages, QStringList({"File " + output + " created!"}));
        QVERIFY(dialogs_->errors.isEmpty());
    }

    void ConvertCancelledDoesNothing_data() {
        QTest::addColumn<bool>("cancel_open");
        QTest::addColumn<int>("save_asked");
        QTest::newRow("open cancelled") << true << 0;
        QTest::newRow("save cancelled") << false << 1;
    }
    void ConvertCancelledDoesNothing() {
        QFETCH(bool, cancel_open);
        QFETCH(int, save_asked);
        const QString input = Path("cancel-in.txt");
        WriteAll(input, "1971,1,4,4.318\r\n");
        dialogs_->open_answers.push_back(cancel_open ? std::nullopt
                                                     : std::optional<QString>(input));
        dialogs_->save_answers.push_back(std::nullopt);
        Child<QPushButton>("BitBtn1")->click();
        QCOMPARE(dialogs_->save_asked, save_asked);
        QVERIFY(dialogs_->messages.isEmpty());
        QVERIFY(dialogs_->errors.isEmpty());
    }

    void ConvertOfMissingFileNamesItInError() {
        const QString input = Path("no-such-file.txt");
        const QString output = Path("missing-out.txt");
        dialogs_->open_answers.push_back(input);
        dialogs_->save_answers.push_back(output);
        Child<QPushButton>("BitBtn1")->click();
        QVERIFY(dialogs_->messages.isEmpty());
        QCOMPARE(dialogs_->errors.size(), 1);
        QVERIFY2(dialogs_->errors.front().contains(input), qPrintable(dialogs_->errors.front()));
        QVERIFY(!QFile::exists(output));
    }

    void RunningOutOfMemoryShowsErrorAndKeepsWindow() {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("the address sanitizer cannot run under a memory limit");
#endif
        // One line of 96 MB, converted with 48 MB of address space to spare:
        // the job ran out of memory and ended the program.
        const QString input = Path("one-long-line.txt");
        const QString output = Path("oom-out.txt");
        {
            QFile file(input);
            QVERIFY(file.open(QIODevice::WriteOnly));
            const QByteArray block(1 << 20, 'a');
            for (int i = 0; i < 96; ++i) QCOMPARE(file.write(block), block.size());
            file.write("\n");
        }
        WriteAll(output, "precious");
        dialogs_->open_answers.push_back(input);
        dialogs_->save_answers.push_back(output);
        rlimit old{};
        QCOMPARE(getrlimit(RLIMIT_AS, &old), 0);
        QFile status(QStringLiteral("/proc/self/statm"));
        QVERIFY(status.open(QIODevice::ReadOnly));
        const rlim_t pages = status.readAll().split(' ').front().toULongLong();
        rlimit tight = old;
        tight.rlim_cur = pages * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (rlim_t{48} << 20);
        QCOMPARE(setrlimit(RLIMIT_AS, &tight), 0);
        Child<QPushButton>("BitBtn1")->click();
        QCOMPARE(setrlimit(RLIMIT_AS, &old), 0);
        QCOMPARE(dialogs_->errors.size(), 1);
        QVERIFY2(dialogs_->errors.front().contains(input), qPrintable(dialogs_->errors.front()));
        QVERIFY2(dialogs_->errors.front().contains(QString::fromLocal8Bit(
                     std::make_error_code(std::errc::not_enough_memory).message().c_str())),
                 qPrintable(dialogs_->errors.front()));
        QCOMPARE(ReadAll(output), QByteArray("precious"));
        const QStringList left =
            QDir(dir_.path())
                .entryList(QStringList{QStringLiteral(".varn-*")}, QDir::Files | QDir::Hidden);
        QVERIFY2(left.isEmpty(), qPrintable(left.join(QLatin1Char(' '))));
        QFile::remove(input);
        QVERIFY(form_->isEnabled());
    }

    void OpenCountsAndTruncateWritesLastLines() {
        QByteArray text;
        for (int i = 1; i <= 100; ++i) text += "line " + QByteArray::number(i) + "\n";
        const QString input = Path("trunc-in.txt");
        const QString output = Path("trunc-out.txt");
        WriteAll(input, text);
        dialogs_->open_answers.push_back(input);
        Child<QPushButton>("BitBtn2")->click();
        QCOMPARE(Child<QLabel>("Label3")->text(), QStringLiteral("100 lines"));
        QCOMPARE(form_->TruncFileLines().size(), std::size_t{100});

        Child<QSpinBox>("SpinEdit1")->setValue(10);
        dialogs_->save_answers.push_back(output);
        Child<QPushButton>("BitBtn3")->click();
        QByteArray want;
        for (int i = 91; i <= 100; ++i) want += "line " + QByteArray::number(i) + "\r\n";
        QCOMPARE(ReadAll(output), want);
        // Success is said, with how many lines were kept.
        QCOMPARE(dialogs_->messages,
                 QStringList{QStringLiteral("File ") + output + QStringLiteral(" created!")});
        QCOMPARE(dialogs_->message_details, QStringList{QStringLiteral("last 10 of 100 lines")});
        QCOMPARE(Child<QLabel>("Label3")->text(), QStringLiteral("100 lines"));

        // Again with another count, from the same held lines.
        Child<QSpinBox>("SpinEdit1")->setValue(1000);
        dialogs_->save_answers.push_back(output);
        Child<QPushButton>("BitBtn3")->click();
        QCOMPARE(ReadAll(output), text.replace("\n", "\r\n"));
    }

    void WriteFailuresNameTheFile() {
        const QString input = Path("failing-in.txt");
        const QString output = Path("no-such-folder/out.txt");
        WriteAll(input, "01/02/2001 1.5 1.6 1.4 1.55\r\n");
        dialogs_->open_answers.push_back(input);
        Child<QPushButton>("BitBtn2")->click();
        dialogs_->save_answers.push_back(output);
        Child<QPushButton>("BitBtn3")->click();
        dialogs_->save_answers.push_back(output);
        Child<QPushButton>("BitBtn5")->click();
        QCOMPARE(dialogs_->errors.size(), 2);
        for (const QString& error : dialogs_->errors)
            QVERIFY2(error.contains(output), qPrintable(error));
        QVERIFY(dialogs_->messages.isEmpty());
        QVERIFY(!QFile::exists(output));
    }

    void TruncateWithoutLinesAsksNothing() {
        Child<QPushButton>("BitBtn3")->click();
        QCOMPARE(dialogs_->save_asked, 0);
    }

    void OpenFailureKeepsLabelAndReports() {
        dialogs_->open_answers.push_back(Path("absent.txt"));
        Child<QPushButton>("BitBtn2")->click();
        QCOMPARE(Child<QLabel>("Label3")->text(), QStringLiteral("...."));
        QCOMPARE(dialogs_->errors.size(), 1);
        QVERIFY(dialogs_->errors.front().contains(QStringLiteral("absent.txt")));
    }

    void BarOpenSelectsDetectedLayouts_data() {
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("date_layout");
        QTest::addColumn<int>("time_layout");
        QTest::newRow("120 lines are examined") << 120 << 5 << 0;
        QTest::newRow("101 lines are examined") << 101 << 5 << 0;
        QTest::newRow("100 lines are not") << 100 << 3 << 2;
    }
    void BarOpenSelectsDetectedLayouts() {
        QFETCH(int, lines);
        QFETCH(int, date_layout);
        QFETCH(int, time_layout);
        QByteArray text;
        for (int i = 0; i < lines; ++i) text += "01/02/2001 1.5 1.6 1.4 1.55\r\n";
        const QString input = Path("detect.txt");
        WriteAll(input, text);
        Child<QComboBox>("ComboBoxD")->setCurrentIndex(3);
        Child<QComboBox>("ComboBoxT")->setCurrentIndex(2);
        dialogs_->open_answers.push_back(input);
        Child<QPushButton>("BitBtn4")->click();
        QCOMPARE(form_->BarLines().Count(), static_cast<std::size_t>(lines));
        QCOMPARE(Child<QComboBox>("ComboBoxD")->currentIndex(), date_layout);
        QCOMPARE(Child<QComboBox>("ComboBoxT")->currentIndex(), time_layout);
    }

    void BarOpenCancelledKeepsTheLoadedLines() {
        const QString input = Path("some.txt");
        WriteAll(input, "01/02/2001 1.5 1.6 1.4 1.55\r\n");
        dialogs_->open_answers.push_back(input);
        Child<QPushButton>("BitBtn4")->click();
        QCOMPARE(form_->BarLines().Count(), std::size_t{1});
        form_->BarLines().Append("an edit");
        dialogs_->open_answers.push_back(std::nullopt);
        Child<QPushButton>("BitBtn4")->click();
        QCOMPARE(form_->BarLines().Count(), std::size_t{2});
        QCOMPARE(form_->BarLines().Line(1), std::string_view("an edit"));
        // A short file is not guessed at, and the status line says so.
        QCOMPARE(Child<QLabel>("BarStatus")->text(),
                 QStringLiteral("some.txt: 1 lines. Short file (\u2264 100 lines): choose the "
                                "layouts"));
    }

    void DialogsStartBesideTheInputWithAProposedName() {
        const QString input = Path("prices.csv");
        WriteAll(input, "1971,1,4,4.318\n");
        dialogs_->open_answers.push_back(input);
        dialogs_->save_answers.push_back(std::nullopt);
        Child<QPushButton>("BitBtn1")->click();
        QCOMPARE(dialogs_->save_proposals, QStringList{Path("prices-0.txt")});

        // The next open dialog starts in the folder last chosen from.
        dialogs_->open_answers.push_back(std::nullopt);
        Child<QPushButton>("BitBtn4")->click();
        QCOMPARE(dialogs_->open_proposals.back(), QFileInfo(input).absolutePath());

        dialogs_->open_answers.push_back(input);
        Child<QPushButton>("BitBtn2")->click();
        Child<QSpinBox>("SpinEdit1")->setValue(7);
        dialogs_->save_answers.push_back(std::nullopt);
        Child<QPushButton>("BitBtn3")->click();
        QCOMPARE(dialogs_->save_proposals.back(), Path("prices-last7.txt"));
    }

    void SettingsBringBackTheLastChoices() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
        QCoreApplication::setOrganizationName(QStringLiteral("varn-test"));
        Child<QComboBox>("ComboBox1")->setCurrentIndex(4);
        Child<QComboBox>("ComboBox2")->setCurrentIndex(3);
        Child<QComboBox>("ComboBox3")->setCurrentIndex(1);
        Child<QSpinBox>("SpinEdit1")->setValue(250);
        form_->SetLastFolder(dir_.path());
        SaveWindowSettings(*form_);

        TForm1 again(EnglishRegionalNames(), dialogs_.get());
        QCOMPARE(again.findChild<QComboBox*>("ComboBox2")->currentIndex(), 5);  // the default
        RestoreWindowSettings(again);
        QCOMPARE(again.findChild<QComboBox*>("ComboBox1")->currentIndex(), 4);
        QCOMPARE(again.findChild<QComboBox*>("ComboBox2")->currentIndex(), 3);
        QCOMPARE(again.findChild<QComboBox*>("ComboBox3")->currentIndex(), 1);
        QCOMPARE(again.findChild<QSpinBox*>("SpinEdit1")->value(), 250);
        QCOMPARE(again.LastFolder(), dir_.path());
    }

    void DroppedFileLoadsIntoThePageThatShows() {
        const QString input = Path("dropped.txt");
        // Lines conversion 0 reads, so that the Varn Format page writes them.
        WriteAll(input, "1971,1,4,4.318\n1971,1,5,4.3117\n");
        auto* pages = Child<QTabWidget>("PageControl1");
        pages->setCurrentIndex(1);
        form_->DropFile(input);
        QCOMPARE(Child<QLabel>("Label3")->text(), QStringLiteral("2 lines"));
        QCOMPARE(form_->BarLines().Count(), std::size_t{0});
        pages->setCurrentIndex(2);
        form_->DropFile(input);
        QCOMPARE(form_->BarLines().Count(), std::size_t{2});
        // On the Varn Format page the file is the input: only the save dialog asks.
        pages->setCurrentIndex(0);
        dialogs_->save_answers.push_back(Path("dropped-0.txt"));
        form_->DropFile(input);
        QCOMPARE(dialogs_->open_asked, 0);
        QVERIFY(QFile::exists(Path("dropped-0.txt")));
    }

    void StatusLineTellsWhatDetectionFound() {
        QByteArray text;
        for (int i = 0; i < 150; ++i) {
            text +=
                i % 10 == 0 ? QByteArray("header\n") : QByteArray("01/02/2001 1.5 1.6 1.4 1.55\n");
        }
        const QString mixed = Path("mixed.txt");
        WriteAll(mixed, text);
        dialogs_->open_answers.push_back(mixed);
        Child<QPushButton>("BitBtn4")->click();
        QCOMPARE(Child<QLabel>("BarStatus")->text(),
                 QStringLiteral("mixed.txt: 150 lines. No layout pair fits 96 of the first 100 "
                                "lines: choose the layouts"));

        const QString daily = Path("status-daily.txt");
        WriteAll(daily, DailyLines(QDate(2001, 1, 1), 120));
        dialogs_->open_answers.push_back(daily);
        Child<QPushButton>("BitBtn4")->click();
        QCOMPARE(Child<QLabel>("BarStatus")->text(),
                 QStringLiteral("status-daily.txt: 120 lines. Detected: MM/DD/YYYY  OHLC Vol O.I. "
                                "+ Not Indicated (100 of 100 lines fit)"));

        // A layout chosen by hand: how many of the first lines read under it.
        auto* dates = Child<QComboBox>("ComboBoxD");
        dates->setCurrentIndex(6);  // DD/MM/YYYY: days above 12 do not read
        emit dates->activated(6);
        QVERIFY2(
            Child<QLabel>("BarStatus")
                ->text()
                .contains(QStringLiteral(" of the first 100 lines read under the chosen layouts")),
            qPrintable(Child<QLabel>("BarStatus")->text()));
        QVERIFY(!Child<QLabel>("BarStatus")->text().contains(QStringLiteral(" 100 of the first")));
    }

    // The preview follows the layouts, the price form and the text.
    void LinePreviewFollowsLayoutsAndText() {
        auto* preview = Child<QLabel>("LinePreview");
        QVERIFY(preview != nullptr);
        QCOMPARE(preview->text(), QString());  // nothing loaded
        const QString daily = Path("preview-daily.txt");
        WriteAll(daily, DailyLines(QDate(2001, 1, 15), 120));
        QVERIFY(form_->LoadBarFile(daily));
        const QString reads = QStringLiteral(
            "Line 1 reads: date 2001-01-15  no time  open 1.5  high 1.6  low 1.4  close 1.55");
        QCOMPARE(preview->text(), reads);

        auto* dates = Child<QComboBox>("ComboBoxD");
        dates->setCurrentIndex(6);  // DD/MM/YYYY: the 15th month does not read
        QVERIFY2(preview->text().startsWith(QStringLiteral("Line 1 does not read: ")),
                 qPrintable(preview->text()));
        dates->setCurrentIndex(5);
        QCOMPARE(preview->text(), reads);

        Child<QComboBox>("ComboBoxPrices")->setCurrentIndex(2);  // single
        QCOMPARE(preview->text(),
                 QStringLiteral("Line 1 reads: date 2001-01-15  no time  price 1.5"));
        Child<QComboBox>("ComboBoxPrices")->setCurrentIndex(0);

        // Editing the first line: "1.5" becomes "7.5".
        auto* area = Child<BarTextArea>("RichEdit1");
        area->SetCursor({0, 11});
        area->DeleteForward();
        area->InsertText("7");
        QCOMPARE(preview->text(), QStringLiteral("Line 1 reads: date 2001-01-15  no time  open "
                                                 "7.5  high 1.6  low 1.4  close 1.55"));
        area->Undo();
        area->Undo();
        QCOMPARE(preview->text(), reads);
    }

    void CreateBarWritesBarsAndReports() {
        const QString input = Path("daily.txt");
        const QString output = Path("bars.txt");
        WriteAll(input, DailyLines(QDate(2001, 1, 15), 79));  // 15 January to 3 April
        dialogs_->open_answers.push_back(input);
        Child<QPushButton>("BitBtn4")->click();
        Child<QComboBox>("ComboBoxD")->setCurrentIndex(5);
        Child<QComboBox>("ComboBox3")->setCurrentIndex(1);
        dialogs_->save_answers.push_back(output);
        Child<QPushButton>("BitBtn5")->click();

        const QList<QByteArray> bars = ReadAll(output).split('\n');
        QCOMPARE(bars.size(), 5);  // four bars and the empty piece after the last line end
        QCOMPARE(bars[0], QByteArray("1.31.2001, 1.5000, 1.6000, 1.4000, 1.5500\r"));
        QCOMPARE(bars[1], QByteArray("2.28.2001, 1.5000, 1.6000, 1.4000, 1.5500\r"));
        QCOMPARE(bars[3], QByteArray("4.3.2001, 1.5000, 1.6000, 1.4000, 1.5500\r"));
        QCOMPARE(dialogs_->messages, QStringList({"File " + output + " created!"}));
        QCOMPARE(dialogs_->message_details, QStringList{QStringLiteral("4 bars from 79 lines")});
        QVERIFY(!BreakRequested());
        QVERIFY(!TT_Progr->isVisible());
        // The bars show in the chart, hidden until now.
        auto* chart = Child<BarChart>("BarChart");
        QVERIFY(!chart->isHidden());
        QCOMPARE(chart->BarCount(), std::size_t{4});
    }

    void CreateBarReportsSkippedLinesAndWarnsWhenNoneReads() {
        const QString input = Path("skips.txt");
        WriteAll(input, "Date Open High Low Close\n01/02/2001 1 2 0.5 1.5\n01/03/2001 1 2\n");
        dialogs_->open_answers.push_back(input);
        Child<QPushButton>("BitBtn4")->click();
        Child<QComboBox>("ComboBoxD")->setCurrentIndex(5);
        Child<QComboBox>("ComboBox2")->setCurrentIndex(3);  // days
        dialogs_->save_answers.push_back(Path("skips-bars.txt"));
        Child<QPushButton>("BitBtn5")->click();
        QCOMPARE(dialogs_->message_details.size(), 1);
        QCOMPARE(dialogs_->message_details.front(),
                 QStringLiteral("1 bars from 3 lines; 2 lines skipped (first: line 1: Can't "
                                "extract Month string: DATE substring: DATE)"));

        // Lines none of which reads: a warning, no save dialog, nothing written.
        const QString none = Path("none.txt");
        WriteAll(none, "bad\nworse\n");
        dialogs_->open_answers.push_back(none);
        Child<QPushButton>("BitBtn4")->click();
        const int asked = dialogs_->save_asked;
        Child<QPushButton>("BitBtn5")->click();
        QCOMPARE(dialogs_->save_asked, asked);
        QCOMPARE(dialogs_->messages.size(), 1);
        QCOMPARE(dialogs_->errors.size(), 1);
        QVERIFY2(dialogs_->errors.front().startsWith(QStringLiteral("No line of 2 reads as a bar")),
                 qPrintable(dialogs_->errors.front()));
    }

    void CreateBarWithSaveCancelledWritesNothing() {
        dialogs_->save_answers.push_back(std::nullopt);
        Child<QPushButton>("BitBtn5")->click();
        QCOMPARE(dialogs_->save_asked, 1);
        QVERIFY(dialogs_->messages.isEmpty());
    }

    void BreakKeepsBarsClosedSoFar() {
        const QString input = Path("long.txt");
        const QString output = Path("long-bars.txt");
        WriteAll(input, DailyLines(QDate(1900, 1, 1), 73000));  // two centuries
        dialogs_->open_answers.push_back(input);
        Child<QPushButton>("BitBtn4")->click();
        QCOMPARE(Child<QComboBox>("ComboBoxD")->currentIndex(), 5);

        BarChoices choices;
        choices.date_layout = DateLayout::MMDDYYYYSlash;
        choices.time_layout = TimeLayout::NotIndicated;
        std::vector<std::string> all;
        QVERIFY(RunBars(LineSource::Lines(form_->BarLines(), "long.txt"), Destination::Lines(all),
                        choices)
                    .ok());
        QVERIFY(all.size() > 2000);

        // Press "Break" once the bar shows a fifth done, and look at the
        // window meanwhile.
        bool buttons_locked = false;
        bool text_locked = false;
        int pressed_at = -1;
        QTimer watcher;
        watcher.setInterval(0);
        connect(&watcher, &QTimer::timeout, this, [&] {
            if (TT_Progr == nullptr || TT_Progr->Position() < 20 || pressed_at >= 0) return;
            buttons_locked = !Child<QPushButton>("BitBtn5")->isEnabled() &&
                             !Child<QPushButton>("BitBtn1")->isEnabled() &&
                             !Child<QPushButton>("BitBtn4")->isEnabled();
            text_locked = Child<BarTextArea>("RichEdit1")->IsReadOnly();
            pressed_at = TT_Progr->Position();
            TT_Progr->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
        });
        watcher.start();
        dialogs_->save_answers.push_back(output);
        Child<QPushButton>("BitBtn5")->click();

        watcher.stop();
        QVERIFY(pressed_at >= 20);
        QVERIFY(buttons_locked);
        QVERIFY(text_locked);
        QVERIFY(Child<QPushButton>("BitBtn5")->isEnabled());
        QVERIFY(!Child<BarTextArea>("RichEdit1")->IsReadOnly());
        QByteArray written = ReadAll(output);
        QList<QByteArray> bars = written.split('\n');
        bars.removeLast();
        QVERIFY(!bars.isEmpty());
        QVERIFY(static_cast<std::size_t>(bars.size()) < all.size());
        for (qsizetype i = 0; i < bars.size(); ++i) {
            QCOMPARE(bars[i], QByteArray::fromStdString(all[static_cast<std::size_t>(i)] + "\r"));
        }
        QCOMPARE(dialogs_->messages, QStringList({"File " + output + " created!"}));
        QVERIFY(!BreakRequested());
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
