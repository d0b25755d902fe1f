#include "ui/BarOptionsRow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <string>
#include <vector>

#include "bars/bar_line.h"
#include "bars/line_shape.h"

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

// Why list does not read as columns, or empty when it does.
QString ColumnListRefusal(const QString& list, std::vector<Column>& columns) {
    std::string reason;
    if (list.trimmed().isEmpty()) {
        columns.clear();
        return {};
    }
    if (ReadColumnList(list.toStdString(), columns, reason)) return {};
    columns.clear();
    return QString::fromStdString(reason);
}

// A columns list is taken when it reads; anything else may be typed on the
// way to one, and is shown refused rather than put back.
class ColumnListValidator final : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        std::vector<Column> columns;
        return ColumnListRefusal(input, columns).isEmpty() ? Acceptable : Intermediate;
    }
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

    // How the lines are read: by the columns named here, which win over a
    // header line naming them, and with a decimal comma.
    reading_controls_ = new QWidget(this);
    reading_controls_->setObjectName(QStringLiteral("reading_controls"));
    columns_edit_ = new QLineEdit(reading_controls_);
    columns_edit_->setObjectName(QStringLiteral("columns_edit"));
    columns_edit_->setValidator(new ColumnListValidator(columns_edit_));
    columns_edit_->setPlaceholderText(QStringLiteral("from the header, or by position"));
    columns_edit_->setMinimumWidth(200);
    connect(columns_edit_, &QLineEdit::textChanged, this, [this] {
        ShowColumnsRefusal();
        emit ColumnsEdited();
    });
    connect(columns_edit_, &QLineEdit::editingFinished, this, &BarOptionsRow::ReadingChosen);
    ShowColumnsRefusal();
    decimal_comma_box_ =
        Box(reading_controls_, "decimal_comma_box", QStringLiteral("decimal c&omma"));
    decimal_comma_box_->setToolTip(
        QStringLiteral("Numbers are written with a decimal comma (10.586,70), whatever they look "
                       "like"));
    connect(decimal_comma_box_, &QCheckBox::toggled, this, &BarOptionsRow::ReadingChosen);

    auto* reading = new QHBoxLayout(reading_controls_);
    reading->setContentsMargins(0, 0, 0, 0);
    reading->addWidget(Caption(reading_controls_, QStringLiteral("&columns"), columns_edit_));
    reading->addWidget(columns_edit_, 1);
    reading->addWidget(decimal_comma_box_);

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

    setTabOrder(columns_edit_, decimal_comma_box_);
    setTabOrder(decimal_comma_box_, volume_box_);
    setTabOrder(volume_box_, open_interest_box_);
    setTabOrder(open_interest_box_, price_form_list_);
    setTabOrder(price_form_list_, bar_length_list_);
    setTabOrder(bar_length_list_, session_start_edit_);
    setTabOrder(session_start_edit_, stamp_list_);
    setTabOrder(stamp_list_, header_box_);
}

void BarOptionsRow::ShowColumnsRefusal() {
    const QString refusal = ColumnsRefusal();
    // Refused: red, and the reason where the pointer shows it.
    columns_edit_->setProperty("refused", !refusal.isEmpty());
    QPalette colours = palette();
    if (!refusal.isEmpty()) {
        colours.setColor(QPalette::Base, QColor(255, 220, 220));
        colours.setColor(QPalette::Text, QColor(160, 0, 0));
    }
    columns_edit_->setPalette(colours);
    columns_edit_->setToolTip(
        refusal.isEmpty()
            ? QStringLiteral("The columns of the lines, comma-separated: date, time, datetime, "
                             "open, high, low, close, volume, open_interest, symbol, bid, ask or "
                             "skip (wins over a header)")
            : refusal);
}

QString BarOptionsRow::ColumnsRefusal() const {
    std::vector<Column> columns;
    return ColumnListRefusal(columns_edit_->text(), columns);
}

ShapeChoices BarOptionsRow::Shape() const {
    ShapeChoices shape;
    (void)ColumnListRefusal(columns_edit_->text(), shape.columns);
    shape.decimal_comma = decimal_comma_box_->isChecked();
    return shape;
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
    choices.shape = Shape();
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

QWidget* BarOptionsRow::FirstControl() const { return columns_edit_; }
QWidget* BarOptionsRow::LastControl() const { return header_box_; }

}  // namespace varn
