#include "CanvasGeometry.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace CanvasGeometry;

TEST(CanvasGeometry, ZoomSteps) {
    EXPECT_EQ(stepUp(1), 2);
    EXPECT_EQ(stepDown(1.5), 1);
    EXPECT_EQ(stepUp(32), 32);
    EXPECT_EQ(stepDown(0.125), 0.125);
    EXPECT_EQ(stepUp(0.9995), 2); // within the tolerance counts as already on the step
}

TEST(CanvasGeometry, OriginAndPixelMapping) {
    const QPointF origin = canvasOrigin({300, 200}, 16, 16, 10, {0, 0});
    EXPECT_EQ(origin, QPointF(70, 20));
    EXPECT_EQ(pixelAt({79.9, 20}, origin, 10), PixelPoint(0, 0));
    EXPECT_EQ(pixelAt({69.9, 19.9}, origin, 10), PixelPoint(-1, -1));
    EXPECT_EQ(pixelAt({230, 180}, origin, 10), PixelPoint(16, 16));
    // Half points round away from zero; pan moves the canvas.
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

TEST(CanvasGeometry, ZoomKeepsThePixelUnderTheFocus) {
    const QSizeF bounds{640, 480};
    const QPointF focus{123.4, 321.9};
    QSizeF pan{17, -9};
    double zoom = 1;
    for (double next : {2.0, 8.0, 32.0, 0.25, 0.125, 4.0}) {
        const QPointF before = canvasOrigin(bounds, 50, 30, zoom, pan);
        const QPointF canvasPoint = (focus - before) / zoom;
        pan = panKeeping(focus, before, zoom, next, bounds, 50, 30);
        zoom = next;
        const QPointF after = canvasOrigin(bounds, 50, 30, zoom, pan);
        // The origin is rounded to whole points, so the focus may drift by half a point.
        EXPECT_NEAR(after.x() + canvasPoint.x() * zoom, focus.x(), 0.5 + 1e-9);
        EXPECT_NEAR(after.y() + canvasPoint.y() * zoom, focus.y(), 0.5 + 1e-9);
    }
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

TEST(CanvasGeometry, ScrollAndPinchFactors) {
    // The same physical scroll zooms the same way whichever way the desktop scrolls.
    EXPECT_EQ(scrollZoomFactor(zoomDelta(120, true)), 2.0);
    EXPECT_EQ(scrollZoomFactor(zoomDelta(-120, false)), 2.0);
    EXPECT_EQ(scrollZoomFactor(zoomDelta(120, false)), 0.5);
    EXPECT_EQ(scrollZoomFactor(10000), 10.0);
    EXPECT_EQ(scrollZoomFactor(-10000), 0.1);
    EXPECT_FALSE(scrollZoomFactor(0).has_value());
    EXPECT_EQ(pinchZoomFactor(0.5), 1.5);
    EXPECT_EQ(pinchZoomFactor(-0.95), 0.1);
    EXPECT_EQ(pinchZoomFactor(50), 10.0);
    EXPECT_FALSE(pinchZoomFactor(0).has_value());
    EXPECT_FALSE(pinchZoomFactor(-1).has_value());
    EXPECT_FALSE(pinchZoomFactor(std::nan("")).has_value());
}

TEST(CanvasGeometry, CursorFootprintFollowsTheBrushOfBrushTools) {
    EXPECT_EQ(cursorFootprint(ToolKind::pencil, 1, {5, 6}), PixelRect(5, 6, 1, 1));
    EXPECT_EQ(cursorFootprint(ToolKind::eraser, 3, {5, 6}), PixelRect(4, 5, 3, 3));
    // An even brush reaches one further right and down, as it stamps.
    EXPECT_EQ(cursorFootprint(ToolKind::ellipse, 4, {5, 6}), PixelRect(4, 5, 4, 4));
    EXPECT_EQ(cursorFootprint(ToolKind::fill, 8, {5, 6}), PixelRect(5, 6, 1, 1));
    // A footprint narrower than 6 points gets an 8-point target around its centre.
    EXPECT_EQ(targetSquare({10, 10, 4, 4}), QRectF(8, 8, 8, 8));
    EXPECT_EQ(targetSquare({10, 10, 6, 6}), QRectF(10, 10, 6, 6));
}

TEST(CanvasGeometry, FoldLinesLieInsideTheCanvas) {
    const QRectF canvas(70, 20, 160, 80);
    EXPECT_EQ(foldLines(SymmetryMode::off, canvas), QList<QLineF>{});
    EXPECT_EQ(foldLines(SymmetryMode::both, canvas),
              (QList<QLineF>{QLineF(150.5, 20, 150.5, 100), QLineF(70, 60.5, 230, 60.5)}));
    // 45° through the centre (150, 60), cut where it leaves the wide canvas at top and bottom.
    EXPECT_EQ(foldLines(SymmetryMode::diagonal, canvas), QList<QLineF>{QLineF(110, 20, 190, 100)});
    EXPECT_EQ(foldLines(SymmetryMode::antiDiagonal, canvas),
              QList<QLineF>{QLineF(110, 100, 190, 20)});
}
