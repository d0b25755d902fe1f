// The bar chart: the wheel and dragging move the bars in sight, the mouse over
// a bar shows its prices, and a column at full zoom-out shows its bars' whole
// range; the block index behind it answers as a plain scan does.

#include <QDateTime>
#include <QImage>
#include <QLabel>
#include <QWheelEvent>
#include <QtTest>
#include <cmath>
#include <limits>
#include <random>

#include "ui/BarChart.h"
#include "ui/BarRangeIndex.h"

using namespace varn;

using Range = std::pair<std::size_t, std::size_t>;
Q_DECLARE_METATYPE(Range)

namespace {

// count bars a step apart from first (a day, or minutes when given), stamped
// as the classic style writes them, with prices around 10 and volume 100.
std::vector<ChartBar> MakeBars(std::size_t count,
                               QDateTime first = QDateTime(QDate(2001, 1, 1), QTime(0, 0)),
                               int minutes = 0) {
    std::vector<ChartBar> bars;
    bars.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const QDateTime at = minutes == 0 ? first.addDays(static_cast<qint64>(i))
                                          : first.addSecs(static_cast<qint64>(i) * 60 * minutes);
        const ParsedDate date{at.date().year(), at.date().month(),  at.date().day(),
                              at.time().hour(), at.time().minute(), 0};
        bars.push_back(
            {BarStamp(date, minutes == 0 ? TimeLayout::NotIndicated : TimeLayout::SemicolonHm),
             10.0, 10.5, 9.5, 10.25, 100.0, date});
    }
    return bars;
}

void Wheel(QWidget& widget, QPoint point, int delta) {
    QWheelEvent event(QPointF(point), QPointF(widget.mapToGlobal(point)), QPoint(),
                      QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&widget, &event);
}

