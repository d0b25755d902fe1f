#include "ui/BarChart.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <limits>

#include "text/text_helpers.h"

namespace varn {

namespace {

const QColor UpColor(38, 166, 91);
const QColor DownColor(214, 69, 65);
const QColor UpVolumeColor(38, 166, 91, 110);
const QColor DownVolumeColor(214, 69, 65, 110);

// Each notch of the wheel (120 eighths of a degree) away from the user shows
// this share of the bars in sight; towards the user, its inverse.
constexpr double ZoomPerNotch = 0.8;
// The volume band's share of the plot's height.
constexpr double VolumeShare = 0.22;
// The gap between the price plot and the volume band, and around the plot.
constexpr int BandGap = 6;
constexpr int Margin = 4;

constexpr double Nan = std::numeric_limits<double>::quiet_NaN();

double FiniteOrNan(double value) { return std::isfinite(value) ? value : Nan; }

QString Latin1(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// The gap after a label on the time axis before the next may start.
constexpr int LabelGap = 10;

// The calendar units the time axis may name, coarsest first: a key that
// changes where a period of the unit begins.
enum class UnitKind { Years, Quarter, Month, Day, Hours, Minutes };
struct AxisUnit {
    UnitKind kind;
    int size;  // years, hours or minutes per period
};
constexpr AxisUnit AxisUnits[] = {
    {UnitKind::Years, 100},  {UnitKind::Years, 50},  {UnitKind::Years, 20},
    {UnitKind::Years, 10},   {UnitKind::Years, 5},   {UnitKind::Years, 2},
    {UnitKind::Years, 1},    {UnitKind::Quarter, 1}, {UnitKind::Month, 1},
    {UnitKind::Day, 1},      {UnitKind::Hours, 12},  {UnitKind::Hours, 6},
    {UnitKind::Hours, 3},    {UnitKind::Hours, 1},   {UnitKind::Minutes, 30},
    {UnitKind::Minutes, 15}, {UnitKind::Minutes, 5}, {UnitKind::Minutes, 1},
};

std::int64_t DayKey(const ParsedDate& date) {
    return (std::int64_t{date.year} * 100 + date.month) * 100 + date.day;
}

std::int64_t UnitKey(const AxisUnit& unit, const ParsedDate& date) {
    switch (unit.kind) {
        case UnitKind::Years:
            return date.year >= 0 ? date.year / unit.size : (date.year + 1) / unit.size - 1;
        case UnitKind::Quarter:
            return std::int64_t{date.year} * 4 + (date.month - 1) / 3;
        case UnitKind::Month:
            return std::int64_t{date.year} * 12 + date.month - 1;
        case UnitKind::Day:
            return DayKey(date);
        case UnitKind::Hours:
            return DayKey(date) * 100 + date.hours / unit.size;
        case UnitKind::Minutes:
            return (DayKey(date) * 100 + date.hours) * 100 + date.minutes / unit.size;
    }
    return 0;
}

QString TwoDigits(int value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); }

// A volume in few characters: 950, 25.2k, 1.5M.
QString ShortVolume(double volume) {
    if (volume >= 1e9) return QString::number(volume / 1e9, 'g', 3) + QLatin1Char('G');
    if (volume >= 1e6) return QString::number(volume / 1e6, 'g', 3) + QLatin1Char('M');
    if (volume >= 1e4) return QString::number(volume / 1e3, 'g', 3) + QLatin1Char('k');
    return QString::number(volume, 'g', 6);
}

// The fewest decimals that write step exactly (to a millionth).
int StepDecimals(double step) {
    for (int decimals = 0; decimals < 10; ++decimals) {
        const double scaled = step * std::pow(10.0, decimals);
        if (std::fabs(scaled - std::round(scaled)) < 1e-6 * scaled) return decimals;
    }
    return 10;
}

}  // namespace

BarChart::BarChart(QWidget* parent) : QWidget(parent), hover_label_(new QLabel(this)) {
    setMouseTracking(true);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    setCursor(Qt::CrossCursor);
    // Reachable by Tab: the arrows scroll, + and - zoom.
    setFocusPolicy(Qt::StrongFocus);
    hover_label_->setObjectName(QStringLiteral("hover_label"));
    hover_label_->setAttribute(Qt::WA_TransparentForMouseEvents);
    hover_label_->setAutoFillBackground(true);
    hover_label_->setBackgroundRole(QPalette::ToolTipBase);
    hover_label_->setForegroundRole(QPalette::ToolTipText);
    hover_label_->setMargin(3);
    hover_label_->hide();
}

void BarChart::SetBars(std::vector<ChartBar> bars, bool with_volume, StampStyle style) {
    HideHover();
    style_ = style;
    dragging_ = false;
    bars_ = std::move(bars);
    std::vector<PriceRange> ranges;
    ranges.reserve(bars_.size());
    bool any_volume = false;
    for (ChartBar& bar : bars_) {
        // An infinite price or volume would stretch the axes without end: it
        // counts as missing, as does a negative volume.
        bar.open = FiniteOrNan(bar.open);
        bar.high = FiniteOrNan(bar.high);
        bar.low = FiniteOrNan(bar.low);
        bar.close = FiniteOrNan(bar.close);
        const double volume = with_volume && bar.volume >= 0.0 ? FiniteOrNan(bar.volume) : Nan;
        any_volume = any_volume || !std::isnan(volume);
        // The bar's range covers all four prices, so a bar whose low is above
        // its open or close still lies inside the price axis.
        ranges.push_back({std::fmin(std::fmin(bar.low, bar.high), std::fmin(bar.open, bar.close)),
                          std::fmax(std::fmax(bar.low, bar.high), std::fmax(bar.open, bar.close)),
                          volume});
    }
    // Without a single volume there is no band to give room to.
    with_volume_ = any_volume;
    index_.Build(std::move(ranges));
    first_ = 0;
    count_ = bars_.size();
    hover_ = bars_.size();
    update();
}

void BarChart::Clear() {
    HideHover();
    dragging_ = false;
    bars_ = {};
    index_.Clear();
    with_volume_ = false;
    first_ = 0;
    count_ = 0;
    hover_ = 0;
    update();
}

std::pair<std::size_t, std::size_t> BarChart::VisibleRange() const {
    return {first_, first_ + count_};
}

void BarChart::SetVisibleRange(std::size_t first, std::size_t last) {
    const std::size_t n = bars_.size();
    last = std::min(last, n);
    count_ = std::max(last > first ? last - first : 0, std::min(n, MinVisibleBars));
    first_ = std::min(first, n - count_);
    update();
}

QString BarChart::HoverText(std::size_t bar) const {
    if (bar >= bars_.size()) return {};
    const ChartBar& b = bars_[bar];
    QString text = Latin1(b.stamp) + QStringLiteral("  O ") + Latin1(FormatPrice(b.open)) +
                   QStringLiteral("  H ") + Latin1(FormatPrice(b.high)) + QStringLiteral("  L ") +
                   Latin1(FormatPrice(b.low)) + QStringLiteral("  C ") +
                   Latin1(FormatPrice(b.close));
    const double volume = index_.Range(bar, bar + 1).volume;
    if (with_volume_) text += QStringLiteral("  V ") + QString::number(volume, 'g', 15);
    return text;
}

QSize BarChart::sizeHint() const { return {640, 320}; }

// Low enough that the chart, shown under the text area, fits the window at
// its default size without making it taller.
QSize BarChart::minimumSizeHint() const { return {200, 48}; }

QRect BarChart::PlotRect() const {
    const QFontMetrics metrics = fontMetrics();
    const int axis_width = metrics.horizontalAdvance(QStringLiteral("0000000.00")) + 2 * Margin;
    const int axis_height = metrics.height() + 2 * Margin;
    return rect().adjusted(Margin, Margin, -axis_width, -axis_height);
}

QRect BarChart::PriceRect() const {
    const QRect plot = PlotRect();
    if (!with_volume_) return plot;
    const int band = static_cast<int>(plot.height() * VolumeShare);
    return plot.adjusted(0, 0, 0, -band - BandGap);
}

QRect BarChart::VolumeRect() const {
    const QRect plot = PlotRect();
    if (!with_volume_) return {};
    const int band = static_cast<int>(plot.height() * VolumeShare);
    return QRect(plot.left(), plot.bottom() - band + 1, plot.width(), band);
}

std::size_t BarChart::BarAt(QPoint point) const {
    const QRect plot = PlotRect();
    if (count_ == 0 || plot.width() <= 0 || !plot.contains(point)) return bars_.size();
    const auto offset = static_cast<std::size_t>(point.x() - plot.left());
    const std::size_t bar = first_ + offset * count_ / static_cast<std::size_t>(plot.width());
    return std::min(bar, first_ + count_ - 1);
}

std::vector<BarChart::Column> BarChart::VisibleColumns(const QRect& plot) const {
    std::vector<Column> columns;
    if (count_ == 0 || plot.width() <= 0) return columns;
    const auto width = static_cast<std::size_t>(plot.width());
    const double left = plot.left();
    if (count_ <= width) {
        // A candle per bar, each count_-th of the width.
        const double step = static_cast<double>(width) / static_cast<double>(count_);
        columns.reserve(count_);
        for (std::size_t i = 0; i < count_; ++i) {
            const ChartBar& bar = bars_[first_ + i];
            const PriceRange range = index_.Range(first_ + i, first_ + i + 1);
            columns.push_back({left + static_cast<double>(i) * step,
                               left + static_cast<double>(i + 1) * step, bar.open, range.high,
                               range.low, bar.close, range.volume});
        }
        return columns;
    }
    // More bars than pixel columns: each column shows the range of its bars.
    columns.reserve(width);
    for (std::size_t x = 0; x < width; ++x) {
        const std::size_t first = first_ + x * count_ / width;
        const std::size_t last = first_ + (x + 1) * count_ / width;
        const PriceRange range = index_.Range(first, last);
        const double x0 = left + static_cast<double>(x);
        columns.push_back({x0, x0 + 1.0, bars_[first].open, range.high, range.low,
                           bars_[last - 1].close, range.volume});
    }
    return columns;
}

std::vector<BarChart::AxisTick> BarChart::TimeAxisTicks() const {
    std::vector<AxisTick> chosen;
    const QRect plot = PlotRect();
    if (count_ == 0 || plot.width() <= 0) return chosen;
    const QFontMetrics metrics = fontMetrics();
    // One slot per bar, or per pixel column when more bars are in sight:
    // a period that begins inside a column is named at the column.
    const std::size_t columns = std::min(count_, static_cast<std::size_t>(plot.width()));
    const auto slot_bar = [&](std::size_t slot) { return first_ + slot * count_ / columns; };
    const auto slot_x = [&](std::size_t slot) {
        return plot.left() +
               static_cast<int>(slot * static_cast<std::size_t>(plot.width()) / columns);
    };
    const auto date_text = [&](const ParsedDate& date) {
        return Latin1(BarStamp(date, TimeLayout::NotIndicated, style_));
    };
    std::size_t chosen_count = 0;
    for (const AxisUnit& unit : AxisUnits) {
        std::vector<std::size_t> starts{0};
        for (std::size_t slot = 1; slot < columns; ++slot) {
            if (UnitKey(unit, bars_[slot_bar(slot)].date) !=
                UnitKey(unit, bars_[slot_bar(slot - 1)].date)) {
                starts.push_back(slot);
            }
        }
        // A finer unit that starts no more periods names nothing new.
        if (starts.size() <= chosen_count) continue;
        // Labels are at least two characters wide.
        if (static_cast<int>(starts.size()) *
                (metrics.horizontalAdvance(QStringLiteral("00")) + LabelGap) >
            plot.width()) {
            break;
        }
        std::vector<AxisTick> ticks;
        bool fits = true;
        std::int64_t last_day = -1;
        for (std::size_t i = 0; i < starts.size() && fits; ++i) {
            const std::size_t bar = slot_bar(starts[i]);
            const ParsedDate& date = bars_[bar].date;
            QString label;
            if (unit.kind == UnitKind::Years) {
                label = QString::number(date.year);
            } else if (unit.kind == UnitKind::Hours || unit.kind == UnitKind::Minutes) {
                // Times of day, with the date where a new day begins.
                label = DayKey(date) != last_day
                            ? date_text(date)
                            : TwoDigits(date.hours) + QLatin1Char(':') + TwoDigits(date.minutes);
            } else {
                label = date_text(date);
            }
            last_day = DayKey(date);
            const int x = slot_x(starts[i]);
            const int end = x + 2 + metrics.horizontalAdvance(label);
            if (i + 1 < starts.size()) {
                fits = end + LabelGap <= slot_x(starts[i + 1]);
            } else if (end > width()) {
                // The last label runs off the chart: it is left out.
                break;
            }
            ticks.push_back({x, bar, std::move(label)});
        }
        if (!fits) break;
        chosen = std::move(ticks);
        chosen_count = starts.size();
    }
    if (chosen.empty()) {
        chosen.push_back({plot.left(), first_, date_text(bars_[first_].date)});
    }
    return chosen;
}

std::vector<double> BarChart::PriceTicks() const {
    std::vector<double> ticks;
    const std::vector<Column> columns = VisibleColumns(PlotRect());
    PriceRange fit = PriceRange::Empty();
    for (const Column& column : columns) fit.Merge({column.low, column.high, 0.0});
    if (!fit.HasPrices() || !std::isfinite(fit.high - fit.low)) return ticks;
    if (fit.high <= fit.low) return {fit.low};
    // Up to five steps of a round size across the range, each at least two
    // lines of text high, so the labels never run into each other.
    const int room = PriceRect().height() / (2 * fontMetrics().height());
    const double raw = (fit.high - fit.low) / std::clamp(room, 1, 4);
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double norm = raw / magnitude;
    const double step = (norm <= 1.0   ? 1.0
                         : norm <= 2.0 ? 2.0
                         : norm <= 2.5 ? 2.5
                         : norm <= 5.0 ? 5.0
                                       : 10.0) *
                        magnitude;
    for (double k = std::ceil(fit.low / step); k * step <= fit.high; ++k) {
        ticks.push_back(k * step == 0.0 ? 0.0 : k * step);  // no -0
    }
    return ticks;
}

double BarChart::VolumeScale() const {
    if (!with_volume_) return 0.0;
    double most = 0.0;
    for (const Column& column : VisibleColumns(PlotRect())) {
        if (column.volume > most) most = column.volume;
    }
    return most;
}

void BarChart::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QRect plot = PlotRect();
    const QRect prices = PriceRect();
    const std::vector<Column> columns = VisibleColumns(plot);
    PriceRange fit = PriceRange::Empty();
    double most_volume = 0.0;
    for (const Column& column : columns) {
        fit.Merge({column.low, column.high, 0.0});
        if (column.volume > most_volume) most_volume = column.volume;
    }
    const QPalette& colours = palette();
    painter.setPen(colours.color(QPalette::Mid));
    painter.drawRect(plot.adjusted(0, 0, -1, -1));
    if (!fit.HasPrices() || prices.height() <= 0) return;

