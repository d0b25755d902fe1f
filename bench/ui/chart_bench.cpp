// How long the bar chart takes to draw a frame, offscreen, over a million
// bars: at full zoom-out (each pixel column the range of its bars), zoomed in
// part way, and down to candles; and, when Qt Charts is there, the same bars
// drawn by its candlestick series, whole and fed one set per pixel column.
//
//   chart_bench [bars] [qt_charts_bars]     defaults 1000000 and 100000
//
// Prints one line per case: the median and the fastest of its frames.

#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "ui/BarChart.h"
#include "ui/BarRangeIndex.h"

#ifdef VARN_BENCH_QT_CHARTS
#include <QtCharts/QCandlestickSeries>
#include <QtCharts/QCandlestickSet>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QValueAxis>
#endif

namespace {

constexpr int Width = 1200;
constexpr int Height = 400;

long PeakResidentKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double Seconds(const QElapsedTimer& clock) {
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

// Five-minute bars of a random walk around 1200 with volume.
std::vector<varn::ChartBar> MakeBars(std::size_t count) {
    std::mt19937 random(7);
    std::normal_distribution<double> step(0.0, 0.5);
    std::uniform_real_distribution<double> reach(0.0, 1.0);
    std::vector<varn::ChartBar> bars;
    bars.reserve(count);
    double price = 1200.0;
    for (std::size_t i = 0; i < count; ++i) {
        const double open = price;
        price = std::max(1.0, price + step(random));
        const double close = price;
        const double high = std::max(open, close) + reach(random);
        const double low = std::min(open, close) - reach(random);
        const std::size_t minute = i * 5;
        const std::size_t day = minute / 1440 % 28 + 1;
        const std::string stamp = "1." + std::to_string(day) + ".2001 " +
                                  std::to_string(minute / 60 % 24) + ":" +
                                  std::to_string(minute % 60);
        bars.push_back({stamp, open, high, low, close, 20000.0 + static_cast<double>(i % 1000)});
    }
    return bars;
}

// Draws frames into image until a quarter second has passed (at least 5):
// the median and the fastest, in milliseconds.
template <typename Draw>
void TimeFrames(const char* what, Draw draw) {
    std::vector<double> times;
    QElapsedTimer total;
    total.start();
    while (times.size() < 5 || (total.elapsed() < 250 && times.size() < 1000)) {
        QElapsedTimer clock;
        clock.start();
        draw();
        times.push_back(Seconds(clock) * 1e3);
    }
    std::sort(times.begin(), times.end());
    std::printf("%-52s median %8.3f ms  fastest %8.3f ms  (%zu frames)\n", what,
                times[times.size() / 2], times.front(), times.size());
}

#ifdef VARN_BENCH_QT_CHARTS
// A chart of the bars [first, last), or of their pixel columns' ranges when
// per_column; the time to build it, its first frame and its next ones.
void QtChartsCase(const std::vector<varn::ChartBar>& bars, std::size_t count, bool per_column,
                  const varn::BarRangeIndex& index) {
    QElapsedTimer clock;
    clock.start();
    auto* series = new QCandlestickSeries;
    series->setIncreasingColor(QColor(38, 166, 91));
    series->setDecreasingColor(QColor(214, 69, 65));
    QList<QCandlestickSet*> sets;
    double low = 1e300;
    double high = -1e300;
    const std::size_t columns = per_column ? std::min<std::size_t>(count, Width) : count;
    sets.reserve(static_cast<qsizetype>(columns));
    for (std::size_t c = 0; c < columns; ++c) {
        const std::size_t first = c * count / columns;
        const std::size_t last = (c + 1) * count / columns;
        const varn::PriceRange range = index.Range(first, last);
        sets.push_back(new QCandlestickSet(bars[first].open, range.high, range.low,
                                           bars[last - 1].close, static_cast<qreal>(c)));
        low = std::min(low, range.low);
        high = std::max(high, range.high);
    }
    series->append(sets);
    // The view owns the chart, the chart its series and axes.
    auto* chart = new QChart;
    chart->legend()->hide();
    chart->addSeries(series);
    auto* x_axis = new QValueAxis;
    x_axis->setRange(-1.0, static_cast<qreal>(columns));
    auto* y_axis = new QValueAxis;
    y_axis->setRange(low, high);
    chart->addAxis(x_axis, Qt::AlignBottom);
    chart->addAxis(y_axis, Qt::AlignRight);
    series->attachAxis(x_axis);
    series->attachAxis(y_axis);
    QChartView view(chart);
    view.resize(Width, Height);
    const double build = Seconds(clock);
    clock.restart();
    view.show();
    QApplication::processEvents();
    QImage image(Width, Height, QImage::Format_ARGB32_Premultiplied);
    {
        QPainter painter(&image);
        view.render(&painter);
    }
    const double first_frame = Seconds(clock);
    std::printf("Qt Charts, %zu sets%s: build %.3f s, first frame %.3f s, peak RSS %ld kB\n",
                columns, per_column ? " (one per pixel column)" : "", build, first_frame,
                PeakResidentKb());
    const std::string what = "Qt Charts, next frame of " + std::to_string(columns) + " sets";
    TimeFrames(what.c_str(), [&] {
        QPainter painter(&image);
        view.render(&painter);
    });
}
#endif

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const std::size_t count = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1000000;
    const std::size_t qt_charts_count =
        std::min(count, argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 100000);
    if (count == 0) {
        std::fprintf(stderr, "chart_bench: give at least one bar\n");
        return 2;
    }
    std::vector<varn::ChartBar> bars = MakeBars(count);
    std::printf("%zu bars, a %dx%d frame; peak RSS %ld kB\n", count, Width, Height,
                PeakResidentKb());

    varn::BarChart chart;
    chart.resize(Width, Height);
    chart.show();
    QApplication::processEvents();
    const long before = PeakResidentKb();
    QElapsedTimer clock;
    clock.start();
    chart.SetBars(bars, true);
    std::printf("own painting: SetBars %.3f s (copy and block index), peak RSS +%ld kB\n",
                Seconds(clock), PeakResidentKb() - before);
    QImage image(chart.size(), QImage::Format_ARGB32_Premultiplied);
    const auto frame = [&] {
        QPainter painter(&image);
        chart.render(&painter);
    };
    const std::size_t plot_width = static_cast<std::size_t>(chart.PlotRect().width());
    struct Case {
        const char* what;
        std::size_t first, last;
    };
    const Case cases[] = {
        {"own painting, full zoom-out", 0, count},
        {"own painting, a tenth in sight", count / 2, count / 2 + count / 10},
        {"own painting, 20 bars a pixel column", count / 3, count / 3 + 20 * plot_width},
        {"own painting, 200 candles", count / 3, count / 3 + 200},
        {"own painting, 20 candles", count / 3, count / 3 + 20},
    };
    for (const Case& c : cases) {
        chart.SetVisibleRange(c.first, c.last);
        TimeFrames(c.what, frame);
    }
    // A zoom step as the wheel makes it, with its frame.
    chart.SetVisibleRange(0, count);
    int notch = 0;
    TimeFrames("own painting, wheel step and frame near zoom-out", [&] {
        const QPointF middle(chart.PlotRect().center());
        const int delta = (notch++ % 2 == 0) ? 120 : -120;
        QWheelEvent event(middle, middle, QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(&chart, &event);
        frame();
    });

#ifdef VARN_BENCH_QT_CHARTS
    varn::BarRangeIndex index;
    std::vector<varn::PriceRange> ranges;
    for (const varn::ChartBar& bar : bars) ranges.push_back({bar.low, bar.high, bar.volume});
    index.Build(std::move(ranges));
    QtChartsCase(bars, count, true, index);
    for (std::size_t n = std::min<std::size_t>(10000, qt_charts_count); n <= qt_charts_count;
         n *= 10) {
        QtChartsCase(bars, n, false, index);
    }
#else
    (void)qt_charts_count;
    std::printf("Qt Charts not found: its cases are left out\n");
#endif
    return 0;
}
