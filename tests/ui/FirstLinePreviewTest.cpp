// The preview of the Bar page's first line: what each field reads as under
// the chosen layouts, or the parser's reason when the line does not read.

#include <QtTest>
#include <string>
#include <vector>

#include "bars/bar_line.h"
#include "calendar/regional.h"
#include "io/job.h"
#include "ui/FirstLinePreview.h"

using namespace varn;

Q_DECLARE_METATYPE(DateLayout)
Q_DECLARE_METATYPE(TimeLayout)
Q_DECLARE_METATYPE(PriceForm)

class LinePreviewTest : public QObject {
    Q_OBJECT

  private slots:
    void PreviewOfFirstLine_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<DateLayout>("date");
        QTest::addColumn<TimeLayout>("time");
        QTest::addColumn<PriceForm>("form");
        QTest::addColumn<QString>("want");
        const QStringList daily{"01/02/2006 1.5 1.6 1.4 1.55", "01/03/2006 1 2 3 4"};
        QTest::newRow("reads as chosen")
            << daily << DateLayout::MMDDYYYYSlash << TimeLayout::NotIndicated << PriceForm::Ohlc
            << "Line 1 reads: date 2006-01-02  no time  open 1.5  high 1.6  low 1.4  close 1.55";
        QTest::newRow("day and month swapped show")
            << daily << DateLayout::DDMMYYYYSlash << TimeLayout::NotIndicated << PriceForm::Ohlc
            << "Line 1 reads: date 2006-02-01  no time  open 1.5  high 1.6  low 1.4  close 1.55";
        // A whole-number open read as the time 12:00 moves every price along.
        QTest::newRow("whole-number price taken for a time")
            << QStringList{"01/02/2006 1200 1203 1198 1201 500"} << DateLayout::MMDDYYYYSlash
            << TimeLayout::BlankDigits << PriceForm::Ohlc
            << "Line 1 reads: date 2006-01-02  time 12:00:00  open 1203  high 1198  low 1201  "
               "close 500";
        QTest::newRow("time of day")
            << QStringList{"2006/01/02 09:30:15 1 2 0.5 1.25"} << DateLayout::YYYYMMDDSlash
            << TimeLayout::BlankHms << PriceForm::Ohlc
            << "Line 1 reads: date 2006-01-02  time 09:30:15  open 1  high 2  low 0.5  close 1.25";
        QTest::newRow("one price a line")
            << QStringList{"20060102 1234.5 900"} << DateLayout::YYYYMMDD
            << TimeLayout::NotIndicated << PriceForm::Single
            << "Line 1 reads: date 2006-01-02  no time  price 1234.5";
        QTest::newRow("blank lines passed over")
            << QStringList{"", " \t", "01/02/2006 1 2 3 4"} << DateLayout::MMDDYYYYSlash
            << TimeLayout::NotIndicated << PriceForm::Ohlc
            << "Line 3 reads: date 2006-01-02  no time  open 1  high 2  low 3  close 4";
        QTest::newRow("too few prices gives the reason")
            << QStringList{"01/02/2006 1.5 1.6", "01/03/2006 1 2 3 4"} << DateLayout::MMDDYYYYSlash
            << TimeLayout::NotIndicated << PriceForm::Ohlc
            << "Line 1 does not read: " + QString::fromLatin1(FewerThanFourPrices.data());
        QTest::newRow("no line") << QStringList{"", "  "} << DateLayout::MMDDYYYYSlash
                                 << TimeLayout::NotIndicated << PriceForm::Ohlc
                                 << "No price line to preview";
        // Read as the job reads them: after the header, rewritten.
        QTest::newRow("header passed over")
            << QStringList{"Date,Open,High,Low,Close", "01/02/2006,1.5,1.6,1.4,1.55"}
            << DateLayout::MMDDYYYYSlash << TimeLayout::NotIndicated << PriceForm::Ohlc
            << "Line 2 reads: date 2006-01-02  no time  open 1.5  high 1.6  low 1.4  close 1.55";
        QTest::newRow("semicolons and decimal commas")
            << QStringList{"02.01.2019;10.586,70;10.823,42;10.568,26;10.680,92;132921872"}
            << DateLayout::DDMMYYYYDot << TimeLayout::NotIndicated << PriceForm::Ohlc
            << "Line 1 reads: date 2019-01-02  no time  open 10586.7  high 10823.42  low "
               "10568.26  close 10680.92";
    }
    void PreviewOfFirstLine() {
        QFETCH(QStringList, lines);
        QFETCH(DateLayout, date);
        QFETCH(TimeLayout, time);
        QFETCH(PriceForm, form);
        QFETCH(QString, want);
        std::vector<std::string> store;
        for (const QString& line : lines) store.push_back(line.toStdString());
        const StringLines list(store);
        // The shape as the window finds it, from the first lines.
        const std::vector<std::string_view> first(store.begin(), store.end());
        LineShape shape;
        std::string reason;
        QVERIFY2(FindLineShape(first, ShapeChoices{{}, false, form}, shape, reason),
                 reason.c_str());
        QCOMPARE(
            FirstLinePreviewText(list, shape, date, time, form, DateNames(EnglishRegionalNames())),
            want);
    }

    // A date that does not read gives the date parser's own words, whatever
    // they are: the preview passes them on rather than a text of its own.
    void DateFailureGivesParserReason() {
        const std::string line = "hello 1 2 3 4";
        const DateNames names(EnglishRegionalNames());
        ParsedDate date;
        BarLine bar;
        ShortText reason;
        QVERIFY(!ReadBarFields(DateLayout::MMDDYYYYSlash, TimeLayout::NotIndicated, BarReading{},
                               line, names, date, bar, &reason));
        QVERIFY(!reason.empty());
        QCOMPARE(LinePreviewText(0, line, DateLayout::MMDDYYYYSlash, TimeLayout::NotIndicated,
                                 PriceForm::Ohlc, names),
                 QStringLiteral("Line 1 does not read: ") + QString::fromStdString(reason));
    }
};

QTEST_MAIN(LinePreviewTest)
#include "FirstLinePreviewTest.moc"
