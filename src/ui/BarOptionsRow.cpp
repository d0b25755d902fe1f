#include "ui/BarOptionsRow.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QStringListModel>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <string>
#include <vector>

#include "bars/bar_line.h"
#include "bars/line_shape.h"
#include "calendar/zone_shift.h"

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

// Shows field refused (red, the reason as its tooltip, and the property
// "refused" that the settings look at) or not, painting painted.
void ShowRefusal(QWidget* field, QWidget* painted, const QString& refusal, const QString& tip) {
    field->setProperty("refused", !refusal.isEmpty());
    QPalette colours = field->parentWidget()->palette();
    if (!refusal.isEmpty()) {
        colours.setColor(QPalette::Base, QColor(255, 220, 220));
        colours.setColor(QPalette::Text, QColor(160, 0, 0));
    }
    painted->setPalette(colours);
    field->setToolTip(refusal.isEmpty() ? tip : refusal);
}

// Why text names no zone of the database, or empty when it names one or is
// empty (no zone).
QString ZoneRefusalOf(const QString& text) {
    const QString name = text.trimmed();
    if (name.isEmpty()) return {};
    std::string reason;
    if (FindZone(name.toStdString(), reason) != nullptr) return {};
    return QString::fromStdString(reason);
}

// The zone a field names, or empty when it names none.
std::string ZoneChosen(const QComboBox* list) {
    return ZoneRefusalOf(list->currentText()).isEmpty()
               ? list->currentText().trimmed().toStdString()
               : std::string();
}

