#include "PixelRasterizer.h"
#include "PixelSpans.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace PixelRasterizer;

namespace {

using Points = QList<PixelPoint>;

bool hasDuplicates(const Points& points) {
    return QSet<PixelPoint>(points.begin(), points.end()).size() != points.size();
}

} // namespace

TEST(PixelRasterizer, LineAllOctantsAndEndpoints) {
    EXPECT_EQ(line({0, 0}, {3, 1}), (Points{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
    EXPECT_EQ(line({4, 4}, {4, 4}), (Points{{4, 4}}));
    EXPECT_EQ(line({0, 0}, {-2, -2}), (Points{{0, 0}, {-1, -1}, {-2, -2}}));
    for (const PixelPoint end : {PixelPoint{7, 3}, PixelPoint{-7, 3}, PixelPoint{3, -7},
                                 PixelPoint{-3, -7}, PixelPoint{0, 9}, PixelPoint{-9, 0}}) {
        const Points points = line({0, 0}, end);
        EXPECT_EQ(points.first(), PixelPoint(0, 0));
        EXPECT_EQ(points.last(), end);
        EXPECT_EQ(points.size(), std::max(std::abs(end.x), std::abs(end.y)) + 1);
        for (qint64 i = 1; i < points.size(); ++i) { // 8-connected, one step at a time
            EXPECT_LE(std::abs(points[i].x - points[i - 1].x), 1);
            EXPECT_LE(std::abs(points[i].y - points[i - 1].y), 1);
        }
    }
    EXPECT_EQ(deduplicated({{1, 1}, {2, 2}, {1, 1}, {3, 3}, {2, 2}}),
              (Points{{1, 1}, {2, 2}, {3, 3}}));
}

TEST(PixelRasterizer, Constraints) {
    EXPECT_EQ(constrain({4, 2}, {0, 0}), PixelPoint(2, 2));
    EXPECT_EQ(constrain({5, 2}, {0, 0}), PixelPoint(5, 0));
    EXPECT_EQ(constrain({-4, 3}, {0, 0}), PixelPoint(-3, 3));
    EXPECT_EQ(constrain({-4, 3}, {1, 1}), PixelPoint(-4, 1));
    EXPECT_EQ(constrainSquare({3, -7}, {0, 0}), PixelPoint(7, -7));
    EXPECT_EQ(constrainEquilateral({10, 0}, {0, 0}), PixelPoint(10, 9));
    EXPECT_EQ(constrainEquilateral({-10, -1}, {0, 0}), PixelPoint(-10, -9));
    EXPECT_EQ(constrainEquilateral({1, 20}, {0, 0}), PixelPoint(23, 20)); // 40/√3 = 23.09
}

TEST(PixelRasterizer, RectangleOutlineThinAndWideBoxes) {
    EXPECT_TRUE(rectangleOutline({0, 0, 0, 3}).isEmpty());
    EXPECT_EQ(rectangleOutline({2, 5, 4, 1}), (Points{{2, 5}, {3, 5}, {4, 5}, {5, 5}}));
    EXPECT_EQ(rectangleOutline({2, 5, 1, 3}), (Points{{2, 5}, {2, 7}, {2, 6}}));
    for (qint64 w = 1; w <= 9; ++w)
        for (qint64 h = 1; h <= 9; ++h) {
            const Points outline = rectangleOutline({0, 0, w, h});
            EXPECT_FALSE(hasDuplicates(outline)) << w << "x" << h;
            const qint64 inner = std::max<qint64>(0, w - 2) * std::max<qint64>(0, h - 2);
            EXPECT_EQ(outline.size(), w * h - inner) << w << "x" << h;
        }
    EXPECT_EQ(filledRectangle({1, 1, 2, 2}), (Points{{1, 1}, {2, 1}, {1, 2}, {2, 2}}));
    EXPECT_TRUE(filledRectangle({1, 1, 2, 0}).isEmpty());
}

TEST(PixelRasterizer, EllipseShapes) {
    EXPECT_EQ(ellipseOutline({0, 0, 2, 5}), filledRectangle({0, 0, 2, 5}));
    EXPECT_EQ(ellipseOutline({0, 0, 5, 2}), filledRectangle({0, 0, 5, 2}));
    EXPECT_TRUE(ellipseOutline({0, 0, 5, 0}).isEmpty());
    const Points five = ellipseOutline({0, 0, 5, 5});
    EXPECT_TRUE(five.contains(PixelPoint(2, 0)) && five.contains(PixelPoint(4, 2)));
    EXPECT_FALSE(five.contains(PixelPoint(0, 0)) || five.contains(PixelPoint(4, 4)));

    // Every outline touches all four sides of its box and stays inside it, without repeats.
    for (qint64 w = 3; w <= 17; w += 2)
        for (qint64 h : {3, 4, 7, 8, 16, 33}) {
            const PixelRect box{10, -4, w, h};
            const Points outline = ellipseOutline(box);
            EXPECT_FALSE(hasDuplicates(outline));
            EXPECT_EQ(PixelSpans::fromPoints(outline).bounds(), box) << w << "x" << h;
        }
}

TEST(PixelRasterizer, TriangleApexAndSpans) {
    EXPECT_EQ(PixelSpans::fromPoints(triangleOutline({0, 0, 4, 4})).clipped({0, 0, 9, 1}).points(),
              (Points{{1, 0}, {2, 0}}));
    EXPECT_EQ(PixelSpans::fromPoints(triangleOutline({0, 0, 5, 4})).clipped({0, 0, 9, 1}).points(),
              (Points{{2, 0}}));
    EXPECT_FALSE(hasDuplicates(triangleOutline({0, 0, 4, 4})));
    EXPECT_EQ(triangleOutline({3, 3, 1, 1}), (Points{{3, 3}}));
    EXPECT_TRUE(spanFilled({}).isEmpty());
    EXPECT_EQ(spanFilled({{3, 1}, {0, 1}, {1, 0}}),
              (Points{{1, 0}, {0, 1}, {1, 1}, {2, 1}, {3, 1}}));
}

TEST(PixelRasterizer, FilledShapesListOnlyWhatCanReachTheCanvas) {
    const PixelRect reach{-2, -2, 36, 36};
    const PixelRect huge{-100'000, -100'000, 200'000, 200'000};
    EXPECT_EQ(filledRectangle(huge, reach).size(), reach.area());
    EXPECT_EQ(spanFilled(ellipseOutline(huge), reach).size(), reach.area());

    // Clipping keeps exactly the reachable part of the unclipped list, in order.
    const PixelRect box{-5, 3, 20, 40};
    Points expected;
    for (const PixelPoint& p : spanFilled(triangleOutline(box)))
        if (reach.contains(p))
            expected.append(p);
    EXPECT_EQ(spanFilled(triangleOutline(box), reach), expected);
}
