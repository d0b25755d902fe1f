#include "ui/BarChart.h"

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

}  // namespace

BarChart::BarChart(QWidget* parent) : QWidget(parent), hover_label_(new QLabel(this)) {
    setMouseTracking(true);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    setCursor(Qt::CrossCursor);
    hover_label_->setObjectName(QStringLiteral("hover_label"));
    hover_label_->setAttribute(Qt::WA_TransparentForMouseEvents);
    hover_label_->setAutoFillBackground(true);
    hover_label_->setBackgroundRole(QPalette::ToolTipBase);
    hover_label_->setForegroundRole(QPalette::ToolTipText);
    hover_label_->setMargin(3);
    hover_label_->hide();
}

void BarChart::SetBars(std::vector<ChartBar> bars, bool with_volume) {
    HideHover();
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
    return Latin1(b.stamp) + QStringLiteral("  O ") + Latin1(FormatPrice(b.open)) +
           QStringLiteral("  H ") + Latin1(FormatPrice(b.high)) + QStringLiteral("  L ") +
           Latin1(FormatPrice(b.low)) + QStringLiteral("  C ") + Latin1(FormatPrice(b.close));
}

QSize BarChart::sizeHint() const { return {640, 320}; }

QSize BarChart::minimumSizeHint() const { return {200, 120}; }

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

std::vector<BarChart::AxisStamp> BarChart::TimeAxisStamps() const {
    std::vector<AxisStamp> stamps;
    const QRect plot = PlotRect();
    const QFontMetrics metrics = fontMetrics();
    constexpr int LabelGap = 24;
    // Wide candles span many pixels: a bar already named is passed over
    // pixel by pixel until the next one begins.
    std::size_t named = bars_.size();
    for (int x = plot.left(); x <= plot.right();) {
        const std::size_t bar = BarAt(QPoint(x, plot.top()));
        if (bar >= bars_.size()) break;
        if (bar == named) {
            ++x;
            continue;
        }
        const int label_width = metrics.horizontalAdvance(Latin1(bars_[bar].stamp));
        if (x + 2 + label_width > width()) break;
        stamps.push_back({x, bar});
        named = bar;
        x += std::max(label_width + LabelGap, 40);
    }
    return stamps;
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

    // Price lines and labels: five, evenly spaced.
    const QFontMetrics metrics = fontMetrics();
    const QColor grid = colours.color(QPalette::Midlight);
    for (int i = 0; i <= 4; ++i) {
        const double price = fit.low + (fit.high - fit.low) * i / 4.0;
        const double y = y_of(price);
        painter.setPen(grid);
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(colours.color(QPalette::Text));
        painter.drawText(QPointF(plot.right() + Margin, y + metrics.ascent() / 2.0),
                         Latin1(FormatPrice(price)));
        if (fit.high <= fit.low) break;
    }

    // The time axis.
    {
        const double baseline = plot.bottom() + Margin + metrics.ascent();
        for (const AxisStamp& stamp : TimeAxisStamps()) {
            painter.setPen(grid);
            painter.drawLine(QPointF(stamp.x, plot.top()), QPointF(stamp.x, plot.bottom()));
            painter.setPen(colours.color(QPalette::Text));
            painter.drawText(QPointF(stamp.x + 2, baseline), Latin1(bars_[stamp.bar].stamp));
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
    painter.setPen(Qt::NoPen);
    painter.setBrush(UpColor);
    painter.drawRects(up_bodies);
    painter.setBrush(DownColor);
    painter.drawRects(down_bodies);

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
    const double n = static_cast<double>(bars_.size());
    const double fewest = static_cast<double>(std::min(bars_.size(), MinVisibleBars));
    const double count = static_cast<double>(count_);
    const double wanted = std::round(count * std::pow(ZoomPerNotch, delta / 120.0));
    const double new_count = std::clamp(wanted, fewest, n);
    // The bar under the cursor stays under it.
    const double share = std::clamp((event->position().x() - plot.left()) / plot.width(), 0.0, 1.0);
    const double anchor = static_cast<double>(first_) + share * count;
    const double new_first = std::clamp(std::round(anchor - share * new_count), 0.0, n - new_count);
    first_ = static_cast<std::size_t>(new_first);
    count_ = static_cast<std::size_t>(new_count);
    ShowHover(event->position().toPoint());
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
    HideHover();
    QWidget::leaveEvent(event);
}

void BarChart::ShowHover(QPoint point) {
    const std::size_t bar = BarAt(point);
    if (bar >= bars_.size()) {
        HideHover();
        return;
    }
    if (bar != hover_ || hover_label_->isHidden()) {
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
