#pragma once
// The bar page's chart: the bars as candlesticks over a time axis, with a
// volume histogram and its scale in a lower band when the bars carry volume.
// The wheel (or + and -) zooms the time axis around the cursor (or the
// middle), dragging (or the arrows) scrolls it, double-clicking (or Home and
// End) shows every bar again; the price axis fits the lows and highs in sight
// with grid lines at round prices, and the mouse over a bar shows its stamp,
// four prices and volume:
//
//   "1.31.2001  O 1.5000  H 1.6000  L 1.4000  C 1.5500  V 25200"
//
// The time axis names the first bar of each year, month, day or hour, the
// finest that fits, with dates as the bars' stamps write them ("1.31.2001" or
// "2001-01-31") and times with two-digit minutes ("15:09").
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

#include "bars/bar_line.h"
#include "calendar/parse_date.h"
#include "ui/BarRangeIndex.h"

class QLabel;

namespace varn {

struct ChartBar {
    std::string stamp;
    double open, high, low, close;
    double volume;    // NaN when the bars have none
    ParsedDate date;  // of the bar's last line: where the time axis places it
};

class BarChart final : public QWidget {
    Q_OBJECT

  public:
    explicit BarChart(QWidget* parent = nullptr);

    // Replaces the bars and shows all of them (full zoom-out). The volume band
    // is drawn when with_volume is set and some bar has a volume; a bar with a
    // NaN volume has no column. Infinite prices and volumes, and negative
    // volumes, count as missing (NaN). The time axis writes dates in style.
    void SetBars(std::vector<ChartBar> bars, bool with_volume,
                 StampStyle style = StampStyle::Classic);
    void Clear();

    std::size_t BarCount() const { return bars_.size(); }
    // The bars in sight, [first, last) in bar indexes; {0, 0} when there are none.
    std::pair<std::size_t, std::size_t> VisibleRange() const;
    // Shows the bars [first, last), clamped to the bars there are and to at
    // least MinVisibleBars of them.
    void SetVisibleRange(std::size_t first, std::size_t last);
    // The stamp and the four prices of a bar as the file writes them, and its
    // volume when the chart has a volume band; empty for an index past the
    // last bar.
    QString HoverText(std::size_t bar) const;
    // The bar under a point of the widget, or BarCount() when the point is off
    // the plot or there are no bars.
    std::size_t BarAt(QPoint point) const;
    // Where the bars are drawn: candles above, the volume band below them.
    QRect PlotRect() const;

    // A label on the time axis: the bar it names, the x where its grid line
    // and its text start, and the text.
    struct AxisTick {
        int x;
        std::size_t bar;
        QString label;
    };
    // The labels the time axis shows, left to right: the first bar in sight,
    // then the first bar of each period of the finest calendar unit whose
    // labels fit with a gap between them, none past the right edge.
    std::vector<AxisTick> TimeAxisTicks() const;
    // The round prices (steps of 1, 2, 2.5 or 5 times a power of ten) that
    // the price axis labels and draws grid lines at, within the lows and
    // highs in sight, ascending.
    std::vector<double> PriceTicks() const;
    // What the top of the volume band stands for: the most volume of a
    // column in sight; 0 without a volume band.
    double VolumeScale() const;

    // Zooming in stops at this many bars in sight.
    static constexpr std::size_t MinVisibleBars = 10;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
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
    // Shows count bars around the bar at share of the plot's width, which
    // stays where it is.
    void Zoom(double count, double share);

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
    QPoint mouse_{-1, -1};   // where the mouse is over the chart; off it (-1, -1)
    StampStyle style_ = StampStyle::Classic;
    QLabel* hover_label_;
};

}  // namespace varn
