#include "CanvasGeometry.h"

#include <gtest/gtest.h>

using namespace CanvasGeometry;

TEST(CanvasGeometry, OriginAndPixelMapping) {
    const QPointF origin = canvasOrigin({300, 200}, 16, 16, 10, {0, 0});
    EXPECT_EQ(origin, QPointF(70, 20));
    EXPECT_EQ(pixelAt({79.9, 20}, origin, 10), PixelPoint(0, 0));
    EXPECT_EQ(pixelAt({69.9, 19.9}, origin, 10), PixelPoint(-1, -1));
    EXPECT_EQ(pixelAt({230, 180}, origin, 10), PixelPoint(16, 16));
    EXPECT_EQ(canvasOrigin({301, 201}, 16, 16, 10, {0, 0}), QPointF(71, 21));
    EXPECT_EQ(canvasOrigin({300, 200}, 16, 16, 10, {-5, 3}), QPointF(65, 23));
    EXPECT_EQ(viewRect({2, 3, 4, 1}, origin, 10), QRectF(90, 50, 40, 10));
}

TEST(CanvasGeometry, FitLandsOnAStep) {
    EXPECT_EQ(fitZoom({800, 600}, 64, 64), 8);
    EXPECT_EQ(fitZoom({800, 600}, 4096, 4096), 0.125);
    EXPECT_EQ(fitZoom({30, 30}, 1, 1), 1); // margins leave 1 point: still a whole step
    EXPECT_FALSE(fitZoom({0, 600}, 64, 64).has_value());
    EXPECT_FALSE(fitZoom({800, 600}, 0, 64).has_value());
}

TEST(CanvasGeometry, GridVisibility) {
    struct Case {
        bool toggle;
        double zoom;
        bool automatic;
        double automaticZoom;
        bool shown;
    };
    const Case cases[] = {
        {true, 4, false, 8, true},    {true, 2, false, 8, false},    {true, 2, true, 8, false},
        {true, 2, true, 2, true},     {false, 2, true, 1, true},     {false, 8, true, 8, true},
        {false, 16, false, 4, false}, {false, 7.99, true, 8, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(showsGrid(c.toggle, c.zoom, c.automatic, c.automaticZoom), c.shown)
            << c.toggle << " " << c.zoom << " " << c.automatic << " " << c.automaticZoom;
}

TEST(CanvasGeometry, FoldLinesLieInsideTheCanvas) {
    const QRectF canvas(70, 20, 160, 80);
    EXPECT_EQ(foldLines(SymmetryMode::off, canvas), QList<QLineF>{});
    EXPECT_EQ(foldLines(SymmetryMode::leftRight, canvas),
              QList<QLineF>{QLineF(150.5, 20, 150.5, 100)});
    EXPECT_EQ(foldLines(SymmetryMode::both, canvas),
              (QList<QLineF>{QLineF(150.5, 20, 150.5, 100), QLineF(70, 60.5, 230, 60.5)}));
    // 45° through the centre (150, 60), cut where it leaves the wide canvas at top and bottom.
    EXPECT_EQ(foldLines(SymmetryMode::diagonal, canvas), QList<QLineF>{QLineF(110, 20, 190, 100)});
    EXPECT_EQ(foldLines(SymmetryMode::antiDiagonal, canvas),
              QList<QLineF>{QLineF(110, 100, 190, 20)});
}
