// The main window driven through answered dialogs: start-up state of every
// page, the example box, and each job from its button to the file written
// and the message shown.

#include <sys/resource.h>
#include <unistd.h>

#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "WindowFixture.h"
#include "bars/build_bars.h"
#include "calendar/date_layouts.h"
#include "convert/conversions.h"
#include "ui/BarChart.h"
#include "ui/BarTextArea.h"
#include "ui/MainWindow.h"
#include "ui/PlatformDialogs.h"
#include "ui/ProgressWindow.h"
#include "ui/ReportText.h"

using namespace varn;
using namespace varn::testing;

class MainWindowTest : public WindowFixture {
    Q_OBJECT

  private slots:
    void OpensOnBarPageWithDefaults() {
        QCOMPARE(window_->windowTitle(), QStringLiteral("Varn Format Convertor"));
        auto* pages = Child<QTabWidget>("pages");
        QVERIFY(pages != nullptr);
        QCOMPARE(pages->count(), 3);
        QCOMPARE(pages->tabText(0), QStringLiteral("Varn Format"));
        QCOMPARE(pages->tabText(1), QStringLiteral("Trunc File"));
        QCOMPARE(pages->tabText(2), QStringLiteral("Bar"));
        QCOMPARE(pages->currentWidget()->objectName(), QStringLiteral("bar_page"));

        auto* dates = Child<QComboBox>("date_layout_list");
        QCOMPARE(dates->count(), DateLayoutCount);
        QCOMPARE(dates->currentIndex(), 0);
        QCOMPARE(dates->itemText(14), QStringLiteral("YYYYMMDD    OHLC Vol O.I."));
        QCOMPARE(dates->itemText(21), QString::fromLatin1(DateLayoutItem(21).c_str()));

        QCOMPARE(Items(Child<QComboBox>("time_layout_list")),
                 QStringList({"Not Indicated", "DATE;21:45:15", "DATE;9:45pm", "DATE  21:45:15",
                              "DATE  9:45pm", "DATE  2145", "DATE;21:45", "DATE;214515",
                              "DATET21:45:15"}));
        QCOMPARE(Child<QComboBox>("time_layout_list")->currentIndex(), 0);
        QCOMPARE(Items(Child<QComboBox>("period_list")),
                 QStringList({"5 min bar", "15 min bar", "1 hour bar", "1 day bar", "1 week bar",
                              "1 month bar", "Quarterly bar", "Yearly bar"}));
        QCOMPARE(Child<QComboBox>("period_list")->currentText(), QStringLiteral("1 month bar"));
        QCOMPARE(Items(Child<QComboBox>("delimiter_list")), QStringList({"space", "comma"}));
        QCOMPARE(Child<QComboBox>("delimiter_list")->currentText(), QStringLiteral("space"));

        QCOMPARE(Child<QLabel>("delimiter_label")->text(), QStringLiteral("deli&miter"));
        QCOMPARE(Child<QLabel>("columns_label")->text(),
                 QStringLiteral("DATE [TIME] OPEN HIGH LOW CLOSE"));
        QCOMPARE(Child<QPushButton>("open_prices_button")->text(), QString());
        QVERIFY(!Child<QPushButton>("open_prices_button")->icon().isNull());
        QCOMPARE(Child<QPushButton>("create_bars_button")->text(), QStringLiteral("Create &Bar"));
        QVERIFY(Child<BarTextArea>("bar_text") != nullptr);
        QCOMPARE(window_->BarLines().Count(), std::size_t{0});
    }

    void FocusMovesThroughControlsInRowOrder_data() {
        QTest::addColumn<QStringList>("order");
        QTest::newRow("Varn Format")
            << QStringList({"conversion_list", "example_text", "convert_button"});
        QTest::newRow("Trunc File")
            << QStringList({"open_lines_button", "truncate_button", "keep_lines_box"});
        QTest::newRow("Bar") << QStringList({"open_prices_button", "date_layout_list",
                                             "time_layout_list", "period_list",
                                             "create_bars_button", "delimiter_list", "bar_text"});
    }
    void FocusMovesThroughControlsInRowOrder() {
        QFETCH(QStringList, order);
        QWidget* widget = window_->findChild<QWidget*>(order.front());
        QVERIFY(widget != nullptr);
        for (qsizetype i = 1; i < order.size(); ++i) {
            // The next named control in the chain, past the parts of the last one.
            do {
                widget = widget->nextInFocusChain();
            } while (!order.contains(widget->objectName()) && widget != window_.get());
            QCOMPARE(widget->objectName(), order[i]);
        }
    }

