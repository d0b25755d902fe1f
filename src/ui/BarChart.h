#pragma once
// The bar page's chart: the bars as candlesticks over a time axis, with a
// volume histogram in a lower band when the bars carry volume. The wheel zooms
// the time axis around the cursor, dragging scrolls it, double-clicking shows
// every bar again; the price axis fits the lows and highs in sight, and the
// mouse over a bar shows its stamp and four prices:
//
//   "1.31.2001  O 1.5000  H 1.6000  L 1.4000  C 1.5500"
//
// Only the bars in sight are drawn. When more of them are in sight than the
// plot has pixel columns, each column shows the range of its bars (lowest low,
// highest high, first open, last close, summed volume), read from a block
// index so that a frame costs O(width * log n) whatever the zoom.

#include <QWidget>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "ui/BarRangeIndex.h"

class QLabel;

namespace varn {

struct ChartBar {
    std::string stamp;
    double open, high, low, close;
    double volume;  // NaN when the bars have none
};

class BarChart final : public QWidget {
    Q_OBJECT

  public:
    explicit BarChart(QWidget* parent = nullptr);

    // Replaces the bars and shows all of them (full zoom-out). The volume band
    // is drawn when with_volume is set and some bar has a volume; a bar with a
    // NaN volume has no column. Infinite prices and volumes, and negative
    // volumes, count as missing (NaN).
    void SetBars(std::vector<ChartBar> bars, bool with_volume);
    void Clear();

    std::size_t BarCount() const { return bars_.size(); }
    // The bars in sight, [first, last) in bar indexes; {0, 0} when there are none.
    std::pair<std::size_t, std::size_t> VisibleRange() const;
    // Shows the bars [first, last), clamped to the bars there are and to at
    // least MinVisibleBars of them.
    void SetVisibleRange(std::size_t first, std::size_t last);
    // The stamp and the four prices of a bar as the file writes them; empty for
    // an index past the last bar.
    QString HoverText(std::size_t bar) const;
    // The bar under a point of the widget, or BarCount() when the point is off
    // the plot or there are no bars.
    std::size_t BarAt(QPoint point) const;
    // Where the bars are drawn: candles above, the volume band below them.
    QRect PlotRect() const;

    // A stamp on the time axis: the bar it names and the x where it starts.
    struct AxisStamp {
        int x;
        std::size_t bar;
    };
    // The stamps the time axis shows, left to right: each bar at most once,
    // each stamp followed by a gap before the next, none past the right edge.
    std::vector<AxisStamp> TimeAxisStamps() const;

    // Zooming in stops at this many bars in sight.
    static constexpr std::size_t MinVisibleBars = 10;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    // One candle, or one pixel column's range of bars, ready to draw.
    struct Column {
        double x0, x1;  // left and right edge in widget pixels
        double open, high, low, close, volume;
    };

    QRect PriceRect() const;
    QRect VolumeRect() const;
    std::vector<Column> VisibleColumns(const QRect& plot) const;
    void ShowHover(QPoint point);
    void HideHover();

    std::vector<ChartBar> bars_;
    BarRangeIndex index_;
    bool with_volume_ = false;
    std::size_t first_ = 0;  // first bar in sight
    std::size_t count_ = 0;  // bars in sight
    // Dragging: where the press was and the first bar in sight then.
    bool dragging_ = false;
    int drag_x_ = 0;
    std::size_t drag_first_ = 0;
    std::size_t hover_ = 0;  // bar under the mouse, or bars_.size()
    QLabel* hover_label_;
};

}  // namespace varn
