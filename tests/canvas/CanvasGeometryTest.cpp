#include "canvas/CanvasGeometry.h"

#include <gtest/gtest.h>

using namespace CanvasGeometry;

TEST(CanvasGeometry, ZoomSteps) {
    EXPECT_EQ(stepUp(1), 2);
    EXPECT_EQ(stepUp(1.5), 2);
    EXPECT_EQ(stepDown(1.5), 1);
    EXPECT_EQ(stepUp(32), 32);
    EXPECT_EQ(stepDown(0.125), 0.125);
    EXPECT_EQ(stepUp(0.9995), 2); // within the tolerance counts as already on the step
    EXPECT_EQ(stepDown(100), 32);
    EXPECT_EQ(clampedZoom(40), 32);
    EXPECT_EQ(clampedZoom(0.01), 0.125);
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
