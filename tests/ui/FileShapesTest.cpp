// Price files in the shapes vendors write them in, loaded, detected and built
// into bars through the window as `varn bars` reads them: the same layouts,
// words of how the lines read and bars; or refused, saying why.

#include <zlib.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "WindowFixture.h"
#include "bars/build_bars.h"
#include "ui/ReportText.h"

using namespace varn;
using namespace varn::testing;

namespace {

// 120 lines after header, 40 on each of 2 to 4 January 2024, written by
// pattern: {D} the day, {U} the date as MM/DD/YYYY, {T} the time 10:MM, {O},
// {H}, {L} and {C} the prices with decimals digits after mark. Lines 50 and
// 100 have their high below their low.
QByteArray Lines(const char* header, QString pattern, int decimals = 2, QChar mark = '.') {
    QByteArray text = header;
    for (int i = 0; i < 120; ++i) {
        const double open = 100 + 10 * (i / 40) + (i % 40) * 0.25;
        const auto price = [&](double p) {
            return QString::number(p, 'f', decimals).replace('.', mark);
        };
        text += QString(pattern)
                    .replace("{D}", QString::number(2 + i / 40))
                    .replace("{U}", QStringLiteral("01/0%1/2024").arg(2 + i / 40))
                    .replace("{T}", QStringLiteral("10:%1").arg(i % 40, 2, 10, QChar('0')))
                    .replace("{O}", price(open))
                    .replace("{H}", price(i % 50 == 49 ? open - 1 : open + 0.5))
                    .replace("{L}", price(open - 0.5))
                    .replace("{C}", price(open + 0.25))
                    .toLatin1() +
                '\n';
    }
    return text;
}

// bytes written to path as they are, gzipped or in UTF-16.
void WritePacked(const QString& path, const QByteArray& bytes, const QString& packing) {
    const QByteArray name = path.toLocal8Bit();
    if (packing == QLatin1String("gzip")) {
        gzFile file = gzopen(name.constData(), "wb");
        gzwrite(file, bytes.constData(), static_cast<unsigned>(bytes.size()));
        gzclose(file);
    } else if (packing == QLatin1String("UTF-16")) {
        QByteArray wide("\xff\xfe");  // little-endian, after its byte order mark
        for (const char c : bytes) wide.append(c).append('\0');
        WriteAll(path, wide);
    } else {
        WriteAll(path, bytes);
    }
}

}  // namespace

class FileShapesTest : public WindowFixture {
    Q_OBJECT

  private:
    QString Status() { return Child<QLabel>("bar_status")->text(); }