    void VarnFormatPageShowsFirstExample() {
        QCOMPARE(Child<QLabel>("format_label")->text(), QStringLiteral("F&ormat"));
        QCOMPARE(Child<QPushButton>("convert_button")->text(), QStringLiteral("&Convert"));
        QCOMPARE(Child<QGroupBox>("example_group")->title(), QStringLiteral("Example"));
        auto* formats = Child<QComboBox>("conversion_list");
        QCOMPARE(formats->count(), 5);
        QCOMPARE(formats->currentIndex(), 0);
        QVERIFY(formats->itemText(0).startsWith(QStringLiteral("from ")));
        QVERIFY(formats->itemText(0).endsWith(QStringLiteral(" YYYY,MM,DD,PRICE")));
        QCOMPARE(formats->itemText(2), QStringLiteral("mm/dd/yyyy daily -> mm/dd/yyyy monthly"));
        QCOMPARE(
            Child<QPlainTextEdit>("example_text")->toPlainText(),
            QStringLiteral("1971,1,4,4.318\n1971,1,5,4.3117\n1971,1,6,4.3113\n1971,1,7,4.3103"));
    }

    void TruncPageStartsEmpty() {
        QCOMPARE(Child<QPushButton>("open_lines_button")->text(), QStringLiteral("&Open"));
        QCOMPARE(Child<QLabel>("line_count_label")->text(), QStringLiteral("...."));
        QCOMPARE(Child<QPushButton>("truncate_button")->text(), QStringLiteral("&Truncate last"));
        QCOMPARE(Child<QLabel>("lines_label")->text(), QStringLiteral("&lines"));
        auto* spin = Child<QSpinBox>("keep_lines_box");
        QCOMPARE(spin->minimum(), 1);
        QCOMPARE(spin->maximum(), 10000000);
        QCOMPARE(spin->value(), 10000);
        QVERIFY(window_->TruncateLines().empty());
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
        auto* spin = Child<QSpinBox>("keep_lines_box");
        spin->selectAll();
        QTest::keyClicks(spin, typed);
        spin->interpretText();
        QCOMPARE(spin->value(), value);
    }

    // Every conversion shows lines of its input, and they convert.
    void ExampleBoxFollowsFormatList_data() {
        QTest::addColumn<int>("conversion");
        QTest::addColumn<QString>("first");
        QTest::newRow("0") << 0 << "1971,1,4,4.318";
        QTest::newRow("1") << 1 << R"("Date","Time","Open","High","Low","Close","Volume")";
        QTest::newRow("2") << 2 << "01/29/2004 1.1330";
        QTest::newRow("3") << 3 << "4.318";
        QTest::newRow("4") << 4 << "52275.5 1.234";
    }
    void ExampleBoxFollowsFormatList() {
        QFETCH(int, conversion);
        QFETCH(QString, first);
        auto* formats = Child<QComboBox>("conversion_list");
        formats->setCurrentIndex(conversion == 1 ? 2 : 1);
        formats->setCurrentIndex(conversion);
        const QStringList shown =
            Child<QPlainTextEdit>("example_text")->toPlainText().split(QLatin1Char('\n'));
        QCOMPARE(shown.front(), first);
        std::vector<std::string> lines;
        for (const QString& line : shown) lines.push_back(line.toStdString());
        std::vector<std::string> converted;
        const StringLines example(lines);
        const JobReport report =
            RunConversion(LineSource::Lines(example, "example"), Destination::Lines(converted),
                          {*ConversionOf(conversion)});
        QVERIFY(report.ok());
        // Conversion 1 passes over its header line.
        QCOMPARE(report.lines_skipped, conversion == 1 ? 1 : 0);
        QVERIFY(!converted.empty());
    }