void Mouse(QWidget& widget, QEvent::Type type, QPoint point, Qt::MouseButton button,
           Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(point), QPointF(widget.mapToGlobal(point)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

// A plain scan, for checking the block index.
PriceRange Scan(const std::vector<PriceRange>& bars, std::size_t first, std::size_t last) {
    PriceRange range = PriceRange::Empty();
    for (std::size_t i = first; i < last && i < bars.size(); ++i) range.Merge(bars[i]);
    return range;
}

bool SameRange(const PriceRange& a, const PriceRange& b) {
    return a.low == b.low && a.high == b.high && std::fabs(a.volume - b.volume) < 1e-6;
}

}  // namespace

class BarChartTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<BarChart> chart_;

  private slots:
    void init() {
        chart_ = std::make_unique<BarChart>();
        chart_->resize(640, 320);
        // A plot 600 pixels wide, so a share of it is a whole pixel.
        chart_->resize(640 + 600 - chart_->PlotRect().width(), 320);
        QCOMPARE(chart_->PlotRect().width(), 600);
        chart_->show();
        chart_->SetBars(MakeBars(1000), true);
    }
    void cleanup() { chart_.reset(); }

    void SetBarsShowsEveryBarAndClearShowsNone() {
        QCOMPARE(chart_->VisibleRange(), Range(0, 1000));
        chart_->SetVisibleRange(100, 200);
        chart_->SetBars(MakeBars(50), false);
        QCOMPARE(chart_->VisibleRange(), Range(0, 50));
        chart_->Clear();
        QCOMPARE(chart_->VisibleRange(), Range(0, 0));
        QCOMPARE(chart_->HoverText(0), QString());
        // Nothing to move and nothing to show, and no fault either.
        Wheel(*chart_, chart_->PlotRect().center(), 120);
        Mouse(*chart_, QEvent::MouseButtonPress, chart_->PlotRect().center(), Qt::LeftButton,
              Qt::LeftButton);
        Mouse(*chart_, QEvent::MouseMove, chart_->PlotRect().center() + QPoint(50, 0), Qt::NoButton,
              Qt::LeftButton);
        QCOMPARE(chart_->VisibleRange(), Range(0, 0));
        QVERIFY(chart_->findChild<QLabel*>(QStringLiteral("hover_label"))->isHidden());
    }

    void SetVisibleRangeClamps_data() {
        QTest::addColumn<Range>("asked");
        QTest::addColumn<Range>("want");
        QTest::newRow("inside") << Range(400, 500) << Range(400, 500);
        QTest::newRow("past the end is cut") << Range(990, 2000) << Range(990, 1000);
        QTest::newRow("empty widens to the fewest") << Range(5, 5) << Range(5, 15);
        QTest::newRow("too few at the end moves back") << Range(995, 996) << Range(990, 1000);
        QTest::newRow("wholly past the end") << Range(2000, 3000) << Range(990, 1000);
    }
    void SetVisibleRangeClamps() {
        QFETCH(Range, asked);
        QFETCH(Range, want);
        chart_->SetVisibleRange(asked.first, asked.second);
        QCOMPARE(chart_->VisibleRange(), want);
    }

    void WheelZoomsAroundCursor_data() {
        QTest::addColumn<Range>("start");
        QTest::addColumn<double>("share");  // of the plot's width, where the cursor is
        QTest::addColumn<int>("delta");
        QTest::addColumn<Range>("want");
        QTest::newRow("in at the left edge keeps the first bar")
            << Range(0, 1000) << 0.0 << 120 << Range(0, 800);
        QTest::newRow("in at the right edge keeps the last bar")
            << Range(0, 1000) << 1.0 << 120 << Range(200, 1000);
        QTest::newRow("in at the middle keeps the middle")
            << Range(0, 1000) << 0.5 << 120 << Range(100, 900);
        QTest::newRow("two notches at once") << Range(0, 1000) << 0.0 << 240 << Range(0, 640);
        QTest::newRow("out at full view stays") << Range(0, 1000) << 0.5 << -120 << Range(0, 1000);
        QTest::newRow("out from a zoomed view")
            << Range(400, 500) << 0.5 << -120 << Range(388, 513);
        QTest::newRow("out past the start stops at bar 0")
            << Range(10, 110) << 0.5 << -600 << Range(0, 305);
        QTest::newRow("in stops at the fewest bars")
            << Range(0, 1000) << 0.0 << 120 * 40 << Range(0, 10);
    }
    void WheelZoomsAroundCursor() {
        QFETCH(Range, start);
        QFETCH(double, share);
        QFETCH(int, delta);
        QFETCH(Range, want);
        chart_->SetVisibleRange(start.first, start.second);
        const QRect plot = chart_->PlotRect();
        const QPoint point(plot.left() + static_cast<int>(std::lround(share * plot.width())),
                           plot.center().y());
        Wheel(*chart_, point, delta);
        QCOMPARE(chart_->VisibleRange(), want);
    }

    void DragScrolls_data() {
        QTest::addColumn<double>("moved");  // in plot widths, to the right
        QTest::addColumn<Range>("want");
        // From bars 400 to 500 in sight.
        QTest::newRow("right by half brings earlier bars") << 0.5 << Range(350, 450);
        QTest::newRow("left by a quarter brings later bars") << -0.25 << Range(425, 525);
        QTest::newRow("far right stops at the first bar") << 20.0 << Range(0, 100);
        QTest::newRow("far left stops at the last bar") << -20.0 << Range(900, 1000);
    }
    void DragScrolls() {
        QFETCH(double, moved);
        QFETCH(Range, want);
        chart_->SetVisibleRange(400, 500);
        const QRect plot = chart_->PlotRect();
        const QPoint from = plot.center();
        const QPoint to = from + QPoint(static_cast<int>(std::lround(moved * plot.width())), 0);
        Mouse(*chart_, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        Mouse(*chart_, QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
        Mouse(*chart_, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        Mouse(*chart_, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(chart_->VisibleRange(), want);
        // Once released, moving the mouse scrolls no more.
        Mouse(*chart_, QEvent::MouseMove, from, Qt::NoButton, Qt::NoButton);
        QCOMPARE(chart_->VisibleRange(), want);
    }

    void HoverShowsStampAndPrices() {
        std::vector<ChartBar> bars = MakeBars(100);
        bars[30] = {"1.31.2001", 1.5, 1.6, 1.4, 1.55, 2500.0, bars[30].date};
        bars[31] = {"2.1.2001", 1271.75, 1280.0, 1265.125, 0.05, 10.0, bars[31].date};
        chart_->SetBars(bars, false);
        QCOMPARE(chart_->HoverText(30),
                 QStringLiteral("1.31.2001  O 1.5000  H 1.6000  L 1.4000  C 1.5500"));
        chart_->SetBars(std::move(bars), true);
        QCOMPARE(chart_->HoverText(30),
                 QStringLiteral("1.31.2001  O 1.5000  H 1.6000  L 1.4000  C 1.5500  V 2500"));
        QCOMPARE(chart_->HoverText(31),
                 QStringLiteral("2.1.2001  O 1271.75  H 1280.00  L 1265.13  C 0.05000  V 10"));
        QCOMPARE(chart_->HoverText(100), QString());

        // The mouse over bar 30 of 100 shows its text; off the plot, nothing.
        const QRect plot = chart_->PlotRect();
        const QPoint over(plot.left() + static_cast<int>(30.5 * plot.width() / 100.0),
                          plot.center().y());
        QCOMPARE(chart_->BarAt(over), std::size_t{30});
        Mouse(*chart_, QEvent::MouseMove, over, Qt::NoButton, Qt::NoButton);
        auto* label = chart_->findChild<QLabel*>(QStringLiteral("hover_label"));
        QVERIFY(label != nullptr);
        QVERIFY(label->isVisible());
        QCOMPARE(label->text(), chart_->HoverText(30));
        Mouse(*chart_, QEvent::MouseMove, QPoint(plot.right() + 5, plot.center().y()), Qt::NoButton,
              Qt::NoButton);
        QVERIFY(label->isHidden());
    }

    // The time axis names the first bar of each period of the finest unit
    // that fits: each label under its own bar, in order, never running into
    // the next, dates as the stamp style writes them, times with two digits.
    void TimeAxisNamesPeriodsThatFit_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("minutes");  // 0: daily bars
        QTest::addColumn<int>("style");
        QTest::addColumn<QStringList>("labels");  // the first ones, or each year's
        QTest::newRow("5 days") << 5 << 0 << 0
                                << QStringList{"1.1.2001", "1.2.2001", "1.3.2001", "1.4.2001"};
        QTest::newRow("5 days, iso")
            << 5 << 0 << 1 << QStringList{"2001-01-01", "2001-01-02", "2001-01-03"};
        QTest::newRow("five-minute bars over two days")
            << 400 << 5 << 0 << QStringList{"1.1.2001", "06:00", "12:00", "18:00", "1.2.2001"};
        QTest::newRow("minutes with two digits")
            << 12 << 1 << 0 << QStringList{"1.1.2001", "15:05", "15:10"};
        QTest::newRow("ten years of days")
            << 3653 << 0 << 0 << QStringList{"2001", "2002", "2003", "2004", "2005",
                                             "2006", "2007", "2008", "2009", "2010"};
        QTest::newRow("100000 days") << 100000 << 0 << 0 << QStringList{"2001"};
    }
    void TimeAxisNamesPeriodsThatFit() {
        QFETCH(int, count);
        QFETCH(int, minutes);
        QFETCH(int, style);
        QFETCH(QStringList, labels);
        // Minute bars start at 15:00, the others at midnight.
        chart_->SetBars(
            MakeBars(static_cast<std::size_t>(count),
                     QDateTime(QDate(2001, 1, 1), QTime(minutes == 1 ? 15 : 0, 0)), minutes),
            false, static_cast<StampStyle>(style));
        const std::vector<BarChart::AxisTick> ticks = chart_->TimeAxisTicks();
        QStringList shown;
        const QFontMetrics metrics = chart_->fontMetrics();
        const QRect plot = chart_->PlotRect();
        for (std::size_t i = 0; i < ticks.size(); ++i) {
            shown.push_back(ticks[i].label);
            QCOMPARE(chart_->BarAt(QPoint(ticks[i].x, plot.top())), ticks[i].bar);
            if (i == 0) continue;
            QVERIFY(ticks[i].bar > ticks[i - 1].bar);
            QVERIFY(ticks[i].x >= ticks[i - 1].x + metrics.horizontalAdvance(ticks[i - 1].label));
        }
        QVERIFY(ticks.back().x + metrics.horizontalAdvance(ticks.back().label) <= chart_->width());
        QCOMPARE(shown.mid(0, labels.size()), labels);
    }

    // Price lines at round prices in sight; the volume scale is the most in sight.
    void PriceTicksAreRound_data() {
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::addColumn<double>("step");
        QTest::newRow("9.5 to 10.5") << 9.5 << 10.5 << 0.25;
        QTest::newRow("1203 to 1290") << 1203.0 << 1290.0 << 25.0;
        QTest::newRow("0.0012 to 0.0019") << 0.0012 << 0.0019 << 0.0002;
    }
    void PriceTicksAreRound() {
        QFETCH(double, low);
        QFETCH(double, high);
        QFETCH(double, step);
        std::vector<ChartBar> bars = MakeBars(20);
        for (ChartBar& bar : bars) bar = {"", low, high, low, high, 100.0 * bar.date.day, bar.date};
        chart_->SetBars(std::move(bars), true);
        const std::vector<double> ticks = chart_->PriceTicks();
        QVERIFY(ticks.size() >= 3);
        for (std::size_t i = 0; i < ticks.size(); ++i) {
            QVERIFY(ticks[i] >= low && ticks[i] <= high);
            QCOMPARE(std::round(ticks[i] / step) * step, ticks[i]);
            if (i > 0) QCOMPARE(std::round((ticks[i] - ticks[i - 1]) / step), 1.0);
        }
        QCOMPARE(chart_->VolumeScale(), 2000.0);
        chart_->SetVisibleRange(0, 10);
        QCOMPARE(chart_->VolumeScale(), 1000.0);
    }

    // The keys move the bars in sight as the mouse does, and the text over
    // the bar under the mouse follows.
    void KeysScrollAndZoom() {
        struct Row {
            Qt::Key key;
            Range want;  // from bars 400 to 500 in sight
        };
        const Row rows[] = {{Qt::Key_Right, {410, 510}},    {Qt::Key_Left, {390, 490}},
                            {Qt::Key_PageDown, {500, 600}}, {Qt::Key_Home, {0, 100}},
                            {Qt::Key_End, {900, 1000}},     {Qt::Key_Plus, {410, 490}},
                            {Qt::Key_Minus, {388, 513}},    {Qt::Key_0, {0, 1000}}};
        QCOMPARE(chart_->focusPolicy(), Qt::StrongFocus);
        const QPoint over = chart_->PlotRect().center();
        Mouse(*chart_, QEvent::MouseMove, over, Qt::NoButton, Qt::NoButton);
        auto* label = chart_->findChild<QLabel*>(QStringLiteral("hover_label"));
        for (const Row& row : rows) {
            chart_->SetVisibleRange(400, 500);
            QTest::keyClick(chart_.get(), row.key);
            QCOMPARE(chart_->VisibleRange(), row.want);
            QCOMPARE(label->text(), chart_->HoverText(chart_->BarAt(over)));
        }
    }

    // At full zoom-out a pixel column holds many bars: a lone high among them
    // must show, not be skipped by taking one bar per column.
    void ZoomedOutColumnShowsItsWholeRange() {
        const std::size_t count = 200000;
        const std::size_t spike = 123457;
        std::vector<ChartBar> bars = MakeBars(count);
        bars[spike].high = 20.0;
        chart_->SetBars(std::move(bars), false);
        const QRect plot = chart_->PlotRect();
        const auto width = static_cast<std::size_t>(plot.width());
        QImage image(chart_->size(), QImage::Format_ARGB32);
        chart_->render(&image);
        const QRgb up = qRgb(38, 166, 91);
        // Rows in the top quarter of the plot hold only the spike's column.
        for (std::size_t x = 0; x < width; ++x) {
            const bool holds_spike = x * count / width <= spike && spike < (x + 1) * count / width;
            bool coloured = false;
            for (int y = plot.top(); y < plot.top() + plot.height() / 4; ++y) {
                coloured = coloured || image.pixel(plot.left() + static_cast<int>(x), y) == up;
            }
            if (coloured != holds_spike) QFAIL(qPrintable(QStringLiteral("column %1").arg(x)));
        }
    }

    // Infinite prices count as missing, and a volume band with no volume in
    // it gives its room back: the candles then reach both the top and the
    // bottom quarter of the plot.
    void CandlesFillThePlot_data() {
        QTest::addColumn<bool>("with_volume");
        QTest::addColumn<double>("volume");
        QTest::addColumn<double>("high");
        QTest::addColumn<double>("low");
        const double inf = std::numeric_limits<double>::infinity();
        const double nan = std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("plain bars") << false << 100.0 << 10.5 << 9.5;
        QTest::newRow("an infinite high and low") << false << 100.0 << inf << -inf;
        QTest::newRow("a missing high and low") << false << 100.0 << nan << nan;
        QTest::newRow("volume asked, none given") << true << nan << 10.5 << 9.5;
        QTest::newRow("infinite volume") << true << inf << 10.5 << 9.5;
    }
    void CandlesFillThePlot() {
        QFETCH(bool, with_volume);
        QFETCH(double, volume);
        QFETCH(double, high);
        QFETCH(double, low);
        std::vector<ChartBar> bars = MakeBars(20);
        for (ChartBar& bar : bars) bar.volume = volume;
        bars[5].high = high;
        bars[6].low = low;
        chart_->SetBars(std::move(bars), with_volume);
        const QRect plot = chart_->PlotRect();
        QImage image(chart_->size(), QImage::Format_ARGB32);
        chart_->render(&image);
        const QRgb up = qRgb(38, 166, 91);
        const auto coloured = [&](int from, int to) {
            for (int y = from; y < to; ++y) {
                for (int x = plot.left(); x <= plot.right(); ++x) {
                    if (image.pixel(x, y) == up) return true;
                }
            }
            return false;
        };
        const int quarter = plot.height() / 4;
        QVERIFY(coloured(plot.top(), plot.top() + quarter));
        QVERIFY(coloured(plot.bottom() - quarter, plot.bottom()));
    }

    void IndexAnswersAsScan_data() {
        QTest::addColumn<int>("size");
        QTest::newRow("one") << 1;
        QTest::newRow("one short of a block") << 15;
        QTest::newRow("one block") << 16;
        QTest::newRow("one past a block") << 17;
        QTest::newRow("two levels, short last block") << 300;
        QTest::newRow("three levels exactly") << 4096;
        QTest::newRow("three levels and a bit") << 5001;
    }
    void IndexAnswersAsScan() {
        QFETCH(int, size);
        std::mt19937 random(static_cast<unsigned>(size));
        std::uniform_real_distribution<double> price(1.0, 100.0);
        constexpr double nan = std::numeric_limits<double>::quiet_NaN();
        std::vector<PriceRange> bars;
        for (int i = 0; i < size; ++i) {
            const double a = price(random);
            const double b = price(random);
            // Every seventh bar has no volume, every eleventh no prices.
            bars.push_back({i % 11 == 5 ? nan : std::min(a, b), i % 11 == 5 ? nan : std::max(a, b),
                            i % 7 == 3 ? nan : std::floor(a)});
        }
        BarRangeIndex index;
        index.Build(bars);
        QCOMPARE(index.Size(), static_cast<std::size_t>(size));
        const auto n = static_cast<std::size_t>(size);
        const auto differs = [&](std::size_t first, std::size_t last) {
            return !SameRange(index.Range(first, last), Scan(bars, first, last));
        };
        std::vector<Range> asked;
        if (n <= 300) {
            for (std::size_t first = 0; first <= n; ++first) {
                for (std::size_t last = first; last <= n + 1; ++last)
                    asked.emplace_back(first, last);
            }
        } else {
            std::uniform_int_distribution<std::size_t> place(0, n);
            for (int i = 0; i < 20000; ++i) {
                std::size_t first = place(random);
                std::size_t last = place(random);
                if (first > last) std::swap(first, last);
                asked.emplace_back(first, last);
            }
            asked.insert(asked.end(), {{0, n}, {1, n}, {0, n - 1}});
        }
        for (const Range& range : asked) {
            if (differs(range.first, range.second)) {
                QFAIL(qPrintable(
                    QStringLiteral("range %1 to %2").arg(range.first).arg(range.second)));
            }
        }
        QVERIFY(!index.Range(7, 7).HasPrices());
        QCOMPARE(index.Range(7, 3).volume, 0.0);
    }
};

QTEST_MAIN(BarChartTest)
#include "BarChartTest.moc"
