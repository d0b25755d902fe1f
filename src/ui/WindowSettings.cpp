#include "ui/WindowSettings.h"

#include <QComboBox>
#include <QSettings>
#include <QSpinBox>

#include "ui/UVarnFormat.h"

namespace varn {
namespace {

// The lists whose choice is remembered, by objectName.
constexpr const char* RememberedLists[] = {"ComboBox1", "ComboBox2", "ComboBox3"};

}  // namespace

void RestoreWindowSettings(TForm1& form) {
    QSettings settings;
    if (const QByteArray geometry = settings.value("window/geometry").toByteArray();
        !geometry.isEmpty()) {
        form.restoreGeometry(geometry);
    }
    form.SetLastFolder(settings.value("window/folder").toString());
    for (const char* name : RememberedLists) {
        auto* list = form.findChild<QComboBox*>(QString::fromLatin1(name));
        bool ok = false;
        const int index = settings.value(QStringLiteral("choices/") + name).toInt(&ok);
        if (list != nullptr && ok && index >= 0 && index < list->count()) {
            list->setCurrentIndex(index);
        }
    }
    if (auto* lines = form.findChild<QSpinBox*>(QStringLiteral("SpinEdit1"))) {
        bool ok = false;
        const int value = settings.value("choices/SpinEdit1").toInt(&ok);
        if (ok) lines->setValue(value);  // the box keeps it within its range
    }
}

void SaveWindowSettings(const TForm1& form) {
    QSettings settings;
    settings.setValue("window/geometry", form.saveGeometry());
    settings.setValue("window/folder", form.LastFolder());
    for (const char* name : RememberedLists) {
        if (const auto* list = form.findChild<QComboBox*>(QString::fromLatin1(name))) {
            settings.setValue(QStringLiteral("choices/") + name, list->currentIndex());
        }
    }
    if (const auto* lines = form.findChild<QSpinBox*>(QStringLiteral("SpinEdit1"))) {
        settings.setValue("choices/SpinEdit1", lines->value());
    }
}

}  // namespace varn