    // The platform's open and save dialogs offer the price files and any file;
    // the open dialog compressed files too, which every job reads as text.
    void FileDialogsOfferAnyFile() {
        PlatformDialogs platform;
        for (const bool save : {false, true}) {
            QStringList filters;
            QTimer::singleShot(0, this, [&filters] {
                auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                filters = dialog->nameFilters();
                dialog->reject();
            });
            QString path = dir_.path();
            QVERIFY(!(save ? platform.GetSaveFileName(nullptr, path)
                           : platform.GetOpenFileName(nullptr, path)));
            QStringList want{"Text Files (*.txt *.csv *.prn *.asc)", "All files (*)"};
            if (!save) want.insert(1, QStringLiteral("Compressed files (*.gz *.zip)"));
            QCOMPARE(filters, want);
        }
    }

    void ConvertWritesFileAndReportsIt() {
        const QString input = Path("convert-in.txt");
        const QString output = Path("convert-out.txt");
        WriteAll(input, "1971,1,4,4.318\r\n2001,12,31,10\n");
        dialogs_->open_answers.push_back(input);
        dialogs_->save_answers.push_back(output);
        Click("convert_button");
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
        Click("convert_button");
        QCOMPARE(dialogs_->save_asked, save_asked);
        QVERIFY(dialogs_->messages.isEmpty());
        QVERIFY(dialogs_->errors.isEmpty());
    }

    void ConvertOfMissingFileNamesItInError() {
        const QString input = Path("no-such-file.txt");
        const QString output = Path("missing-out.txt");
        dialogs_->open_answers.push_back(input);
        dialogs_->save_answers.push_back(output);
        Click("convert_button");
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
        Click("convert_button");
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
        QVERIFY(window_->isEnabled());
    }

    void OpenCountsAndTruncateWritesLastLines() {
        QByteArray text;
        for (int i = 1; i <= 100; ++i) text += "line " + QByteArray::number(i) + "\n";
        const QString input = Path("trunc-in.txt");
        const QString output = Path("trunc-out.txt");
        WriteAll(input, text);
        dialogs_->open_answers.push_back(input);
        Click("open_lines_button");
        QCOMPARE(Child<QLabel>("line_count_label")->text(), QStringLiteral("100 lines"));
        QCOMPARE(window_->TruncateLines().size(), std::size_t{100});

        Child<QSpinBox>("keep_lines_box")->setValue(10);
        dialogs_->save_answers.push_back(output);
        Click("truncate_button");
        QByteArray want;
        for (int i = 91; i <= 100; ++i) want += "line " + QByteArray::number(i) + "\r\n";
        QCOMPARE(ReadAll(output), want);
        // Success is said, with how many lines were kept.
        QCOMPARE(dialogs_->messages,
                 QStringList{QStringLiteral("File ") + output + QStringLiteral(" created!")});
        QCOMPARE(dialogs_->message_details, QStringList{QStringLiteral("last 10 of 100 lines")});
        QCOMPARE(Child<QLabel>("line_count_label")->text(), QStringLiteral("100 lines"));

        // Again with another count, from the same held lines.
        Child<QSpinBox>("keep_lines_box")->setValue(1000);
        dialogs_->save_answers.push_back(output);
        Click("truncate_button");
        QCOMPARE(ReadAll(output), text.replace("\n", "\r\n"));
    }

    void WriteFailuresNameTheFile() {
        const QString input = Path("failing-in.txt");
        const QString output = Path("no-such-folder/out.txt");
        WriteAll(input, "01/02/2001 1.5 1.6 1.4 1.55\r\n");
        dialogs_->open_answers.push_back(input);
        Click("open_lines_button");
        dialogs_->save_answers.push_back(output);
        Click("truncate_button");
        OpenPrices(input);
        Child<QComboBox>("date_layout_list")->setCurrentIndex(5);
        dialogs_->save_answers.push_back(output);
        dialogs_->save_answers.push_back(std::nullopt);  // asked again: cancelled
        Click("create_bars_button");
        QCOMPARE(dialogs_->errors.size(), 2);
        for (const QString& error : dialogs_->errors)
            QVERIFY2(error.contains(output), qPrintable(error));
        QVERIFY(dialogs_->messages.isEmpty());
        QVERIFY(!QFile::exists(output));
    }