// The list that drops down is as wide as its longest item, however narrow
// the field that shows the chosen one.
void WidenDropDown(QComboBox* list) {
    int widest = 0;
    for (int i = 0; i < list->count(); ++i) {
        widest = std::max(widest, list->fontMetrics().horizontalAdvance(list->itemText(i)));
    }
    list->view()->setMinimumWidth(widest +
                                  2 * list->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
}

// An editable list of the zones, empty (no zone) first, wide enough for the
// usual names ("America/New_York"); typing part of a name anywhere in it
// ("york") offers the names that hold it. The names are read from the
// database into zones (shared by the lists) when a list is first used, the
// focus or the list dropping down, so a window that never looks at zones
// does not start slower.
class ZoneList final : public QComboBox {
  public:
    ZoneList(QWidget* parent, const char* name, QStringListModel* zones) : QComboBox(parent) {
        setObjectName(QString::fromLatin1(name));
        setModel(zones);
        setEditable(true);
        setInsertPolicy(QComboBox::NoInsert);
        setCurrentIndex(0);
        lineEdit()->setPlaceholderText(QStringLiteral("none"));
        // The field is measured in x's: as many as "Europe/Paris" is wide (the
        // list that drops down shows longer names whole).
        setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        setMinimumContentsLength(
            (fontMetrics().horizontalAdvance(QStringLiteral("Europe/Paris")) - 1) /
                fontMetrics().horizontalAdvance(QLatin1Char('x')) +
            1);
        completer()->setCompletionMode(QCompleter::PopupCompletion);
        completer()->setFilterMode(Qt::MatchContains);
        completer()->setCaseSensitivity(Qt::CaseInsensitive);
    }
    void showPopup() override {
        Fill();
        QComboBox::showPopup();
    }

  protected:
    void focusInEvent(QFocusEvent* event) override {
        Fill();
        QComboBox::focusInEvent(event);
    }

  private:
    // Adds the names after the empty item (what the field shows stays).
    void Fill() {
        if (filled_) return;
        filled_ = true;
        if (model()->rowCount() <= 1) {
            const std::vector<std::string> names = ZoneNames();
            model()->insertRows(1, static_cast<int>(names.size()));
            for (std::size_t i = 0; i < names.size(); ++i) {
                model()->setData(model()->index(static_cast<int>(i) + 1, 0),
                                 QString::fromStdString(names[i]));
            }
        }
        WidenDropDown(this);
    }

    bool filled_ = false;
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
    // The moment a stamp names, and the decimals of the prices.
    stamp_time_list_ = List(this, "stamp_time_list", {"last", "start", "end"});
    stamp_time_list_->setToolTip(
        QStringLiteral("The moment a bar's stamp names: its last line's, or where its period "
                       "starts or ends (a month's first or last day)"));
    QStringList decimals{QStringLiteral("size"), QStringLiteral("input")};
    for (int count = 0; count <= MaxPriceDecimals; ++count)
        decimals.push_back(QString::number(count));
    decimals_list_ = List(this, "decimals_list", decimals);
    decimals_list_->setToolTip(QStringLiteral(
        "Decimals of the prices: by their size (5 below 0.1, 4 below 10, else 2), as "
        "many as the bar's prices have in the file, or a fixed count"));
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

    // The zones, the time order, the stamp's moment and the decimals, on a
    // line of their own.
    auto* zones = new QStringListModel(QStringList{QString()}, this);
    zone_in_list_ = new ZoneList(this, "zone_in_list", zones);
    zone_out_list_ = new ZoneList(this, "zone_out_list", zones);
    for (QComboBox* list : {zone_in_list_, zone_out_list_}) {
        ShowZoneRefusal(list);
        connect(list, &QComboBox::editTextChanged, this, [this, list] {
            ShowZoneRefusal(list);
            emit ZonesEdited();
        });
    }
    keep_order_box_ = Box(this, "keep_order_box", QStringLiteral("&keep order"));
    keep_order_box_->setToolTip(
        QStringLiteral("Bars of runs of lines as the file has them; unticked, bars by time "
                       "whatever the order of the lines, exact repeats counted once"));
    symbol_list_ = new QComboBox(this);
    symbol_list_->setObjectName(QStringLiteral("symbol_list"));
    symbol_list_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    // No wider than twenty characters: the list that drops down shows a
    // longer name whole.
    symbol_list_->setMaximumWidth(
        symbol_list_->minimumSizeHint().width() +
        symbol_list_->fontMetrics().horizontalAdvance(QString(20, QLatin1Char('x'))));
    symbol_list_->setToolTip(
        QStringLiteral("The symbol whose bars are built, or one file each in a folder"));
    symbol_label_ = Caption(this, QStringLiteral("s&ymbol"), symbol_list_);
    SetSymbols({}, false);
    // The symbol goes with how the lines are read, where the columns field
    // can give it room.
    reading->addWidget(symbol_label_);
    reading->addWidget(symbol_list_);

    auto* first_line = new QHBoxLayout();
    first_line->addWidget(volume_box_);
    first_line->addWidget(open_interest_box_);
    first_line->addWidget(Caption(this, QStringLiteral("&prices"), price_form_list_));
    first_line->addWidget(price_form_list_);
    first_line->addWidget(Caption(this, QStringLiteral("b&ar"), bar_length_list_));
    first_line->addWidget(bar_length_list_);
    first_line->addWidget(Caption(this, QStringLiteral("&session"), session_start_edit_));
    first_line->addWidget(session_start_edit_);
    first_line->addWidget(Caption(this, QStringLiteral("s&tamp"), stamp_list_));
    first_line->addWidget(stamp_list_);
    first_line->addWidget(header_box_);
    first_line->addStretch(1);
    auto* second_line = new QHBoxLayout();
    second_line->addWidget(Caption(this, QStringLiteral("&zone in"), zone_in_list_));
    second_line->addWidget(zone_in_list_);
    second_line->addWidget(Caption(this, QStringLiteral("zone o&ut"), zone_out_list_));
    second_line->addWidget(zone_out_list_);
    second_line->addWidget(keep_order_box_);
    second_line->addWidget(Caption(this, QStringLiteral("stamp tim&e"), stamp_time_list_));
    second_line->addWidget(stamp_time_list_);
    second_line->addWidget(Caption(this, QStringLiteral("decima&ls"), decimals_list_));
    second_line->addWidget(decimals_list_);
    second_line->addStretch(1);
    // The lines close together (the row takes room from the text area), the
    // controls of a line as far apart as the style has them.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 1, 4, 1);
    layout->setSpacing(1);
    for (QHBoxLayout* line : {first_line, second_line}) {
        auto* holder = new QWidget(this);
        line->setContentsMargins(0, 0, 0, 0);
        holder->setLayout(line);
        layout->addWidget(holder);
    }

    setTabOrder(columns_edit_, decimal_comma_box_);
    setTabOrder(decimal_comma_box_, symbol_list_);
    setTabOrder(symbol_list_, volume_box_);
    setTabOrder(volume_box_, open_interest_box_);
    setTabOrder(open_interest_box_, price_form_list_);
    setTabOrder(price_form_list_, bar_length_list_);
    setTabOrder(bar_length_list_, session_start_edit_);
    setTabOrder(session_start_edit_, stamp_list_);
    setTabOrder(stamp_list_, header_box_);
    setTabOrder(header_box_, zone_in_list_);
    setTabOrder(zone_in_list_, zone_out_list_);
    setTabOrder(zone_out_list_, keep_order_box_);
    setTabOrder(keep_order_box_, stamp_time_list_);
    setTabOrder(stamp_time_list_, decimals_list_);
}

void BarOptionsRow::ShowColumnsRefusal() {
    // Refused: red, and the reason where the pointer shows it.
    ShowRefusal(columns_edit_, columns_edit_, ColumnsRefusal(),
                QStringLiteral("The columns of the lines, comma-separated: date, time, datetime, "
                               "open, high, low, close, volume, open_interest, symbol, bid, ask or "
                               "skip (wins over a header)"));
}

void BarOptionsRow::ShowZoneRefusal(QComboBox* list) {
    ShowRefusal(list, list->lineEdit(), ZoneRefusalOf(list->currentText()),
                list == zone_in_list_
                    ? QStringLiteral("The time zone the times are written in (empty: as their "
                                     "zone word says; offsets and epoch stamps are UTC)")
                    : QStringLiteral("The time zone of the bars and their stamps, daylight "
                                     "saving included (empty: the times as written)"));
}

QString BarOptionsRow::ZonesRefusal() const {
    if (const QString refusal = ZoneRefusalOf(zone_in_list_->currentText()); !refusal.isEmpty()) {
        return QStringLiteral("zone in: ") + refusal;
    }
    if (const QString refusal = ZoneRefusalOf(zone_out_list_->currentText()); !refusal.isEmpty()) {
        return QStringLiteral("zone out: ") + refusal;
    }
    return {};
}

void BarOptionsRow::SetSymbols(const std::vector<std::pair<std::string, std::int64_t>>& symbols,
                               bool keep_choice) {
    const bool split = SplitChosen();
    const QVariant chosen = symbol_list_->currentData();
    symbol_list_->clear();
    const bool shown = symbols.size() > 1;
    symbol_label_->setVisible(shown);
    symbol_list_->setVisible(shown);
    if (!shown) return;
    for (const auto& [name, lines] : symbols) {
        // The bytes of the name go to the job as they came.
        const QByteArray bytes = QByteArray::fromStdString(name);
        symbol_list_->addItem(QString::fromLocal8Bit(bytes), bytes);
        symbol_list_->setItemData(symbol_list_->count() - 1, QStringLiteral("%1 lines").arg(lines),
                                  Qt::ToolTipRole);
    }
    symbol_list_->addItem(QStringLiteral("one file each"));
    symbol_list_->setItemData(symbol_list_->count() - 1,
                              QStringLiteral("One file a symbol, SYMBOL.txt, in a folder you "
                                             "choose"),
                              Qt::ToolTipRole);
    WidenDropDown(symbol_list_);
    int index = 0;
    if (keep_choice && split) {
        index = symbol_list_->count() - 1;
    } else if (keep_choice && chosen.isValid()) {
        index = std::max(0, symbol_list_->findData(chosen));
    }
    symbol_list_->setCurrentIndex(index);
}

bool BarOptionsRow::SplitChosen() const {
    return symbol_list_->count() > 0 && symbol_list_->currentIndex() == symbol_list_->count() - 1;
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
    choices.stamp_time = static_cast<StampTime>(stamp_time_list_->currentIndex());
    // "size", "input", then the counts 0 to 10.
    const int decimals = decimals_list_->currentIndex();
    choices.decimals = decimals == 0   ? DecimalsByMagnitude
                       : decimals == 1 ? DecimalsAsInput
                                       : decimals - 2;
    choices.shape = Shape();
    // A zone field that does not read names no zone; the page builds nothing
    // until it does.
    choices.zone_in = ZoneChosen(zone_in_list_);
    choices.zone_out = ZoneChosen(zone_out_list_);
    choices.order = keep_order_box_->isChecked() ? TimeOrder::Keep : TimeOrder::Auto;
    // No symbol with "one file each", or without the list.
    const QVariant symbol = symbol_list_->currentData();
    choices.symbol = symbol.isValid() ? symbol.toByteArray().toStdString() : std::string();
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
QWidget* BarOptionsRow::LastControl() const { return decimals_list_; }

}  // namespace varn
