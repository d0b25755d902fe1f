#include "ui/WindowSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSettings>
#include <QSpinBox>

#include "ui/MainWindow.h"

namespace varn {
namespace {

// A remembered choice: its key, the key earlier versions kept it under (or
// null), and the objectName of the control that shows it.
struct RememberedChoice {
    const char* key;
    const char* old_key;
    const char* control;
};

constexpr RememberedChoice RememberedChoices[] = {
    {"convert/conversion", "choices/ComboBox1", "conversion_list"},
    {"truncate/lines", "choices/SpinEdit1", "keep_lines_box"},
    {"bars/date_layout", nullptr, "date_layout_list"},
    {"bars/time_layout", nullptr, "time_layout_list"},
    {"bars/period", "choices/ComboBox2", "period_list"},
    {"bars/delimiter", "choices/ComboBox3", "delimiter_list"},
    {"bars/volume", nullptr, "volume_box"},
    {"bars/open_interest", nullptr, "open_interest_box"},
    {"bars/prices", nullptr, "price_form_list"},
    {"bars/length", nullptr, "bar_length_list"},
    {"bars/session_start", nullptr, "session_start_edit"},
    {"bars/stamp", nullptr, "stamp_list"},
    {"bars/header", nullptr, "header_box"},
    {"bars/columns", nullptr, "columns_edit"},
    {"bars/decimal_comma", nullptr, "decimal_comma_box"},
    {"bars/zone_in", nullptr, "zone_in_list"},
    {"bars/zone_out", nullptr, "zone_out_list"},
    {"bars/keep_order", nullptr, "keep_order_box"},
    {"bars/stamp_time", nullptr, "stamp_time_list"},
    {"bars/decimals", nullptr, "decimals_list"},
};

// What a control shows, as its setting holds it: a list's index (an
// editable list's text), a box's number or tick, an edit's text.
QVariant ValueOf(const QWidget* control) {
    if (const auto* list = qobject_cast<const QComboBox*>(control)) {
        if (list->isEditable()) return list->currentText();
        return list->currentIndex();
    }
    if (const auto* number = qobject_cast<const QSpinBox*>(control)) return number->value();
    if (const auto* box = qobject_cast<const QCheckBox*>(control)) return box->isChecked();
    if (const auto* edit = qobject_cast<const QLineEdit*>(control)) return edit->text();
    return {};
}

// Shows value in control when it is one the control can show.
void Show(QWidget* control, const QVariant& value) {
    bool ok = false;
    if (auto* list = qobject_cast<QComboBox*>(control)) {
        if (list->isEditable()) {
            const QString before = list->currentText();
            list->setCurrentText(value.toString());
            // A text the list shows refused brings back what it showed.
            if (list->property("refused").toBool()) list->setCurrentText(before);
            return;
        }
        const int index = value.toInt(&ok);
        if (ok && index >= 0 && index < list->count()) list->setCurrentIndex(index);
    } else if (auto* number = qobject_cast<QSpinBox*>(control)) {
        const int n = value.toInt(&ok);
        if (ok) number->setValue(n);  // the box keeps it within its range
    } else if (auto* box = qobject_cast<QCheckBox*>(control)) {
        const QString text = value.toString();
        if (text == QLatin1String("true") || text == QLatin1String("false")) {
            box->setChecked(value.toBool());
        }
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        const QString before = edit->text();
        edit->setText(value.toString());
        // A text the edit would not take brings back what it showed.
        if (!edit->hasAcceptableInput()) edit->setText(before);
    }
}

}  // namespace

void MigrateWindowSettings(QSettings& settings) {
    for (const RememberedChoice& choice : RememberedChoices) {
        if (choice.old_key == nullptr || !settings.contains(choice.old_key)) continue;
        if (!settings.contains(choice.key)) {
            settings.setValue(choice.key, settings.value(choice.old_key));
        }
        settings.remove(choice.old_key);
    }
}

void RestoreWindowSettings(MainWindow& window) {
    QSettings settings;
    RestoreWindowSettings(window, settings);
}

void RestoreWindowSettings(MainWindow& window, QSettings& settings) {
    MigrateWindowSettings(settings);
    if (const QByteArray geometry = settings.value("window/geometry").toByteArray();
        !geometry.isEmpty()) {
        window.restoreGeometry(geometry);
    }
    window.SetLastFolder(settings.value("window/folder").toString());
    for (const RememberedChoice& choice : RememberedChoices) {
        auto* control = window.findChild<QWidget*>(QString::fromLatin1(choice.control));
        if (control != nullptr && settings.contains(choice.key)) {
            Show(control, settings.value(choice.key));
        }
    }
}

void SaveWindowSettings(const MainWindow& window) {
    QSettings settings;
    SaveWindowSettings(window, settings);
}

void SaveWindowSettings(const MainWindow& window, QSettings& settings) {
    settings.setValue("window/geometry", window.saveGeometry());
    settings.setValue("window/folder", window.LastFolder());
    for (const RememberedChoice& choice : RememberedChoices) {
        if (const auto* control = window.findChild<QWidget*>(QString::fromLatin1(choice.control))) {
            settings.setValue(choice.key, ValueOf(control));
        }
    }
}

}  // namespace varn
