// What the window remembers between runs: every choice comes back as it was
// left, and settings written under an earlier version's keys are read once
// under their names.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSettings>
#include <QSpinBox>
#include <QtTest>

#include "WindowFixture.h"
#include "ui/WindowSettings.h"

using namespace varn;
using namespace varn::testing;

namespace {

// A control's value as a text, whatever its kind.
QString Shown(const QWidget* control) {
    if (const auto* list = qobject_cast<const QComboBox*>(control)) return list->currentText();
    if (const auto* number = qobject_cast<const QSpinBox*>(control)) return number->text();
    if (const auto* box = qobject_cast<const QCheckBox*>(control)) {
        return box->isChecked() ? QStringLiteral("ticked") : QStringLiteral("clear");
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(control)) return edit->text();
    return QStringLiteral("<unknown control>");
}

// Changes a control away from its default: the next item, the box ticked,
// the number or text given.
void Change(QWidget* control, const QString& text) {
    if (auto* list = qobject_cast<QComboBox*>(control)) {
        list->setCurrentIndex(list->findText(text));
    } else if (auto* number = qobject_cast<QSpinBox*>(control)) {
        number->setValue(text.toInt());
    } else if (auto* box = qobject_cast<QCheckBox*>(control)) {
        box->setChecked(text == QLatin1String("ticked"));
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setText(text);
    }
}

}  // namespace

class WindowSettingsTest : public WindowFixture {
    Q_OBJECT

  private slots:
    void EveryChoiceComesBack_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("conversion") << "conversion_list"
                                    << "convert/conversion"
                                    << "price -> DATA + price";
        QTest::newRow("lines kept") << "keep_lines_box"
                                    << "truncate/lines"
                                    << "250";
        QTest::newRow("date layout") << "date_layout_list"
                                     << "bars/date_layout"
                                     << "YYYYMMDD    OHLC Vol O.I.";
        QTest::newRow("time layout") << "time_layout_list"
                                     << "bars/time_layout"
                                     << "DATE  2145";
        QTest::newRow("period") << "period_list"
                                << "bars/period"
                                << "1 day bar";
        QTest::newRow("delimiter") << "delimiter_list"
                                   << "bars/delimiter"
                                   << "comma";
        QTest::newRow("volume") << "volume_box"
                                << "bars/volume"
                                << "ticked";
        QTest::newRow("open interest") << "open_interest_box"
                                       << "bars/open_interest"
                                       << "ticked";
        QTest::newRow("prices") << "price_form_list"
                                << "bars/prices"
                                << "single";
        QTest::newRow("bar length") << "bar_length_list"
                                    << "bars/length"
                                    << "20 min";
        QTest::newRow("session") << "session_start_edit"
                                 << "bars/session_start"
                                 << "-07:00";
        QTest::newRow("stamp") << "stamp_list"
                               << "bars/stamp"
                               << "iso";
        QTest::newRow("header") << "header_box"
                                << "bars/header"
                                << "ticked";
    }
    void EveryChoiceComesBack() {
        QFETCH(QString, control);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QSettings settings(Path("round-trip.ini"), QSettings::IniFormat);
        settings.clear();
        QWidget* changed = Child<QWidget>(control.toLatin1().constData());
        const QString before = Shown(changed);
        Change(changed, value);
        QCOMPARE(Shown(changed), value);
        window_->SetLastFolder(dir_.path());
        SaveWindowSettings(*window_, settings);
        QVERIFY(settings.contains(key));

        MainWindow again(EnglishRegionalNames(), dialogs_.get());
        QWidget* restored = again.findChild<QWidget*>(control);
        QCOMPARE(Shown(restored), before);
        RestoreWindowSettings(again, settings);
        QCOMPARE(Shown(restored), value);
        QCOMPARE(again.LastFolder(), dir_.path());
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
        QWidget* shown = Child<QWidget>(control.toLatin1().constData());
        const QString before = Shown(shown);
        RestoreWindowSettings(*window_, settings);
        QCOMPARE(Shown(shown), before);
    }

    // Settings an earlier version wrote are read once, under their new keys.
    void OldKeysMoveToTheirNames_data() {
        QTest::addColumn<QString>("old_key");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("shown");
        QTest::newRow("conversion")
            << "choices/ComboBox1"
            << "convert/conversion"
            << "conversion_list" << 2 << "mm/dd/yyyy daily -> mm/dd/yyyy monthly";
        QTest::newRow("period") << "choices/ComboBox2"
                                << "bars/period"
                                << "period_list" << 3 << "1 day bar";
        QTest::newRow("delimiter") << "choices/ComboBox3"
                                   << "bars/delimiter"
                                   << "delimiter_list" << 1 << "comma";
        QTest::newRow("lines") << "choices/SpinEdit1"
                               << "truncate/lines"
                               << "keep_lines_box" << 250 << "250";
    }
    void OldKeysMoveToTheirNames() {
        QFETCH(QString, old_key);
        QFETCH(QString, key);
        QFETCH(QString, control);
        QFETCH(int, value);
        QFETCH(QString, shown);
        QSettings settings(Path("old.ini"), QSettings::IniFormat);
        settings.clear();
        settings.setValue(old_key, value);
        RestoreWindowSettings(*window_, settings);
        QVERIFY(!settings.contains(old_key));
        QCOMPARE(settings.value(key).toInt(), value);
        QCOMPARE(Shown(Child<QWidget>(control.toLatin1().constData())), shown);
        // A value under the new key wins over an old one left beside it.
        settings.setValue(old_key, 1);
        MigrateWindowSettings(settings);
        QCOMPARE(settings.value(key).toInt(), value);
        QVERIFY(!settings.contains(old_key));
    }
};

QTEST_MAIN(WindowSettingsTest)
#include "WindowSettingsTest.moc"
