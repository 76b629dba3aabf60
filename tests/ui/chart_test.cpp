#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QLocale>
#include <cmath>
#include <string>

#include "ui/TChart.h"
#include "ui/TPointSeries.h"
#include "ui_test_support.h"

namespace {

struct SeriesFixture : ::testing::Test {
    SeriesFixture() {
        chart = new TChart(&window);
        chart->setGeometry(0, 0, 649, 265);
        series = new TPointSeries;
        series->setXValuesAscending(true);
        chart->addSeries(series);
        QObject::connect(series, &TPointSeries::handedOver, [this] { ++handOvers; });
        QObject::connect(chart, &QCustomPlot::afterReplot, [this] { ++replots; });
        window.show();
        QApplication::processEvents();
        replots = 0;
    }
    const std::vector<QPointF>& handedOver() const { return series->handedPoints(); }
    int handOvers = 0;
    int replots = 0;
    QWidget window;
    TChart* chart = nullptr;
    TPointSeries* series = nullptr;
};

TEST_F(SeriesFixture, AscendingSeriesInsertsByXAfterEqualOnes) {
    series->addXY(2000, 23);
    series->addXY(1998, 12);
    series->addXY(2000, -1);
    series->addXY(1999, 4);
    series->addXY(2000, 7);
    series->addXY(2001, 15);
    const std::vector<QPointF> expected{{1998, 12}, {1999, 4}, {2000, 23}, {2000, -1}, {2000, 7}, {2001, 15}};
    EXPECT_EQ(series->points(), expected);
    EXPECT_EQ(series->count(), 6);
    EXPECT_EQ(series->point(2), QPointF(2000, 23));
}

TEST_F(SeriesFixture, UnorderedSeriesKeepsTheOrderOfAdding) {
    series->setXValuesAscending(false);
    series->addXY(1, 0);
    series->addXY(-1, 0.5);
    EXPECT_EQ(series->points(), (std::vector<QPointF>{{1, 0}, {-1, 0.5}}));
}

// A chart given its points one by one takes time quadratic in their count (20,000: over a minute);
// one hand-over of the whole list takes about a second.
TEST_F(SeriesFixture, PointsReachTheChartInOneHandOver) {
    series->clear();
    for (int i = 0; i < 20001; ++i) {
        const double t = i * 0.00031415926535897933;
        series->addXY(std::cos(t), std::sin(3 * t));
    }
    EXPECT_TRUE(handedOver().empty()); // nothing reaches the chart before the hand-over
    series->flush();
    EXPECT_EQ(handOvers, 1);
    EXPECT_EQ(handedOver(), series->points());
    EXPECT_DOUBLE_EQ(series->point(0).x(), -1.0); // t = pi comes first
    // The chart lays itself out and draws once for the whole batch.
    QApplication::processEvents();
    EXPECT_EQ(replots, 1);

    series->clear();
    series->flush();
    EXPECT_EQ(handOvers, 2);
    EXPECT_TRUE(handedOver().empty());
}

TEST_F(SeriesFixture, PointsNotHandedOverArriveWhenTheEventLoopRuns) {
    series->addXY(5, 6);
    series->addXY(7, 8);
    EXPECT_TRUE(handedOver().empty());
    QApplication::processEvents();
    EXPECT_EQ(handOvers, 1);
    EXPECT_EQ(handedOver(), (std::vector<QPointF>{{5, 6}, {7, 8}}));
}

TEST(Chart, SeriesAreIndexedInTheOrderAdded) {
    TChart chart;
    chart.setTitle(QStringLiteral("data Niedzieli Wielkanocnej"));
    auto* march = new TPointSeries;
    march->setTitle(QStringLiteral("marzec"));
    auto* april = new TPointSeries;
    april->setTitle(QStringLiteral("kwiecień"));
    chart.addSeries(march);
    chart.addSeries(april);
    EXPECT_EQ(chart.seriesCount(), 2);
    EXPECT_EQ(chart.series(0), march);
    EXPECT_EQ(chart.series(1), april);
    EXPECT_EQ(chart.series(2), nullptr);
    EXPECT_EQ(march->parent(), &chart);
    EXPECT_EQ(chart.title(), QStringLiteral("data Niedzieli Wielkanocnej"));
    ASSERT_NE(april->plottable(), nullptr);
    EXPECT_EQ(april->plottable()->name(), QStringLiteral("kwiecień"));
}

TEST(Chart, AutomaticAxesTakeTheRangeOfAllPointsFixedOnesKeepTheirs) {
    TChart chart;
    chart.setLeftAxisAutomatic(false);
    chart.leftAxis()->setRange(0, 31);
    auto* march = new TPointSeries;
    auto* april = new TPointSeries;
    chart.addSeries(march);
    chart.addSeries(april);
    march->addXY(2000, 23);
    april->addXY(2000, -1);
    april->addXY(2020, 12);
    march->addXY(2020, -1);
    march->flush();
    april->flush();
    EXPECT_EQ(chart.bottomAxis()->range().lower, 2000);
    EXPECT_EQ(chart.bottomAxis()->range().upper, 2020);
    EXPECT_EQ(chart.leftAxis()->range().lower, 0);
    EXPECT_EQ(chart.leftAxis()->range().upper, 31);
}

TEST(Chart, SmallPointersWithoutOutlineAreDrawnInTheirFill) {
    QWidget window;
    auto* chart = new TChart(&window);
    chart->setGeometry(0, 0, 300, 200);
    chart->setLegendVisible(false);
    auto* series = new TPointSeries;
    series->setPointerStyle(TPointSeries::PointerStyle::Circle);
    series->setPointerSize(4);
    series->setPointerFill(QColor(0, 128, 255));
    series->setPointerOutline(false);
    chart->addSeries(series);
    for (int i = 0; i <= 10; ++i)
        series->addXY(i, i);
    window.show();
    QApplication::processEvents();
    const QImage shot = chart->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRectF plot = chart->axisRect()->rect();
    int filled = 0;
    int outside = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (shot.pixelColor(x, y) == QColor(0, 128, 255)) {
                ++filled;
                outside += plot.contains(x + 0.5, y + 0.5) ? 0 : 1;
            }
    EXPECT_GE(filled, 11); // at least one pixel of every marker
    // The first and last points lie in the plot area's corners: their markers reach past it.
    EXPECT_GE(outside, 2);
}

// Square pointers, 5 pixels with an outline: an outline of the series' colour, one pixel wide, around
// a 4 x 4 fill, 6 x 6 pixels in all, starting at the pixel in which lies the corner 3 pixels up and
// left of the point; whole also on the plot area's edges and corners. A point below the fixed day
// axis draws nothing.
TEST(Chart, SquarePointersAreOutlinedSquaresAtTheirPoints) {
    QWidget window;
    auto* chart = new TChart(&window);
    chart->setGeometry(0, 0, 649, 265);
    chart->setLegendVisible(false);
    chart->setLeftAxisAutomatic(false);
    chart->leftAxis()->setRange(0, 31);
    auto* series = new TPointSeries;
    series->setColor(QColor(255, 0, 0));
    series->setPointerSize(5);
    series->setPointerFill(QColor(255, 255, 0));
    series->setPointerOutline(true);
    chart->addSeries(series);
    std::vector<QPointF> shown;
    for (int i = 0; i <= 20; ++i) {
        // Days with fractions of a pixel of every kind, and -1 placeholders in between.
        const QPointF p(2000 + i, 3 + i + 0.13 * (i % 7));
        series->addXY(p.x(), p.y());
        series->addXY(p.x() + 0.5, -1);
        shown.push_back(p);
    }
    // The top of the day axis, and its top left corner.
    for (const QPointF p : {QPointF(2007.25, 31), QPointF(2000, 31)}) {
        series->addXY(p.x(), p.y());
        shown.push_back(p);
    }
    window.show();
    QApplication::processEvents();
    const QImage shot = chart->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QColor outline(255, 0, 0);
    const QColor fill(255, 255, 0);
    for (const QPointF& p : shown) {
        const QPointF at(chart->bottomAxis()->coordToPixel(p.x()), chart->leftAxis()->coordToPixel(p.y()));
        const int left = static_cast<int>(std::floor(at.x() - 3));
        const int top = static_cast<int>(std::floor(at.y() - 3));
        SCOPED_TRACE(testing::Message()
                     << "point " << p.x() << ", " << p.y() << " at " << at.x() << ", " << at.y());
        for (int y = -1; y <= 6; ++y) {
            for (int x = -1; x <= 6; ++x) {
                const QColor pixel = shot.pixelColor(left + x, top + y);
                if (x < 0 || y < 0 || x > 5 || y > 5)
                    EXPECT_TRUE(pixel != outline && pixel != fill) << "outside, " << x << ", " << y;
                else if (x == 0 || y == 0 || x == 5 || y == 5)
                    EXPECT_EQ(pixel, outline) << "outline, " << x << ", " << y;
                else
                    EXPECT_EQ(pixel, fill) << "fill, " << x << ", " << y;
            }
        }
    }
    // Below the plot area, where the placeholders would be, nothing of the series.
    const QRect plot = chart->axisRect()->rect();
    for (int y = plot.bottom() + 1; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            ASSERT_NE(shot.pixelColor(x, y), fill) << x << ", " << y;
}

// Pointers as pixel patterns, read from the marker picture the chart draws: 'o' the outline, 'f' the
// fill, '.' nothing.
TEST(Chart, PointersArePixelPatternsOfTheirStyle) {
    using Style = TPointSeries::PointerStyle;
    struct Row {
        Style style;
        int size;
        bool outline;
        std::vector<std::string> pattern;
    };
    const Row rows[] = {
        {Style::Square, 5, true, {"oooooo", "offffo", "offffo", "offffo", "offffo", "oooooo"}},
        {Style::Square, 2, false, {"ff", "ff"}},
        {Style::Circle, 4, false, {".ff.", "ffff", "ffff", ".ff."}},
        {Style::Circle, 3, false, {"fff", "fff", "fff"}},
        {Style::Circle, 5, true, {".oooo.", "ooffoo", "offffo", "offffo", "ooffoo", ".oooo."}},
        {Style::Square, 0, true, {"o"}},
        {Style::Circle, 0, false, {}},
    };
    const QColor outline(255, 0, 0);
    const QColor fill(0, 128, 255);
    for (const Row& row : rows) {
        TPointSeries series;
        series.setColor(outline);
        series.setPointerFill(fill);
        series.setPointerStyle(row.style);
        series.setPointerSize(row.size);
        series.setPointerOutline(row.outline);
        const QImage marker = series.marker();
        std::vector<std::string> seen;
        for (int y = 0; y < marker.height(); ++y) {
            std::string line;
            for (int x = 0; x < marker.width(); ++x) {
                const QColor pixel = marker.pixelColor(x, y);
                line += pixel == outline ? 'o' : pixel == fill ? 'f' : pixel.alpha() == 0 ? '.' : '?';
            }
            seen.push_back(line);
        }
        EXPECT_EQ(seen, row.pattern) << "size " << row.size << (row.outline ? " outlined" : "");
    }
}

// A hidden chart lays out and draws nothing; shown, it draws what changed meanwhile, once.
TEST(Chart, AChangeWhileHiddenIsDrawnOnceWhenShown) {
    QWidget window;
    auto* chart = new TChart(&window);
    chart->setGeometry(0, 0, 300, 200);
    int replots = 0;
    QObject::connect(chart, &QCustomPlot::afterReplot, [&] { ++replots; });
    auto* series = new TPointSeries;
    series->setPointerFill(QColor(0, 128, 255));
    chart->addSeries(series);
    for (int i = 0; i <= 10; ++i)
        series->addXY(i, i);
    series->flush();
    QApplication::processEvents();
    EXPECT_EQ(replots, 0);

    window.show();
    QApplication::processEvents();
    EXPECT_EQ(replots, 1);
    EXPECT_TRUE(chart->grab()
                    .toImage()
                    .convertToFormat(QImage::Format_RGB32)
                    .pixelColor(QPoint(static_cast<int>(chart->bottomAxis()->coordToPixel(5)),
                                       static_cast<int>(chart->leftAxis()->coordToPixel(5)))) ==
                QColor(0, 128, 255));
    QApplication::processEvents();
    EXPECT_EQ(replots, 1); // nothing changed, nothing drawn again
}

// Ordinary ticks: readable steps, one decimal more than the step needs, in the chart's locale.
TEST(Chart, OrdinaryTicksTakeReadableStepsAndOneDecimalMore) {
    struct Row {
        double lo, hi;
        QStringList labels;
    };
    const Row rows[] = {
        {-1, 1, {"-1,00", "-0,50", "0,00", "0,50", "1,00"}},
        {0, 5, {"0,0", "1,0", "2,0", "3,0", "4,0", "5,0"}},
        {0.3, 1.3, {"0,40", "0,60", "0,80", "1,00", "1,20"}},
        {0, 0.001, {"0,00000", "0,00020", "0,00040", "0,00060", "0,00080", "0,00100"}},
        {1e15, 2e15, {"1E+15", "1,2E+15", "1,4E+15", "1,6E+15", "1,8E+15", "2E+15"}},
    };
    for (const Row& row : rows) {
        QWidget window;
        auto* chart = new TChart(&window);
        chart->setGeometry(0, 0, 649, 265);
        chart->setNumberLocale(QLocale(QLocale::Polish, QLocale::Poland));
        chart->setBottomAxisAutomatic(false);
        chart->bottomAxis()->setRange(row.lo, row.hi);
        window.show();
        QApplication::processEvents();
        const QVector<QString> labels = chart->bottomAxis()->tickVectorLabels();
        EXPECT_EQ(QStringList(labels.begin(), labels.end()), row.labels) << row.lo << ".." << row.hi;
    }
}

// Whole-number ticks on ranges short and long, across and up: whole numbers, one interval of the
// 1, 2, 5 series apart, on its multiples or down from the top, the labels apart and inside the chart.
// Beyond whole numbers a double holds, the axis gets ordinary ticks.
TEST(Chart, WholeTicksAreWholeNumbersAnIntervalApartWithRoomForTheirLabels) {
    using Ticks = TChart::WholeTicks;
    struct Row {
        double lo, hi;
        Ticks ticks;
        Qt::Orientation orientation;
    };
    const Row rows[] = {
        {2000, 2020, Ticks::Multiples, Qt::Horizontal},     {0, 5555, Ticks::Multiples, Qt::Horizontal},
        {1999.5, 2000.5, Ticks::Multiples, Qt::Horizontal}, {-3, 7, Ticks::Multiples, Qt::Horizontal},
        {0, 31, Ticks::DownFromMaximum, Qt::Vertical},      {0, 1000, Ticks::DownFromMaximum, Qt::Vertical},
        {0, 1e300, Ticks::Multiples, Qt::Horizontal},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.lo << ".." << row.hi);
        QWidget window;
        auto* chart = new TChart(&window);
        chart->setGeometry(0, 0, 649, 265);
        chart->setNumberLocale(QLocale(QLocale::Polish, QLocale::Poland));
        chart->setLeftAxisAutomatic(false);
        chart->setBottomAxisAutomatic(false);
        QCPAxis* axis = row.orientation == Qt::Horizontal ? chart->bottomAxis() : chart->leftAxis();
        axis->setRange(row.lo, row.hi);
        chart->setWholeTicks(axis, row.ticks);
        window.show();
        QApplication::processEvents();

        const QVector<double> ticks = axis->tickVector();
        const QVector<QString> labels = axis->tickVectorLabels();
        ASSERT_FALSE(ticks.isEmpty());
        ASSERT_EQ(labels.size(), ticks.size());
        if (row.hi > 9.1e15) {
            for (const QString& label : labels)
                EXPECT_FALSE(label.isEmpty());
            continue;
        }
        const double interval = ticks.size() > 1 ? ticks[1] - ticks[0] : 1;
        double decade = interval;
        while (decade >= 10)
            decade /= 10;
        EXPECT_TRUE(decade == 1 || decade == 2 || decade == 5) << interval;
        for (qsizetype i = 0; i < ticks.size(); ++i) {
            EXPECT_EQ(ticks[i], std::floor(ticks[i]));
            EXPECT_EQ(labels[i], QString::number(static_cast<qint64>(ticks[i])));
            if (i > 0) {
                EXPECT_EQ(ticks[i] - ticks[i - 1], interval);
            }
            if (row.ticks == Ticks::Multiples) {
                EXPECT_EQ(std::fmod(ticks[i], interval), 0) << ticks[i];
            }
        }
        if (row.ticks == Ticks::DownFromMaximum) {
            EXPECT_EQ(ticks.back(), std::floor(row.hi));
        }
        EXPECT_LT(ticks.front() - interval, std::ceil(row.lo)); // none left out at the bottom

        const QFontMetricsF metrics(axis->tickLabelFont());
        const bool across = row.orientation == Qt::Horizontal;
        double previousEnd = -1e9;
        for (qsizetype i = 0; i < ticks.size(); ++i) {
            const double at = axis->coordToPixel(ticks[i]);
            const double half = (across ? metrics.horizontalAdvance(labels[i]) : metrics.height()) / 2;
            const double start = across ? at - half : -(at + half);
            EXPECT_GE(start, previousEnd) << labels[i].toStdString() << " overlaps the label before";
            previousEnd = start + 2 * half;
            EXPECT_GE(at - half, 0) << labels[i].toStdString();
            EXPECT_LE(at + half, across ? chart->width() : chart->height()) << labels[i].toStdString();
        }
    }
}

// The title and the legend each take a row above the plot area only while they show anything; the
// legend names every series.
TEST(Chart, TitleAndLegendRowsGoWhenEmptyOrHidden) {
    QWidget window;
    auto* chart = new TChart(&window);
    chart->setGeometry(0, 0, 400, 300);
    auto* march = new TPointSeries;
    march->setTitle(QStringLiteral("marzec"));
    chart->addSeries(march);
    auto* april = new TPointSeries;
    april->setTitle(QStringLiteral("kwiecień"));
    chart->addSeries(april);
    window.show();
    const auto plotHeight = [chart] {
        QApplication::processEvents();
        return chart->axisRect()->rect().height();
    };
    ASSERT_EQ(chart->legend->itemCount(), 2);
    EXPECT_EQ(qobject_cast<QCPPlottableLegendItem*>(chart->legend->item(1))->plottable()->name(),
              QStringLiteral("kwiecień"));

    const int bare = plotHeight();
    chart->setTitle(QStringLiteral("data Niedzieli Wielkanocnej"));
    const int titled = plotHeight();
    EXPECT_LT(titled, bare);
    chart->setLegendVisible(false);
    const int withoutLegend = plotHeight();
    EXPECT_GT(withoutLegend, titled);
    chart->setTitle(QString());
    EXPECT_GT(plotHeight(), withoutLegend);
    chart->setLegendVisible(true);
    EXPECT_EQ(plotHeight(), bare);
}

} // namespace
