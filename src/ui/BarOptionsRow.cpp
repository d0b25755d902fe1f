#include "ui/BarOptionsRow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include "bars/bar_line.h"

namespace varn {
namespace {

QComboBox* List(QWidget* parent, const char* name, const QStringList& items) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->addItems(items);
    list->setCurrentIndex(0);
    return list;
}

QCheckBox* Box(QWidget* parent, const char* name, const QString& text) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QLabel* Caption(QWidget* parent, const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setBuddy(buddy);
    return label;
}

}  // namespace

BarOptionsRow::BarOptionsRow(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("BarOptionsRow"));

    CheckBoxVolume = Box(this, "CheckBoxVolume", QStringLiteral("volume"));
    CheckBoxOpenInterest = Box(this, "CheckBoxOpenInterest", QStringLiteral("open interest"));
    ComboBoxPrices = List(this, "ComboBoxPrices", {"auto", "ohlc", "single"});
    ComboBoxPrices->setToolTip(
        QStringLiteral("Four prices per line (ohlc), one (single), or as detected (auto)"));
    connect(ComboBoxPrices, &QComboBox::currentIndexChanged, this, &BarOptionsRow::FormChanged);

    // The period list, or any length that divides a day into whole bars,
    // in hours when it is whole hours.
    QStringList lengths{QStringLiteral("period list")};
    for (int minutes = 1; minutes <= 1440; ++minutes) {
        if (!ValidBarMinutes(minutes)) continue;
        lengths.push_back(minutes % 60 == 0 ? QString::number(minutes / 60) + " h"
                                            : QString::number(minutes) + " min");
    }
    ComboBoxMinutes = List(this, "ComboBoxMinutes", lengths);
    ComboBoxMinutes->setToolTip(
        QStringLiteral("Minutes or hours per bar, in place of the period list"));

    EditSessionStart = new QLineEdit(QStringLiteral("00:00"), this);
    EditSessionStart->setObjectName(QStringLiteral("EditSessionStart"));
    EditSessionStart->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("-?([01]?[0-9]|2[0-3]):[0-5][0-9]")), EditSessionStart));
    EditSessionStart->setMaximumWidth(64);
    EditSessionStart->setToolTip(
        QStringLiteral("Time of day minute to week bars begin, [-]HH:MM (-07:00: 17:00 the day "
                       "before)"));
    connect(EditSessionStart, &QLineEdit::textChanged, this, &BarOptionsRow::SessionEdited);
    connect(EditSessionStart, &QLineEdit::editingFinished, this, [this] {
        // Leaving a start half typed brings back the last one that read.
        if (!ReadSessionStart(EditSessionStart->text().toStdString())) {
            const int offset = session_offset_ < 0 ? -session_offset_ : session_offset_;
            EditSessionStart->setText(QStringLiteral("%1%2:%3")
                                          .arg(session_offset_ < 0 ? "-" : "")
                                          .arg(offset / 60, 2, 10, QLatin1Char('0'))
                                          .arg(offset % 60, 2, 10, QLatin1Char('0')));
        }
    });

    ComboBoxStamp = List(this, "ComboBoxStamp", {"classic", "iso"});
    CheckBoxHeader = Box(this, "CheckBoxHeader", QStringLiteral("header"));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(CheckBoxVolume);
    layout->addWidget(CheckBoxOpenInterest);
    layout->addWidget(Caption(this, QStringLiteral("prices"), ComboBoxPrices));
    layout->addWidget(ComboBoxPrices);
    layout->addWidget(Caption(this, QStringLiteral("bar"), ComboBoxMinutes));
    layout->addWidget(ComboBoxMinutes);
    layout->addWidget(Caption(this, QStringLiteral("session"), EditSessionStart));
    layout->addWidget(EditSessionStart);
    layout->addWidget(Caption(this, QStringLiteral("stamp"), ComboBoxStamp));
    layout->addWidget(ComboBoxStamp);
    layout->addWidget(CheckBoxHeader);
    layout->addStretch(1);

    setTabOrder(CheckBoxVolume, CheckBoxOpenInterest);
    setTabOrder(CheckBoxOpenInterest, ComboBoxPrices);
    setTabOrder(ComboBoxPrices, ComboBoxMinutes);
    setTabOrder(ComboBoxMinutes, EditSessionStart);
    setTabOrder(EditSessionStart, ComboBoxStamp);
    setTabOrder(ComboBoxStamp, CheckBoxHeader);
}

void BarOptionsRow::SessionEdited() {
    if (const auto offset = ReadSessionStart(EditSessionStart->text().toStdString())) {
        session_offset_ = *offset;
    }
}

void BarOptionsRow::Apply(BarChoices& choices) const {
    choices.volume = CheckBoxVolume->isChecked();
    choices.open_interest = CheckBoxOpenInterest->isChecked();
    switch (ComboBoxPrices->currentIndex()) {
        case 1:
            choices.prices = PriceForm::Ohlc;
            break;
        case 2:
            choices.prices = PriceForm::Single;
            break;
        default:
            // The lists give both layouts, so nothing is detected at the job:
            // auto means what the load detected.
            choices.prices = detected_form_;
            break;
    }
    // "20 min" and "4 h" read as the command line reads "20min" and "4h".
    choices.period_minutes = 0;
    if (ComboBoxMinutes->currentIndex() > 0) {
        const QString text = ComboBoxMinutes->currentText().remove(QLatin1Char(' '));
        choices.period_minutes = ReadBarMinutes(text.toStdString()).value_or(0);
    }
    choices.session_offset_minutes = session_offset_;
    choices.stamp = ComboBoxStamp->currentIndex() == 1 ? StampStyle::Iso : StampStyle::Classic;
    choices.header = CheckBoxHeader->isChecked();
}

PriceForm BarOptionsRow::FormToDetect() const {
    switch (ComboBoxPrices->currentIndex()) {
        case 1:
            return PriceForm::Ohlc;
        case 2:
            return PriceForm::Single;
        default:
            return PriceForm::Auto;
    }
}

void BarOptionsRow::SetDetectedForm(PriceForm form) {
    detected_form_ = form;
    emit FormChanged();
}

QWidget* BarOptionsRow::FirstControl() const { return CheckBoxVolume; }
QWidget* BarOptionsRow::LastControl() const { return CheckBoxHeader; }

}  // namespace varn