  private slots:
    void ReadsAsTheCommandLineReads_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("packing");
        QTest::addColumn<QString>("columns");     // typed after the load, "!" for Enter after
        QTest::addColumn<bool>("decimal_comma");  // ticked after the load
        const QByteArray reordered =
            Lines("Time,Close,Low,High,Open,Date,Volume\n", "{T},{C},{L},{H},{O},{U},1000");
        const QByteArray semicolons = Lines("", "0{D}.01.2024;{T};{O};{H};{L};{C};1.500", 2, ',');
        const QByteArray ticker = Lines("", "X,9,{O},{H},{L},{C},{U},{T}");
        const QString named = QStringLiteral("symbol,skip,open,high,low,close,date,time");
        const auto row = [](const char* name, const QByteArray& bytes, const char* packing = "",
                            const QString& columns = {}, bool comma = false) {
            QTest::newRow(name) << bytes << QString(packing) << columns << comma;
        };
        row("header, columns in another order", reordered);
        row("semicolons, decimal commas", semicolons);
        row("ISO stamps", Lines("", "2024-01-0{D}T{T}:00Z,{O},{H},{L},{C},7"));
        row("gzip", semicolons, "gzip");
        row("UTF-16, a zone word", Lines("", "{U} {T}:59.421 US/Eastern {O} {H} {L} {C} 5"),
            "UTF-16");
        row("columns typed, Enter", ticker, "", named + "!");
        row("columns typed, Create Bar at once", ticker, "", named);
        row("decimal comma ticked", Lines("", "{U};{T};{O};{H};{L};{C};1.250", 3, ','), "", {},
            true);
    }
    void ReadsAsTheCommandLineReads() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, packing);
        QFETCH(QString, columns);
        QFETCH(bool, decimal_comma);
        const QString path = Path("prices.csv");
        WritePacked(path, bytes, packing);
        Child<QComboBox>("period_list")->setCurrentIndex(3);  // days
        Child<QCheckBox>("volume_box")->setChecked(true);
        OpenPrices(path);
        Child<QCheckBox>("decimal_comma_box")->setChecked(decimal_comma);
        WaitUntilIdle();
        const bool enter = columns.endsWith('!');
        QTest::keyClicks(Child<QLineEdit>("columns_edit"), columns.remove('!'));
        if (enter) QTest::keyClick(Child<QLineEdit>("columns_edit"), Qt::Key_Return);
        WaitUntilIdle();
        // Create Bar detects again what was typed and not yet taken.
        dialogs_->save_answers.push_back(Path("bars.txt"));
        Click("create_bars_button");

        // The command line on the file, with the same choices.
        BarChoices choices;
        choices.period = BarPeriod::Day;
        choices.volume = true;
        choices.shape.decimal_comma = decimal_comma;
        std::string why;
        QVERIFY(columns.isEmpty() ||
                ReadColumnList(columns.toStdString(), choices.shape.columns, why));
        const JobReport detected = RunDetect(LineSource::File(path.toStdString()), choices);
        QVERIFY2(detected.ok(), detected.detection_reason.c_str());
        std::vector<std::string> want;
        const JobReport built =
            RunBars(LineSource::File(path.toStdString()), Destination::Lines(want), choices);
        QVERIFY2(built.ok() && built.lines_out_of_order > 0, built.status.Message().c_str());
        QCOMPARE(Child<QComboBox>("date_layout_list")->currentIndex(),
                 Number(detected.layouts->date));
        QCOMPARE(Child<QComboBox>("time_layout_list")->currentIndex(),
                 Number(detected.layouts->time));
        // How the lines read, in the words of the command line's report.
        const QString status = Status();
        QVERIFY2(status.contains(ReadingText(*detected.reading)), qPrintable(status));
        for (const std::string& note : detected.notes) QVERIFY(status.contains(WindowWords(note)));
        // A layout chosen by hand is counted as detection counts.
        emit Child<QComboBox>("date_layout_list")->activated(Number(detected.layouts->date));
        QVERIFY2(Status().contains(
                     QStringLiteral("%1 of the first 100 lines").arg(detected.fitting_lines)),
                 qPrintable(Status()));
        QByteArray bars;
        for (const std::string& line : want) bars += QByteArray::fromStdString(line) + "\r\n";
        QCOMPARE(ReadAll(Path("bars.txt")), bars);
        const QString report = dialogs_->message_details.value(0);
        QVERIFY2(report.contains(
                     QStringLiteral(
                         "%1 lines have high below low or open/close outside high-low (line %2)")
                         .arg(built.lines_out_of_order)
                         .arg(built.first_out_of_order)),
                 qPrintable(report));
        for (const std::string& note : built.notes) QVERIFY(report.contains(WindowWords(note)));
        QVERIFY(!report.contains(QStringLiteral("skipped")));  // a header is not
    }

    // An unknown column shows refused, and nothing is built until it reads.
    void UnknownColumnIsRefused() {
        WriteAll(Path("daily.txt"), DailyLines(QDate(2001, 1, 1), 120));
        OpenPrices(Path("daily.txt"));
        const QString detected = Status();
        auto* edit = Child<QLineEdit>("columns_edit");
        auto* create = Child<QPushButton>("create_bars_button");
        QTest::keyClicks(edit, QStringLiteral("date,opn,high,low,close"));
        std::vector<Column> columns;
        std::string reason;
        QVERIFY(!ReadColumnList("date,opn,high,low,close", columns, reason));
        const QString why = QString::fromStdString(reason);
        QVERIFY(edit->property("refused").toBool() && edit->toolTip() == why);
        QVERIFY(edit->palette().color(QPalette::Base) != create->palette().color(QPalette::Base));
        QCOMPARE(Status(), QStringLiteral("Columns field: ") + why);
        QVERIFY(!create->isEnabled() && create->toolTip().contains(why));
        QTest::keyClick(edit, Qt::Key_Return);
        window_->OnCreateBarsClicked();  // as a key would
        WaitUntilIdle();
        QCOMPARE(dialogs_->save_asked, 0);
        edit->setText(QStringLiteral("date,open,high,low,close"));
        QVERIFY(!edit->property("refused").toBool() && create->isEnabled());
        QCOMPARE(Status(), detected);
        // A list that reads but cannot give bars: Create Bar says why (as the
        // status line does) and builds nothing.
        edit->setText(QStringLiteral("date,high,low"));
        Click("create_bars_button");
        QCOMPARE(dialogs_->errors, QStringList{Status()});
        QCOMPARE(dialogs_->save_asked, 0);
    }

    // Lines the core refuses to build bars from, however the job is given
    // them: the window says why in its words, and saves nothing.
    void RefusedWithTheCoreReason_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("on_load");  // the status line says it once loaded
        QTest::newRow("columns that cannot give bars")
            << Lines("Date,Open,Close\n", "{U},{O},{C}") << true;
        // Price, bid, ask and size: which is the volume asked for cannot be
        // told (the window summed the bids when it gave the job the layouts).
        QTest::newRow("volume of tick lines") << Lines("", "{U},{T}:05,{O},{L},{H},2") << false;
    }
    void RefusedWithTheCoreReason() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, on_load);
        WriteAll(Path("refused.csv"), bytes);
        Child<QCheckBox>("volume_box")->setChecked(true);
        OpenPrices(Path("refused.csv"));
        BarChoices choices;
        choices.volume = true;
        std::vector<std::string> bars;
        const JobReport core = RunBars(LineSource::File(Path("refused.csv").toStdString()),
                                       Destination::Lines(bars), choices);
        const QString why = WindowWords(core.detection_reason);
        QVERIFY(!core.ok() && !why.isEmpty());
        QVERIFY2(Status().endsWith(why) == on_load, qPrintable(Status()));
        Child<QComboBox>("date_layout_list")->setCurrentIndex(5);  // MM/DD/YYYY
        Click("create_bars_button");
        QCOMPARE(dialogs_->save_asked, 0);
        QVERIFY2(dialogs_->errors.value(0).endsWith(why), qPrintable(dialogs_->errors.value(0)));
    }
};

QTEST_MAIN(FileShapesTest)
#include "FileShapesTest.moc"
