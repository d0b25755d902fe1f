// The Bar page's row of further choices: where it starts, and that what it
// shows reaches the bar job (the file written).

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "WindowFixture.h"

using namespace varn;
using namespace varn::testing;

namespace {

// 150 five-minute lines from Sunday 7 January 2001 15:00 to Monday 03:25:
// line i has prices i, i + 1, i, i, volume 10 and open interest 100 + i.
QByteArray FiveMinuteLines() {
    QByteArray text;
    for (int i = 0; i < 150; ++i) {
        const int minutes = 15 * 60 + 5 * i;
        text += QStringLiteral("01/%1/2001 %2:%3 %4 %5 %4 %4 10 %6\n")
                    .arg(7 + minutes / 1440, 2, 10, QLatin1Char('0'))
                    .arg(minutes / 60 % 24, 2, 10, QLatin1Char('0'))
                    .arg(minutes % 60, 2, 10, QLatin1Char('0'))
                    .arg(i)
                    .arg(i + 1)
                    .arg(100 + i)
                    .toLatin1();
    }
    return text;
}

}  // namespace

class BarOptionsTest : public WindowFixture {
    Q_OBJECT

  private:
    // Loads input, builds bars into output; the lines written.
    QList<QByteArray> Build(const QString& input, const QString& output) {
        OpenPrices(input);
        dialogs_->save_answers.push_back(output);
        Click("create_bars_button");
        QList<QByteArray> lines = ReadAll(output).split('\n');
        if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
        for (QByteArray& line : lines) line.chop(line.endsWith('\r') ? 1 : 0);
        return lines;
    }

  private slots:
    void StartsAtTheBarsOfTheListsAlone() {
        for (const char* name : {"volume_box", "open_interest_box", "header_box"}) {
            QVERIFY2(!Child<QCheckBox>(name)->isChecked(), name);
        }
        QCOMPARE(Items(Child<QComboBox>("price_form_list")),
                 QStringList({"auto", "ohlc", "single"}));
        QCOMPARE(Child<QComboBox>("price_form_list")->currentIndex(), 0);
        QCOMPARE(Items(Child<QComboBox>("stamp_list")), QStringList({"classic", "iso"}));
        QCOMPARE(Child<QComboBox>("stamp_list")->currentIndex(), 0);
        QCOMPARE(Child<QLineEdit>("session_start_edit")->text(), QStringLiteral("00:00"));

        // The lengths are those that divide a day; the period list is untouched.
        const QStringList lengths = Items(Child<QComboBox>("bar_length_list"));
        QCOMPARE(Child<QComboBox>("bar_length_list")->currentIndex(), 0);
        QCOMPARE(lengths.size(), 1 + 36);  // 1440 has 36 divisors
        for (const char* length : {"1 min", "3 min", "20 min", "90 min", "1 h", "12 h", "24 h"}) {
            QVERIFY2(lengths.contains(QString::fromLatin1(length)), length);
        }
        for (const char* length : {"7 min", "50 min", "60 min", "720 min", "5 h", "48 h"}) {
            QVERIFY2(!lengths.contains(QString::fromLatin1(length)), length);
        }
        QCOMPARE(Child<QComboBox>("period_list")->count(), 8);
    }