    // The price axis: the lows and highs in sight with a twentieth to spare
    // above and below.
    double low = fit.low;
    double high = fit.high;
    const double spare = high > low ? (high - low) / 20.0 : std::max(std::fabs(high) / 100.0, 1e-6);
    low -= spare;
    high += spare;
    // Prices near the limits of a double leave no room to scale.
    if (!std::isfinite(high - low)) return;
    const double top = prices.top();
    const double scale = prices.height() / (high - low);
    const auto y_of = [&](double price) { return top + (high - price) * scale; };

    // Grid lines and labels at round prices.
    const QFontMetrics metrics = fontMetrics();
    const QColor grid = colours.color(QPalette::Midlight);
    const std::vector<double> price_ticks = PriceTicks();
    const int decimals =
        price_ticks.size() > 1 ? StepDecimals(price_ticks[1] - price_ticks[0]) : -1;
    for (const double price : price_ticks) {
        const double y = y_of(price);
        painter.setPen(grid);
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(colours.color(QPalette::Text));
        painter.drawText(
            QPointF(plot.right() + Margin, y + metrics.ascent() / 2.0),
            decimals < 0 ? Latin1(FormatPrice(price)) : QString::number(price, 'f', decimals));
    }

    // The time axis.
    {
        const double baseline = plot.bottom() + Margin + metrics.ascent();
        for (const AxisTick& tick : TimeAxisTicks()) {
            painter.setPen(grid);
            painter.drawLine(QPointF(tick.x, plot.top()), QPointF(tick.x, plot.bottom()));
            painter.setPen(colours.color(QPalette::Text));
            painter.drawText(QPointF(tick.x + 2, baseline), tick.label);
        }
    }

