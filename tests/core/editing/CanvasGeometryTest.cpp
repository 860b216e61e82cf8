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