    void ChoicesReachTheJob_data() {
        QTest::addColumn<bool>("volume");
        QTest::addColumn<bool>("open_interest");
        QTest::addColumn<int>("period");
        QTest::addColumn<QString>("minutes");
        QTest::addColumn<QString>("session");
        QTest::addColumn<int>("stamp");
        QTest::addColumn<bool>("header");
        QTest::addColumn<int>("delimiter");
        QTest::addColumn<QList<QByteArray>>("want");
        QTest::newRow("defaults: one monthly bar")
            << false << false << 5 << "period list"
            << "00:00" << 0 << false << 0
            << QList<QByteArray>{"1.8.2001 3:25 0.00000 150.00 0.00000 149.00"};
        QTest::newRow("12 hours with volume and open interest, comma")
            << true << true << 5 << "12 h"
            << "00:00" << 0 << false << 1
            << QList<QByteArray>{"1.7.2001 23:55, 0.00000, 108.00, 0.00000, 107.00, 1080, 207",
                                 "1.8.2001 3:25, 108.00, 150.00, 108.00, 149.00, 420, 249"};
        QTest::newRow("days from 17:00, iso, header")
            << false << false << 3 << "period list"
            << "-07:00" << 1 << true << 0
            << QList<QByteArray>{"date open high low close",
                                 "2001-01-07T16:55:00 0.00000 24.00 0.00000 23.00",
                                 "2001-01-08T03:25:00 24.00 150.00 24.00 149.00"};
        QTest::newRow("hours from 09:30, volume")
            << true << false << 2 << "period list"
            << "9:30" << 0 << false << 0 << QList<QByteArray>{};  // checked by count below
    }
    void ChoicesReachTheJob() {
        QFETCH(bool, volume);
        QFETCH(bool, open_interest);
        QFETCH(int, period);
        QFETCH(QString, minutes);
        QFETCH(QString, session);
        QFETCH(int, stamp);
        QFETCH(bool, header);
        QFETCH(int, delimiter);
        QFETCH(QList<QByteArray>, want);
        const QString input = Path("five.txt");
        WriteAll(input, FiveMinuteLines());

        Child<QCheckBox>("volume_box")->setChecked(volume);
        Child<QCheckBox>("open_interest_box")->setChecked(open_interest);
        Child<QComboBox>("period_list")->setCurrentIndex(period);
        auto* lengths = Child<QComboBox>("bar_length_list");
        lengths->setCurrentIndex(lengths->findText(minutes));
        QCOMPARE(lengths->currentText(), minutes);
        auto* start = Child<QLineEdit>("session_start_edit");
        start->clear();
        QTest::keyClicks(start, session);
        QCOMPARE(start->text(), session);
        Child<QComboBox>("stamp_list")->setCurrentIndex(stamp);
        Child<QCheckBox>("header_box")->setChecked(header);
        Child<QComboBox>("delimiter_list")->setCurrentIndex(delimiter);

        const QList<QByteArray> got = Build(input, Path("bars.txt"));
        if (!want.isEmpty()) {
            QCOMPARE(got, want);
            return;
        }
        // Hourly bars from 09:30: 15:00-15:29 is one bar, then one per hour
        // to 02:30-03:25; every bar of whole hours sums twelve volumes.
        QCOMPARE(got.size(), 13);
        QCOMPARE(got.front(), QByteArray("1.7.2001 15:25 0.00000 6.0000 0.00000 5.0000 60"));
        QCOMPARE(got[1], QByteArray("1.7.2001 16:25 6.0000 18.00 6.0000 17.00 120"));
        QCOMPARE(got.back(), QByteArray("1.8.2001 3:25 138.00 150.00 138.00 149.00 120"));
    }

    void StampMomentAndDecimalsReachTheJob() {
        const QString input = Path("five.txt");
        WriteAll(input, FiveMinuteLines());
        Child<QComboBox>("period_list")->setCurrentIndex(3);      // days
        Child<QComboBox>("stamp_time_list")->setCurrentIndex(1);  // period start
        auto* decimals = Child<QComboBox>("decimals_list");
        QCOMPARE(decimals->itemText(0), QStringLiteral("size"));
        decimals->setCurrentIndex(decimals->findText(QStringLiteral("3")));
        QCOMPARE(Build(input, Path("bars.txt")),
                 QList<QByteArray>({"1.7.2001 0:0 0.000 108.000 0.000 107.000",
                                    "1.8.2001 0:0 108.000 150.000 108.000 149.000"}));
    }

    void AutoReadsOnePriceLinesAsDetected() {
        QByteArray ticks = "Date Time Price Volume\n";
        for (int i = 0; i < 120; ++i) {
            ticks += QStringLiteral("01/02/2001 10:%1 %2.5 %3\n")
                         .arg(i / 2, 2, 10, QLatin1Char('0'))
                         .arg(i)
                         .arg(i % 2 + 1)
                         .toLatin1();
        }
        const QString input = Path("ticks.txt");
        WriteAll(input, ticks);
        Child<QComboBox>("period_list")->setCurrentIndex(3);  // days
        Child<QCheckBox>("volume_box")->setChecked(true);
        QCOMPARE(Build(input, Path("tick-bars.txt")),
                 QList<QByteArray>{"1.2.2001 10:59 0.5000 119.50 0.5000 119.50 180"});

        // Asked for four prices, the same lines give no bars: nothing is
        // written and the window says why.
        Child<QComboBox>("price_form_list")->setCurrentIndex(1);
        Build(input, Path("tick-bars-ohlc.txt"));
        QVERIFY(!QFile::exists(Path("tick-bars-ohlc.txt")));
        QCOMPARE(dialogs_->errors.size(), 1);
    }
};

QTEST_MAIN(BarOptionsTest)
#include "BarOptionsRowTest.moc"