    void OpenFailureKeepsLabelAndReports() {
        dialogs_->open_answers.push_back(Path("absent.txt"));
        Click("open_lines_button");
        QCOMPARE(Child<QLabel>("line_count_label")->text(), QStringLiteral("...."));
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
        Child<QComboBox>("date_layout_list")->setCurrentIndex(3);
        Child<QComboBox>("time_layout_list")->setCurrentIndex(2);
        OpenPrices(input);
        QCOMPARE(window_->BarLines().Count(), static_cast<std::size_t>(lines));
        QCOMPARE(Child<QComboBox>("date_layout_list")->currentIndex(), date_layout);
        QCOMPARE(Child<QComboBox>("time_layout_list")->currentIndex(), time_layout);
    }

    void BarOpenCancelledKeepsTheLoadedLines() {
        const QString input = Path("some.txt");
        WriteAll(input, "01/02/2001 1.5 1.6 1.4 1.55\r\n");
        OpenPrices(input);
        QCOMPARE(window_->BarLines().Count(), std::size_t{1});
        window_->BarLines().Append("an edit");
        dialogs_->open_answers.push_back(std::nullopt);
        Click("open_prices_button");
        QCOMPARE(window_->BarLines().Count(), std::size_t{2});
        QCOMPARE(window_->BarLines().Line(1), std::string_view("an edit"));
        // A short file is not guessed at, and the status line says so.
        QCOMPARE(Child<QLabel>("bar_status")->text(),
                 QStringLiteral("some.txt: 1 lines. Short file (\u2264 100 lines): choose the "
                                "layouts. Read: separator spaces."));
    }

    void DialogsStartBesideTheInputWithAProposedName() {
        const QString input = Path("prices.csv");
        WriteAll(input, "1971,1,4,4.318\n");
        dialogs_->open_answers.push_back(input);
        dialogs_->save_answers.push_back(std::nullopt);
        Click("convert_button");
        QCOMPARE(dialogs_->save_proposals, QStringList{Path("prices-0.txt")});

        // The next open dialog starts in the folder last chosen from.
        dialogs_->open_answers.push_back(std::nullopt);
        Click("open_prices_button");
        QCOMPARE(dialogs_->open_proposals.back(), QFileInfo(input).absolutePath());

        dialogs_->open_answers.push_back(input);
        Click("open_lines_button");
        Child<QSpinBox>("keep_lines_box")->setValue(7);
        dialogs_->save_answers.push_back(std::nullopt);
        Click("truncate_button");
        QCOMPARE(dialogs_->save_proposals.back(), Path("prices-last7.txt"));
        // The output of a compressed file is plain text.
        QFile::copy(input, Path("prices.csv.gz"));
        dialogs_->open_answers.push_back(Path("prices.csv.gz"));
        Click("convert_button");
        QCOMPARE(dialogs_->save_proposals.back(), Path("prices-0.txt"));
    }

