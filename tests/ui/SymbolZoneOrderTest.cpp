// The Bar page's choices of symbol, time zones and time order give the bars of
// `varn bars`; symbols are listed and split, a zone that is none is refused
// with the core's reason, the report tells how the lines stood.

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <algorithm>
#include <functional>
#include <random>

#include "WindowFixture.h"
#include "bars/build_bars.h"
#include "calendar/zone_shift.h"
#include "ui/BarChart.h"
#include "ui/ProgressWindow.h"

using namespace varn;
using namespace varn::testing;
using Lines = QList<QByteArray>;

namespace {

constexpr char kTickerHeader[] = "Ticker,Date,Time,Open,High,Low,Close,Volume\n";

// 120 lines of 15 January 2024, 7 minutes apart from 10:00, prices and volume
// growing; with symbols, the symbol column first, line i of symbols[i % count].
Lines MinuteLines(const QStringList& symbols = {}) {
    Lines lines;
    for (int i = 0; i < 120; ++i) {
        const QString symbol = symbols.isEmpty() ? QString() : symbols[i % symbols.size()] + ',';
        lines += (symbol + QString::asprintf("01/15/2024,%02d:%02d:00,%d,%d,%d,%d,%d",
                                             (600 + 7 * i) / 60, (600 + 7 * i) % 60, 100 + i,
                                             101 + i, 99 + i, 100 + i, 10 + i))
                     .toLatin1();
    }
    return lines;
}

QByteArray Text(const QByteArray& header, const Lines& lines) {
    return header + lines.join('\n') + '\n';
}

// What `varn bars --period hour --volume` writes of path, with change made.
QByteArray CoreBars(const QString& path, const std::function<void(BarChoices&)>& change = {}) {
    BarChoices choices;
    choices.period = BarPeriod::Hour;
    choices.volume = true;
    if (change) change(choices);
    std::vector<std::string> bars;
    const JobReport report =
        RunBars(LineSource::File(path.toStdString()), Destination::Lines(bars), choices);
    QByteArray text = report.ok() ? QByteArray() : "<refused>";
    for (const std::string& bar : bars) text += QByteArray::fromStdString(bar) + "\r\n";
    return text;
}

}  // namespace

class SymbolZoneOrderTest : public WindowFixture {
    Q_OBJECT

  private:
    // Writes text to name and opens it for hour bars with volume.
    QString Open(const char* name, const QByteArray& text) {
        WriteAll(Path(name), text);
        Child<QComboBox>("period_list")->setCurrentIndex(2);
        Child<QCheckBox>("volume_box")->setChecked(true);
        OpenPrices(Path(name));
        return Path(name);
    }
    // Create Bar into bars.txt; the bytes written, the chart showing as many.
    QByteArray Build() {
        dialogs_->save_answers.emplace_back(Path("bars.txt"));
        Click("create_bars_button");
        QByteArray written = ReadAll(Path("bars.txt"));
        [&] { QCOMPARE(Child<BarChart>("chart")->BarCount(), std::size_t(written.count('\n'))); }();
        return written;
    }

