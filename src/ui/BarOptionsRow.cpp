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

// "-07:00" for -420 minutes.
QString SessionStartText(int offset) {
    const int minutes = offset < 0 ? -offset : offset;
    return QStringLiteral("%1%2:%3")
        .arg(offset < 0 ? "-" : "")
        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

// The session start's form, [-]H:MM or [-]HH:MM to 23:59. A start left half
// typed (on leaving the field) is put back to the last one that read, so the
// field never shows what the job does not use.
class SessionStartValidator final : public QRegularExpressionValidator {
  public:
    SessionStartValidator(const int& last_read, QObject* parent)
        : QRegularExpressionValidator(
              QRegularExpression(QStringLiteral("-?([01]?[0-9]|2[0-3]):[0-5][0-9]")), parent),
          last_read_(last_read) {}
    void fixup(QString& input) const override { input = SessionStartText(last_read_); }

  private:
    const int& last_read_;
};

}  // namespace

BarOptionsRow::BarOptionsRow(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("bar_options"));

    volume_box_ = Box(this, "volume_box", QStringLiteral("&volume"));
    open_interest_box_ = Box(this, "open_interest_box", QStringLiteral("open &interest"));
    price_form_list_ = List(this, "price_form_list", {"auto", "ohlc", "single"});
    price_form_list_->setToolTip(
        QStringLiteral("Four prices per line (ohlc), one (single), or as detected (auto)"));
    connect(price_form_list_, &QComboBox::currentIndexChanged, this, &BarOptionsRow::FormChanged);

    // The period list, or any length that divides a day into whole bars,
    // in hours when it is whole hours.
    QStringList lengths{QStringLiteral("period list")};
    for (int minutes = 1; minutes <= 1440; ++minutes) {
        if (!ValidBarMinutes(minutes)) continue;
        lengths.push_back(minutes % 60 == 0 ? QString::number(minutes / 60) + " h"
                                            : QString::number(minutes) + " min");
    }
    bar_length_list_ = List(this, "bar_length_list", lengths);
    bar_length_list_->setToolTip(
        QStringLiteral("Minutes or hours per bar, in place of the period list"));
    connect(bar_length_list_, &QComboBox::currentIndexChanged, this,
            [this](int index) { emit LengthChanged(index > 0); });

    session_start_edit_ = new QLineEdit(QStringLiteral("00:00"), this);
    session_start_edit_->setObjectName(QStringLiteral("session_start_edit"));
    session_start_edit_->setValidator(
        new SessionStartValidator(session_offset_, session_start_edit_));
    session_start_edit_->setMaximumWidth(64);
    session_start_edit_->setToolTip(
        QStringLiteral("Time of day minute to week bars begin, [-]HH:MM (-07:00: 17:00 the day "
                       "before)"));
    connect(session_start_edit_, &QLineEdit::textChanged, this, &BarOptionsRow::SessionEdited);

    stamp_list_ = List(this, "stamp_list", {"classic", "iso"});
    header_box_ = Box(this, "header_box", QStringLiteral("hea&der"));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(volume_box_);
    layout->addWidget(open_interest_box_);
    layout->addWidget(Caption(this, QStringLiteral("&prices"), price_form_list_));
    layout->addWidget(price_form_list_);
    layout->addWidget(Caption(this, QStringLiteral("b&ar"), bar_length_list_));
    layout->addWidget(bar_length_list_);
    layout->addWidget(Caption(this, QStringLiteral("&session"), session_start_edit_));
    layout->addWidget(session_start_edit_);
    layout->addWidget(Caption(this, QStringLiteral("s&tamp"), stamp_list_));
    layout->addWidget(stamp_list_);
    layout->addWidget(header_box_);
    layout->addStretch(1);

    setTabOrder(volume_box_, open_interest_box_);
    setTabOrder(open_interest_box_, price_form_list_);
    setTabOrder(price_form_list_, bar_length_list_);
    setTabOrder(bar_length_list_, session_start_edit_);
    setTabOrder(session_start_edit_, stamp_list_);
    setTabOrder(stamp_list_, header_box_);
}

void BarOptionsRow::SessionEdited() {
    if (const auto offset = ReadSessionStart(session_start_edit_->text().toStdString())) {
        session_offset_ = *offset;
    }
}

void BarOptionsRow::CommitEdits() {
    if (!session_start_edit_->hasAcceptableInput()) {
        session_start_edit_->setText(SessionStartText(session_offset_));
    }
}

bool BarOptionsRow::LengthChosen() const { return bar_length_list_->currentIndex() > 0; }

QString BarOptionsRow::LengthName() const {
    return bar_length_list_->currentIndex() > 0
               ? bar_length_list_->currentText().remove(QLatin1Char(' '))
               : QString();
}

void BarOptionsRow::Apply(BarChoices& choices) const {
    choices.volume = volume_box_->isChecked();
    choices.open_interest = open_interest_box_->isChecked();
    switch (price_form_list_->currentIndex()) {
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
    if (bar_length_list_->currentIndex() > 0) {
        const QString text = bar_length_list_->currentText().remove(QLatin1Char(' '));
        choices.period_minutes = ReadBarMinutes(text.toStdString()).value_or(0);
    }
    choices.session_offset_minutes = session_offset_;
    choices.stamp = stamp_list_->currentIndex() == 1 ? StampStyle::Iso : StampStyle::Classic;
    choices.header = header_box_->isChecked();
}

PriceForm BarOptionsRow::FormToDetect() const {
    switch (price_form_list_->currentIndex()) {
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

QWidget* BarOptionsRow::FirstControl() const { return volume_box_; }
QWidget* BarOptionsRow::LastControl() const { return header_box_; }

}  // namespace varn