    void DroppedFileLoadsIntoThePageThatShows() {
        const QString input = Path("dropped.txt");
        // Lines conversion 0 reads, so that the Varn Format page writes them.
        WriteAll(input, "1971,1,4,4.318\n1971,1,5,4.3117\n");
        auto* pages = Child<QTabWidget>("pages");
        pages->setCurrentIndex(1);
        window_->DropFile(input);
        WaitUntilIdle();
        QCOMPARE(Child<QLabel>("line_count_label")->text(), QStringLiteral("2 lines"));
        QCOMPARE(window_->BarLines().Count(), std::size_t{0});
        pages->setCurrentIndex(2);
        window_->DropFile(input);
        WaitUntilIdle();
        QCOMPARE(window_->BarLines().Count(), std::size_t{2});
        // On the Varn Format page the file is the input: only the save dialog asks.
        pages->setCurrentIndex(0);
        dialogs_->save_answers.push_back(Path("dropped-0.txt"));
        window_->DropFile(input);
        WaitUntilIdle();
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
        OpenPrices(mixed);
        // Why nothing fits, in the core's words.
        const Detection nothing =
            DetectInputLayouts(window_->BarLines(), DateNames(EnglishRegionalNames()));
        QCOMPARE(Child<QLabel>("bar_status")->text(),
                 QStringLiteral("mixed.txt: 150 lines. No layout pair fits 96 of the first 100 "
                                "lines: ") +
                     WindowWords(nothing.reason) + QStringLiteral(". Read: separator spaces."));

        const QString daily = Path("status-daily.txt");
        WriteAll(daily, DailyLines(QDate(2001, 1, 1), 120));
        OpenPrices(daily);
        QCOMPARE(Child<QLabel>("bar_status")->text(),
                 QStringLiteral("status-daily.txt: 120 lines. Detected: MM/DD/YYYY  OHLC Vol O.I. "
                                "+ Not Indicated (100 of 100 lines fit). Read: separator "
                                "spaces."));

        // A layout chosen by hand: how many of the first lines read under it.
        auto* dates = Child<QComboBox>("date_layout_list");
        dates->setCurrentIndex(6);  // DD/MM/YYYY: days above 12 do not read
        emit dates->activated(6);
        QVERIFY2(
            Child<QLabel>("bar_status")
                ->text()
                .contains(QStringLiteral(" of the first 100 lines read under the chosen layouts")),
            qPrintable(Child<QLabel>("bar_status")->text()));
        QVERIFY(!Child<QLabel>("bar_status")->text().contains(QStringLiteral(" 100 of the first")));
    }

    // The preview follows the layouts, the price form and the text.
    void LinePreviewFollowsLayoutsAndText() {
        auto* preview = Child<QLabel>("line_preview");
        QVERIFY(preview != nullptr);
        QCOMPARE(preview->text(), QString());  // nothing loaded
        const QString daily = Path("preview-daily.txt");
        WriteAll(daily, DailyLines(QDate(2001, 1, 15), 120));
        window_->LoadBarFile(daily);
        WaitUntilIdle();
        const QString reads = QStringLiteral(
            "Line 1 reads: date 2001-01-15  no time  open 1.5  high 1.6  low 1.4  close 1.55");
        QCOMPARE(preview->text(), reads);

        auto* dates = Child<QComboBox>("date_layout_list");
        dates->setCurrentIndex(6);  // DD/MM/YYYY: the 15th month does not read
        QVERIFY2(preview->text().startsWith(QStringLiteral("Line 1 does not read: ")),
                 qPrintable(preview->text()));
        dates->setCurrentIndex(5);
        QCOMPARE(preview->text(), reads);

        Child<QComboBox>("price_form_list")->setCurrentIndex(2);  // single
        QCOMPARE(preview->text(),
                 QStringLiteral("Line 1 reads: date 2001-01-15  no time  price 1.5"));
        Child<QComboBox>("price_form_list")->setCurrentIndex(0);

        // Editing the first line: "1.5" becomes "7.5".
        auto* area = Child<BarTextArea>("bar_text");
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
        const QString output = Path("bars.txt");
        OpenDaily("daily.txt", 79);  // 15 January to 3 April
        Child<QComboBox>("delimiter_list")->setCurrentIndex(1);
        dialogs_->save_answers.push_back(output);
        Click("create_bars_button");

        const QList<QByteArray> bars = ReadAll(output).split('\n');
        QCOMPARE(bars.size(), 5);  // four bars and the empty piece after the last line end
        QCOMPARE(bars[0], QByteArray("1.31.2001, 1.5000, 1.6000, 1.4000, 1.5500\r"));
        QCOMPARE(bars[1], QByteArray("2.28.2001, 1.5000, 1.6000, 1.4000, 1.5500\r"));
        QCOMPARE(bars[3], QByteArray("4.3.2001, 1.5000, 1.6000, 1.4000, 1.5500\r"));
        QCOMPARE(dialogs_->messages, QStringList({"File " + output + " created!"}));
        QCOMPARE(dialogs_->message_details, QStringList{QStringLiteral("4 bars from 79 lines")});
        QVERIFY(!window_->Progress().isVisible());
        // The bars show in the chart, hidden until now.
        auto* chart = Child<BarChart>("chart");
        QVERIFY(!chart->isHidden());
        QCOMPARE(chart->BarCount(), std::size_t{4});
    }

