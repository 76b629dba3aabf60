#include <gtest/gtest.h>

#include <QScatterSeries>
#include <QValueAxis>
#include <cmath>

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
        QObject::connect(series->qseries(), &QXYSeries::pointsReplaced, [this] { ++handOvers; });
        QObject::connect(series->qseries(), &QXYSeries::pointAdded, [this] { ++singleAdds; });
        window.show();
    }
    std::vector<QPointF> handedOver() const {
        const QList<QPointF> points = series->qseries()->points();
        return {points.begin(), points.end()};
    }
    int handOvers = 0;
    int singleAdds = 0;
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
    EXPECT_EQ(series->qseries()->count(), 0); // nothing reaches the chart before the hand-over
    series->flush();
    EXPECT_EQ(handOvers, 1);
    EXPECT_EQ(singleAdds, 0);
    EXPECT_EQ(handedOver(), series->points());
    EXPECT_DOUBLE_EQ(series->point(0).x(), -1.0); // t = pi comes first

    series->clear();
    series->flush();
    EXPECT_EQ(handOvers, 2);
    EXPECT_EQ(series->qseries()->count(), 0);
}

TEST_F(SeriesFixture, PointsNotHandedOverArriveWhenTheEventLoopRuns) {
    series->addXY(5, 6);
    series->addXY(7, 8);
    EXPECT_EQ(series->qseries()->count(), 0);
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
    EXPECT_EQ(april->qseries()->name(), QStringLiteral("kwiecień"));
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
    EXPECT_EQ(chart.bottomAxis()->min(), 2000);
    EXPECT_EQ(chart.bottomAxis()->max(), 2020);
    EXPECT_EQ(chart.leftAxis()->min(), 0);
    EXPECT_EQ(chart.leftAxis()->max(), 31);
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
    const QImage shot = chart->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRectF plot = chart->viewportTransform().mapRect(chart->chart()->plotArea());
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
    const QImage shot = chart->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QColor outline(255, 0, 0);
    const QColor fill(255, 255, 0);
    for (const QPointF& p : shown) {
        const QPointF at =
            chart->viewportTransform().map(chart->chart()->mapToPosition(p, series->qseries()));
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
    const QRectF plot = chart->viewportTransform().mapRect(chart->chart()->plotArea());
    for (int y = static_cast<int>(std::ceil(plot.bottom())) + 1; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            ASSERT_NE(shot.pixelColor(x, y), fill) << x << ", " << y;
}

} // namespace
