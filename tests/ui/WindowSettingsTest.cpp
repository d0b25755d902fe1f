// What the window remembers between runs, and settings of earlier versions.

#include <QMetaProperty>
#include <QSettings>
#include <QtTest>

#include "WindowFixture.h"
#include "ui/WindowSettings.h"

using namespace varn;
using namespace varn::testing;

namespace {

// What a control shows, by its user property: a list's item, a box's number
// or tick, an edit's text.
QString Shown(const QWidget* control) {
    return control->metaObject()->userProperty().read(control).toString();
}

}  // namespace

class WindowSettingsTest : public WindowFixture {
    Q_OBJECT

  private:
    QWidget* Control(const QString& name) { return Child<QWidget>(name.toLatin1().constData()); }

  private slots:
    // Each choice comes back as it was left; one an earlier version kept
    // under another key is read from there once, and a value under the new
    // key wins over an old one left beside it.
    void EveryChoiceComesBack_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("old_key");
        QTest::addColumn<int>("old_value");
        const auto row = [](const char* name, const char* control, const char* key,
                            const char* value, const char* old_key = "", int old_value = 0) {
            QTest::newRow(name) << control << key << value << old_key << old_value;
        };
        row("conversion", "conversion_list", "convert/conversion", "price -> DATA + price",
            "choices/ComboBox1", 3);
        row("lines kept", "keep_lines_box", "truncate/lines", "250", "choices/SpinEdit1", 250);
        row("period", "period_list", "bars/period", "1 day bar", "choices/ComboBox2", 3);
        row("delimiter", "delimiter_list", "bars/delimiter", "comma", "choices/ComboBox3", 1);
        row("date layout", "date_layout_list", "bars/date_layout", "YYYY OHLC Vol O.I.");
        row("time layout", "time_layout_list", "bars/time_layout", "DATE  2145");
        row("volume", "volume_box", "bars/volume", "true");
        row("open interest", "open_interest_box", "bars/open_interest", "true");
        row("prices", "price_form_list", "bars/prices", "single");
        row("bar length", "bar_length_list", "bars/length", "20 min");
        row("session", "session_start_edit", "bars/session_start", "-07:00");
        row("stamp", "stamp_list", "bars/stamp", "iso");
        row("header", "header_box", "bars/header", "true");
        row("columns", "columns_edit", "bars/columns", "symbol,skip,date,time,open,high,low,close");
        row("decimal comma", "decimal_comma_box", "bars/decimal_comma", "true");
        row("zone in", "zone_in_list", "bars/zone_in", "Europe/London");
        row("zone out", "zone_out_list", "bars/zone_out", "America/New_York");
        row("keep order", "keep_order_box", "bars/keep_order", "true");
        row("stamp time", "stamp_time_list", "bars/stamp_time", "end");
        row("decimals", "decimals_list", "bars/decimals", "input");
    }
    void EveryChoiceComesBack() {
        QFETCH(QString, control);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QString, old_key);
        QFETCH(int, old_value);
        QSettings settings(Path("round-trip.ini"), QSettings::IniFormat);
        settings.clear();
        QWidget* changed = Control(control);
        const QString before = Shown(changed);
        QVERIFY(changed->metaObject()->userProperty().write(changed, value));
        window_->SetLastFolder(dir_.path());
        SaveWindowSettings(*window_, settings);
        QVERIFY(settings.contains(key));
        for (const bool old : {false, true}) {
            if (old && old_key.isEmpty()) break;
            if (old) {
                settings.clear();
                settings.setValue(old_key, old_value);
            }
            MainWindow again(EnglishRegionalNames(), dialogs_.get());
            QWidget* restored = again.findChild<QWidget*>(control);
            QCOMPARE(Shown(restored), before);
            RestoreWindowSettings(again, settings);
            QCOMPARE(Shown(restored), value);
            QCOMPARE(again.LastFolder(), old ? QString() : dir_.path());
        }
        if (old_key.isEmpty()) return;
        QVERIFY(!settings.contains(old_key));
        settings.setValue(old_key, 0);
        MigrateWindowSettings(settings);
        QCOMPARE(settings.value(key).toInt(), old_value);
        QVERIFY(!settings.contains(old_key));
    }

    // A value out of range or of the wrong kind keeps the default.
    void BadValuesKeepTheDefaults_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("period past the list") << "period_list"
                                              << "bars/period"
                                              << "8";
        QTest::newRow("period not a number") << "period_list"
                                             << "bars/period"
                                             << "day";
        QTest::newRow("session half typed") << "session_start_edit"
                                            << "bars/session_start"
                                            << "9:3";
        QTest::newRow("columns naming no column") << "columns_edit"
                                                  << "bars/columns"
                                                  << "date,opn,high,low,close";
        QTest::newRow("zone naming no zone") << "zone_out_list"
                                             << "bars/zone_out"
                                             << "Europe/Lundon";
        QTest::newRow("volume not a tick") << "volume_box"
                                           << "bars/volume"
                                           << "maybe";
    }
    void BadValuesKeepTheDefaults() {
        QFETCH(QString, control);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QSettings settings(Path("bad.ini"), QSettings::IniFormat);
        settings.clear();
        settings.setValue(key, value);
        const QString before = Shown(Control(control));
        RestoreWindowSettings(*window_, settings);
        QCOMPARE(Shown(Control(control)), before);
    }
};

QTEST_MAIN(WindowSettingsTest)
#include "WindowSettingsTest.moc"