  private slots:
    void SymbolListChoosesTheBarsBuilt_data() {
        QTest::addColumn<QStringList>("symbols");
        QTest::addColumn<int>("chosen");  // -1: as the list starts
        QTest::newRow("two symbols, the first") << QStringList{"AAA", "B/B"} << -1;
        QTest::newRow("three symbols, the second") << QStringList{"AAA", "B/B", "CC"} << 1;
        QTest::newRow("three symbols, one file each") << QStringList{"AAA", "B/B", "CC"} << 3;
        QTest::newRow("one symbol: no list") << QStringList{"AAA"} << -1;
    }
    void SymbolListChoosesTheBarsBuilt() {
        QFETCH(QStringList, symbols);
        QFETCH(int, chosen);
        // The load of another file, whose symbols are still being counted
        // (the load does not wait for the count), stops the count.
        WriteAll(Path("big.csv"), kTickerHeader + Text("", MinuteLines({"X", "Y"})).repeated(3000));
        dialogs_->open_answers.emplace_back(Path("big.csv"));
        Child<QPushButton>("open_prices_button")->click();
        QTRY_VERIFY_WITH_TIMEOUT(Child<QPushButton>("open_prices_button")->isEnabled(), 120000);
        const QString input = Open("symbols.csv", Text(kTickerHeader, MinuteLines(symbols)));
        auto* list = Child<QComboBox>("symbol_list");
        QCOMPARE(list->isVisibleTo(window_.get()), symbols.size() > 1);
        QCOMPARE(Items(list),
                 symbols.size() > 1 ? symbols + QStringList{"one file each"} : QStringList());
        if (chosen >= 0) list->setCurrentIndex(chosen);
        const auto core = [&](const QString& symbol) {
            return CoreBars(input, [&](BarChoices& c) { c.symbol = symbol.toStdString(); });
        };
        if (chosen < symbols.size()) {
            const QString symbol = symbols.size() > 1 ? symbols[std::max(chosen, 0)] : QString();
            QCOMPARE(Build(), core(symbol));
            const QByteArray named =
                symbol.isEmpty() ? "" : symbol.toLatin1().replace('/', '_') + '-';
            QCOMPARE(dialogs_->save_proposals.value(0), Path("symbols-") + named + "hour.txt");
            return;
        }
        // One file each: a folder is asked for (cancelled, nothing is done).
        dialogs_->folder_answers = {std::nullopt, Path("split")};
        Click("create_bars_button");
        Click("create_bars_button");
        QVERIFY(dialogs_->folder_proposals == QStringList({dir_.path(), dir_.path()}) &&
                dialogs_->save_asked == 0);
        QCOMPARE(QDir(Path("split")).count(), uint(symbols.size() + 2));  // with . and ..
        for (const QString& symbol : symbols) {
            QCOMPARE(ReadAll(Path("split/") + QString(symbol).replace('/', '_') + ".txt"),
                     core(symbol));
        }
        QCOMPARE(dialogs_->messages,
                 QStringList{"One file per symbol created in " + Path("split") + "!"});
        QVERIFY(dialogs_->message_details[0].startsWith("3 symbols, a file each: AAA, B/B, CC\n"));
        QVERIFY(Child<BarChart>("chart")->isHidden());
    }

    void ZonesAreRefusedWithTheCoreReasonOrUsed_data() {
        QTest::addColumn<QString>("zone_in");
        QTest::addColumn<QString>("zone_out");
        QTest::addColumn<QString>("refused");  // the field that shows refused, or none
        const auto row = [](const char* name, const char* in, const char* out, const char* field) {
            QTest::newRow(name) << in << out << field;
        };
        row("none", "", "", "");
        row("London to New York, any case", "europe/london", "America/New_York", "");
        row("zone in misspelt", "Europe/Lundon", "America/New_York", "zone_in_list");
        row("zone out a path", "", "../etc/passwd", "zone_out_list");
    }
    void ZonesAreRefusedWithTheCoreReasonOrUsed() {
        QFETCH(QString, zone_in);
        QFETCH(QString, zone_out);
        QFETCH(QString, refused);
        const QString input =
            Open("zones.csv", Text("Date,Time,Open,High,Low,Close,Volume\n", MinuteLines()));
        auto* status = Child<QLabel>("bar_status");
        const QString detected = status->text();
        Child<QComboBox>("zone_in_list")->setCurrentText(zone_in);
        auto* out = Child<QComboBox>("zone_out_list");
        out->setCurrentText(zone_out);
        out->showPopup();  // the list, once used, offers the database's names
        out->hidePopup();
        QVERIFY(Items(out).contains("America/New_York") && out->currentText() == zone_out);
        if (refused.isEmpty()) {
            QCOMPARE(Build(), CoreBars(input, [&](BarChoices& c) {
                         c.zone_in = zone_in.toStdString();
                         c.zone_out = zone_out.toStdString();
                     }));
            QCOMPARE(status->text(), detected);
            return;
        }
        auto* field = Child<QComboBox>(refused.toLatin1().constData());
        std::string reason;
        QVERIFY(FindZone(field->currentText().toStdString(), reason) == nullptr);
        QVERIFY(field->property("refused").toBool() && field->toolTip() == reason.c_str());
        QVERIFY(status->text().endsWith(reason.c_str()) &&
                !Child<QWidget>("create_bars_button")->isEnabled());
        window_->OnCreateBarsClicked();  // as a key would
        WaitUntilIdle();
        QVERIFY(dialogs_->save_asked == 0 && dialogs_->errors.isEmpty());
        field->setCurrentText(QString());
        QVERIFY(Child<QWidget>("create_bars_button")->isEnabled() && status->text() == detected);
    }