    void CreateBarReportsSkippedLinesAndWarnsWhenNoneReads() {
        const QString input = Path("skips.txt");
        WriteAll(input, "Date Open High Low Close\n01/02/2001 1 2 0.5 1.5\n01/03/2001 1 2\n");
        OpenPrices(input);
        Child<QComboBox>("date_layout_list")->setCurrentIndex(5);
        Child<QComboBox>("period_list")->setCurrentIndex(3);  // days
        dialogs_->save_answers.push_back(Path("skips-bars.txt"));
        Click("create_bars_button");
        QCOMPARE(dialogs_->message_details.size(), 1);
        QCOMPARE(dialogs_->message_details.front(),
                 QStringLiteral("1 bars from 2 lines after the header on line 1; 1 line skipped "
                                "(first: line 3: fewer than four prices)"));

        // Lines none of which reads: a warning, no save dialog, nothing written.
        const QString none = Path("none.txt");
        WriteAll(none, "bad\nworse\n");
        OpenPrices(none);
        const int asked = dialogs_->save_asked;
        Click("create_bars_button");
        QCOMPARE(dialogs_->save_asked, asked);
        QCOMPARE(dialogs_->messages.size(), 1);
        QCOMPARE(dialogs_->errors.size(), 1);
        QVERIFY2(dialogs_->errors.front().startsWith(QStringLiteral("No line of 2 reads as a bar")),
                 qPrintable(dialogs_->errors.front()));
    }

    void BreakKeepsBarsClosedSoFar() {
        const QString input = Path("long.txt");
        const QString output = Path("long-bars.txt");
        WriteAll(input, DailyLines(QDate(1900, 1, 1), 73000));  // two centuries
        OpenPrices(input);
        QCOMPARE(Child<QComboBox>("date_layout_list")->currentIndex(), 5);

        BarChoices choices;
        choices.date_layout = DateLayout::MMDDYYYYSlash;
        choices.time_layout = TimeLayout::NotIndicated;
        std::vector<std::string> all;
        QVERIFY(RunBars(LineSource::Lines(window_->BarLines(), "long.txt"), Destination::Lines(all),
                        choices)
                    .ok());
        QVERIFY(all.size() > 2000);

        // Press "Break" once a fifth is done, and look at the window meanwhile.
        bool buttons_locked = false;
        bool text_locked = false;
        int pressed_at = -1;
        AtProgress(20, [&] {
            ProgressWindow& progress = window_->Progress();
            buttons_locked = !Child<QPushButton>("create_bars_button")->isEnabled() &&
                             !Child<QPushButton>("convert_button")->isEnabled() &&
                             !Child<QPushButton>("open_prices_button")->isEnabled();
            text_locked = Child<BarTextArea>("bar_text")->IsReadOnly();
            pressed_at = progress.Position();
            progress.findChild<QPushButton*>(QStringLiteral("break_button"))->click();
        });
        dialogs_->save_answers.push_back(output);
        Click("create_bars_button");

        QVERIFY(pressed_at >= 20);
        QVERIFY(buttons_locked);
        QVERIFY(text_locked);
        QVERIFY(Child<QPushButton>("create_bars_button")->isEnabled());
        QVERIFY(!Child<BarTextArea>("bar_text")->IsReadOnly());
        QByteArray written = ReadAll(output);
        QList<QByteArray> bars = written.split('\n');
        bars.removeLast();
        QVERIFY(!bars.isEmpty());
        QVERIFY(static_cast<std::size_t>(bars.size()) < all.size());
        for (qsizetype i = 0; i < bars.size(); ++i) {
            QCOMPARE(bars[i], QByteArray::fromStdString(all[static_cast<std::size_t>(i)] + "\r"));
        }
        QCOMPARE(dialogs_->messages, QStringList({"File " + output + " created!"}));
        QVERIFY(!window_->Progress().isVisible());
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