    // Candles, or one line per pixel column, gathered by colour and drawn in
    // four calls.
    QVector<QLineF> up_lines, down_lines;
    QVector<QRectF> up_bodies, down_bodies, up_volume, down_volume;
    up_lines.reserve(static_cast<qsizetype>(columns.size()));
    down_lines.reserve(static_cast<qsizetype>(columns.size()));
    const QRect band = VolumeRect();
    for (const Column& column : columns) {
        if (!(column.low <= column.high)) continue;
        const bool up = !(column.close < column.open);
        const double width = column.x1 - column.x0;
        if (width >= 3.0) {
            const double middle = std::floor((column.x0 + column.x1) / 2.0) + 0.5;
            (up ? up_lines : down_lines)
                .push_back(QLineF(middle, y_of(column.high), middle, y_of(column.low)));
            const double inset = std::max(1.0, width * 0.15);
            // A missing open or close draws as the other, both missing as a
            // line at the high.
            const double open_y = !std::isnan(column.open)    ? y_of(column.open)
                                  : !std::isnan(column.close) ? y_of(column.close)
                                                              : y_of(column.high);
            const double close_y = std::isnan(column.close) ? open_y : y_of(column.close);
            const double body_top = std::min(open_y, close_y);
            const double body_height = std::max(1.0, std::fabs(open_y - close_y));
            (up ? up_bodies : down_bodies)
                .push_back(QRectF(column.x0 + inset, body_top, width - 2 * inset, body_height));
        } else {
            const double x = std::floor(column.x0) + 0.5;
            // At least a pixel high, so a flat column still shows.
            (up ? up_lines : down_lines)
                .push_back(QLineF(x, y_of(column.high), x,
                                  std::max(y_of(column.low), y_of(column.high) + 1.0)));
        }
        if (with_volume_ && most_volume > 0.0 && column.volume > 0.0) {
            const double height = band.height() * (column.volume / most_volume);
            (up ? up_volume : down_volume)
                .push_back(QRectF(column.x0, band.bottom() + 1 - height,
                                  std::max(1.0, width - (width >= 3.0 ? 1.0 : 0.0)), height));
        }
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(UpVolumeColor);
    painter.drawRects(up_volume);
    painter.setBrush(DownVolumeColor);
    painter.drawRects(down_volume);
    painter.setPen(QPen(UpColor, 1.0));
    painter.drawLines(up_lines);
    painter.setPen(QPen(DownColor, 1.0));
    painter.drawLines(down_lines);
    // The volume band's scale: what its top stands for.
    if (with_volume_ && most_volume > 0.0) {
        painter.setPen(colours.color(QPalette::Text));
        painter.drawText(QPointF(plot.right() + Margin, band.top() + metrics.ascent()),
                         ShortVolume(most_volume));
        painter.setPen(grid);
        painter.drawLine(QPointF(plot.left(), band.top()), QPointF(plot.right(), band.top()));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(UpColor);
    painter.drawRects(up_bodies);
    painter.setBrush(DownColor);
    painter.drawRects(down_bodies);

    if (hasFocus()) {
        painter.setPen(QPen(colours.color(QPalette::Highlight), 1.0));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }

    // The bar under the mouse.
    if (hover_ >= first_ && hover_ < first_ + count_ && plot.width() > 0) {
        const double step = static_cast<double>(plot.width()) / static_cast<double>(count_);
        const double x =
            std::floor(plot.left() + (static_cast<double>(hover_ - first_) + 0.5) * step) + 0.5;
        painter.setPen(QPen(colours.color(QPalette::Text), 1.0, Qt::DotLine));
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    }
}

void BarChart::wheelEvent(QWheelEvent* event) {
    const int delta =
        event->angleDelta().y() != 0 ? event->angleDelta().y() : event->angleDelta().x();
    const QRect plot = PlotRect();
    if (bars_.empty() || delta == 0 || plot.width() <= 0) {
        event->ignore();
        return;
    }
    event->accept();
    const double share = std::clamp((event->position().x() - plot.left()) / plot.width(), 0.0, 1.0);
    Zoom(std::round(static_cast<double>(count_) * std::pow(ZoomPerNotch, delta / 120.0)), share);
}

void BarChart::Zoom(double count, double share) {
    const double n = static_cast<double>(bars_.size());
    const double fewest = static_cast<double>(std::min(bars_.size(), MinVisibleBars));
    const double new_count = std::clamp(count, fewest, n);
    // The bar at share stays where it is.
    const double anchor = static_cast<double>(first_) + share * static_cast<double>(count_);
    const double new_first = std::clamp(std::round(anchor - share * new_count), 0.0, n - new_count);
    first_ = static_cast<std::size_t>(new_first);
    count_ = static_cast<std::size_t>(new_count);
    if (mouse_.x() >= 0) ShowHover(mouse_);
    update();
}

void BarChart::keyPressEvent(QKeyEvent* event) {
    if (bars_.empty()) {
        QWidget::keyPressEvent(event);
        return;
    }
    const double count = static_cast<double>(count_);
    // A tenth of the bars in sight per arrow, all of them per page.
    const std::size_t step = std::max<std::size_t>(1, count_ / 10);
    const std::size_t latest = bars_.size() - count_;
    switch (event->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            Zoom(std::round(count * ZoomPerNotch), 0.5);
            break;
        case Qt::Key_Minus:
            Zoom(std::round(count / ZoomPerNotch), 0.5);
            break;
        case Qt::Key_Left:
            first_ -= std::min(first_, step);
            break;
        case Qt::Key_Right:
            first_ = std::min(latest, first_ + step);
            break;
        case Qt::Key_PageUp:
            first_ -= std::min(first_, count_);
            break;
        case Qt::Key_PageDown:
            first_ = std::min(latest, first_ + count_);
            break;
        case Qt::Key_Home:
            first_ = 0;
            break;
        case Qt::Key_End:
            first_ = latest;
            break;
        case Qt::Key_0:
            SetVisibleRange(0, bars_.size());
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    event->accept();
    if (mouse_.x() >= 0) ShowHover(mouse_);
    update();
}

void BarChart::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || bars_.empty()) {
        QWidget::mousePressEvent(event);
        return;
    }
    dragging_ = true;
    drag_x_ = event->position().toPoint().x();
    drag_first_ = first_;
    setCursor(Qt::ClosedHandCursor);
    event->accept();
}

void BarChart::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    const QRect plot = PlotRect();
    if (dragging_ && plot.width() > 0) {
        // Dragging to the right brings earlier bars into sight, a pixel
        // moving by the bars one pixel shows.
        const double shift = std::round(static_cast<double>(point.x() - drag_x_) *
                                        static_cast<double>(count_) / plot.width());
        const double latest = static_cast<double>(bars_.size() - count_);
        first_ = static_cast<std::size_t>(
            std::clamp(static_cast<double>(drag_first_) - shift, 0.0, latest));
        update();
    }
    mouse_ = point;
    ShowHover(point);
    event->accept();
}

void BarChart::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && dragging_) {
        dragging_ = false;
        setCursor(Qt::CrossCursor);
        event->accept();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void BarChart::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    SetVisibleRange(0, bars_.size());
    ShowHover(event->position().toPoint());
    event->accept();
}

void BarChart::leaveEvent(QEvent* event) {
    mouse_ = QPoint(-1, -1);
    HideHover();
    QWidget::leaveEvent(event);
}

void BarChart::ShowHover(QPoint point) {
    const std::size_t bar = BarAt(point);
    if (bar >= bars_.size()) {
        HideHover();
        return;
    }
    // The text is set again even for the same bar: the bars may have moved.
    if (bar != hover_ || hover_label_->isHidden() || hover_label_->text() != HoverText(bar)) {
        hover_ = bar;
        hover_label_->setText(HoverText(bar));
        hover_label_->adjustSize();
        const QRect plot = PlotRect();
        hover_label_->move(plot.left() + Margin, plot.top() + Margin);
        hover_label_->show();
        update();
    }
}

void BarChart::HideHover() {
    if (hover_label_->isHidden() && hover_ == bars_.size()) return;
    hover_ = bars_.size();
    hover_label_->hide();
    update();
}

}  // namespace varn