    // Lines in any order give the bars of the sorted file, the report says
    // how they stood, and the chart shows the bars written once each. Break
    // keeps the bars closed so far, in time order: newest first, the newest
    // bars whole.
    void TimeOrderOfTheLines_data() {
        QTest::addColumn<int>("arrangement");
        QTest::addColumn<bool>("keep");
        QTest::addColumn<QString>("note");
        QTest::addColumn<bool>("stop");  // Break pressed a fifth of the way
        QTest::newRow("in order") << 0 << false << "" << false;
        QTest::newRow("newest first") << 1 << false << "read newest first" << false;
        QTest::newRow("shuffled") << 2 << false << "lines out of time order" << false;
        QTest::newRow("overlapping") << 3 << false << "200 duplicate lines counted once" << false;
        QTest::newRow("newest first, file order kept") << 1 << true << "" << false;
        QTest::newRow("newest first, Break") << 1 << false << "read newest first" << true;
        QTest::newRow("shuffled, Break") << 2 << false << "lines out of time order" << true;
    }
    void TimeOrderOfTheLines() {
        QFETCH(int, arrangement);
        QFETCH(bool, keep);
        QFETCH(QString, note);
        QFETCH(bool, stop);
        Lines lines = DailyLines(QDate(1900, 1, 1), stop ? 73000 : 1000).split('\n');
        lines.removeLast();
        WriteAll(Path("sorted.txt"), lines.join('\n') + '\n');
        if (arrangement == 1) std::reverse(lines.begin(), lines.end());
        if (arrangement == 2) std::shuffle(lines.begin(), lines.end(), std::mt19937(5));
        if (arrangement == 3) lines = lines.mid(0, 600) + lines.mid(400);
        const QString input = Open("order.txt", lines.join('\n') + '\n');
        Child<QCheckBox>("keep_order_box")->setChecked(keep);
        auto* stopper = window_->Progress().findChild<QPushButton*>(QStringLiteral("break_button"));
        if (stop) AtProgress(20, [stopper] { stopper->click(); });
        const QByteArray built = Build();
        const auto order = [keep](BarChoices& c) { c.order = keep ? TimeOrder::Keep : c.order; };
        const QByteArray all = CoreBars(input, order);
        const QString details = dialogs_->message_details.value(0);
        QVERIFY2(note.isEmpty() ? !details.contains('\n') : details.contains(note),
                 qPrintable(details));
        if (!stop) {
            QCOMPARE(built, all);
            QCOMPARE(built == CoreBars(Path("sorted.txt"), order), !keep);
            return;
        }
        QVERIFY(details.startsWith("Stopped by Break") && built.size() < all.size());
        if (arrangement == 1) QVERIFY(all.endsWith(built));
        QDate last;
        for (const QByteArray& bar : built.trimmed().split('\n')) {
            const QDate date = QDate::fromString(bar.left(bar.indexOf(' ')), "M.d.yyyy");
            QVERIFY2(date > last, bar.constData());
            last = date;
        }
    }
};

QTEST_MAIN(SymbolZoneOrderTest)
#include "SymbolZoneOrderTest.moc"
