#include "PixelSpans.h"

#include <gtest/gtest.h>
#include <random>

namespace {

QList<PixelPoint> randomPoints(std::mt19937& random, qint64 count, const PixelRect& area) {
    std::uniform_int_distribution<qint64> x(area.x, area.right() - 1);
    std::uniform_int_distribution<qint64> y(area.y, area.bottom() - 1);
    QList<PixelPoint> points;
    for (qint64 i = 0; i < count; ++i)
        points.append({x(random), y(random)});
    return points;
}

} // namespace

TEST(PixelSpans, BuildingMergesAndOrdersRuns) {
    const PixelSpans spans =
        PixelSpans::fromRuns({{2, 5, 7}, {0, 1, 3}, {2, 0, 5}, {2, 9, 9}, {0, 3, 4}, {1, -3, -1}});
    EXPECT_EQ(spans.spans(), (std::vector<PixelSpans::Span>{{0, 1, 4}, {1, -3, -1}, {2, 0, 7}}));
    EXPECT_EQ(spans.pixelCount(), 3 + 2 + 7);
    EXPECT_EQ(spans.bounds(), (PixelRect{-3, 0, 10, 3}));
    EXPECT_TRUE(spans.contains({3, 0}) && spans.contains({-3, 1}));
    EXPECT_FALSE(spans.contains({4, 0}) || spans.contains({0, 1}) || spans.contains({0, 5}));
    EXPECT_TRUE(PixelSpans::fromPoints({}).isEmpty());
    EXPECT_TRUE(PixelSpans::rectangle({0, 0, 0, 4}).isEmpty());
    EXPECT_EQ(PixelSpans::rowHulls({{3, 1}, {0, 1}, {1, 0}}).points(),
              (QList<PixelPoint>{{1, 0}, {0, 1}, {1, 1}, {2, 1}, {3, 1}}));
    EXPECT_EQ(PixelSpans::rectangle({1, 1, 2, 2}).clipped({2, 0, 5, 2}).points(),
              (QList<PixelPoint>{{2, 1}}));
}

TEST(PixelSpans, DilationIsTheUnionOfSquaresAtEveryPixel) {
    std::mt19937 random(20);
    for (int round = 0; round < 60; ++round) {
        const qint64 side = 1 + round % 9;
        const QList<PixelPoint> points =
            randomPoints(random, 1 + round % 25, {-6, -4, 12 + round % 7, 9 + round % 5});
        const PixelSpans dilated = PixelSpans::fromPoints(points).dilated(side);
        QList<PixelPoint> expected;
        const qint64 before = (side - 1) / 2;
        for (const PixelPoint& p : points)
            for (qint64 y = p.y - before; y < p.y - before + side; ++y)
                for (qint64 x = p.x - before; x < p.x - before + side; ++x)
                    expected.append({x, y});
        // Equal to the merged runs of the expected pixels: the same pixels, in normal form.
        EXPECT_EQ(dilated, PixelSpans::fromPoints(expected)) << round;
    }
    // Rows far apart leave a gap between their dilations.
    const PixelSpans apart = PixelSpans::fromPoints({{0, 0}, {0, 100}}).dilated(3);
    EXPECT_EQ(apart.pixelCount(), 2 * 9);
}

TEST(PixelSpans, MirrorsAndTurnsMoveEveryPixel) {
    std::mt19937 random(7);
    for (int round = 0; round < 40; ++round) {
        const QList<PixelPoint> points = randomPoints(random, 30, {-5, -3, 17, 11});
        const PixelSpans spans = PixelSpans::fromPoints(points);
        QList<PixelPoint> mirrored, flipped, turned;
        for (const PixelPoint& p : points) {
            mirrored.append({9 - p.x, p.y});
            flipped.append({p.x, -4 - p.y});
            turned.append({p.y + 3, p.x - 2});
        }
        SCOPED_TRACE(round);
        EXPECT_EQ(spans.mirrored(9, std::nullopt), PixelSpans::fromPoints(mirrored));
        EXPECT_EQ(spans.mirrored(std::nullopt, -4), PixelSpans::fromPoints(flipped));
        EXPECT_EQ(spans.transposed(3, -2), PixelSpans::fromPoints(turned));
        EXPECT_EQ(spans.unitedWith(spans.transposed(3, -2)),
                  PixelSpans::fromPoints(points + turned));
    }
}
