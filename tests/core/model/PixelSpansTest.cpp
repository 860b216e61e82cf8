#include "PixelSpans.h"

#include <QSet>
#include <gtest/gtest.h>
#include <random>

namespace {

using PointSet = QSet<PixelPoint>;

PointSet setOf(const PixelSpans& spans) {
    const QList<PixelPoint> points = spans.points();
    return {points.begin(), points.end()};
}

QList<PixelPoint> randomPoints(std::mt19937& random, qint64 count, const PixelRect& area) {
    std::uniform_int_distribution<qint64> x(area.x, area.right() - 1);
    std::uniform_int_distribution<qint64> y(area.y, area.bottom() - 1);
    QList<PixelPoint> points;
    for (qint64 i = 0; i < count; ++i)
        points.append({x(random), y(random)});
    return points;
}

// The sorted, merged form every operation must hand back.
void expectNormal(const PixelSpans& spans) {
    const auto& runs = spans.spans();
    for (size_t i = 0; i < runs.size(); ++i) {
        EXPECT_LT(runs[i].x, runs[i].end);
        if (i > 0 && runs[i - 1].y == runs[i].y)
            EXPECT_LT(runs[i - 1].end, runs[i].x) << "touching runs left unmerged";
        if (i > 0)
            EXPECT_LE(runs[i - 1].y, runs[i].y);
    }
}

} // namespace

TEST(PixelSpans, BuildingMergesAndOrdersRuns) {
    const PixelSpans spans =
        PixelSpans::fromRuns({{2, 5, 7}, {0, 1, 3}, {2, 0, 5}, {2, 9, 9}, {0, 3, 4}, {1, -3, -1}});
    EXPECT_EQ(spans.spans(), (std::vector<PixelSpans::Span>{{0, 1, 4}, {1, -3, -1}, {2, 0, 7}}));
    EXPECT_EQ(spans.pixelCount(), 3 + 2 + 7);
    EXPECT_EQ(spans.bounds(), (PixelRect{-3, 0, 10, 3}));
    EXPECT_TRUE(spans.contains({3, 0}));
    EXPECT_FALSE(spans.contains({4, 0}));
    EXPECT_FALSE(spans.contains({0, 1}));
    EXPECT_TRUE(spans.contains({-3, 1}));
    EXPECT_FALSE(spans.contains({0, 5}));
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
        PointSet expected;
        const qint64 before = (side - 1) / 2;
        for (const PixelPoint& p : points)
            for (qint64 y = p.y - before; y < p.y - before + side; ++y)
                for (qint64 x = p.x - before; x < p.x - before + side; ++x)
                    expected.insert({x, y});
        SCOPED_TRACE(round);
        EXPECT_EQ(setOf(dilated), expected);
        expectNormal(dilated);
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
        PointSet mirrored, flipped, turned;
        for (const PixelPoint& p : points) {
            mirrored.insert({9 - p.x, p.y});
            flipped.insert({p.x, -4 - p.y});
            turned.insert({p.y + 3, p.x - 2});
        }
        SCOPED_TRACE(round);
        EXPECT_EQ(setOf(spans.mirrored(9, std::nullopt)), mirrored);
        EXPECT_EQ(setOf(spans.mirrored(std::nullopt, -4)), flipped);
        const PixelSpans turnedSpans = spans.transposed(3, -2);
        EXPECT_EQ(setOf(turnedSpans), turned);
        expectNormal(turnedSpans);
        EXPECT_EQ(setOf(spans.unitedWith(turnedSpans)), setOf(spans) + turned);
    }
}
