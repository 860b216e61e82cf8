#include "PixelRasterizer.h"
#include "ToolFixture.h"

#include <random>

using StampCoverage = ToolFixture;

// The reference: one stamp per pixel, every dab pixel mirrored and clipped on its own.
TEST_F(StampCoverage, SpansPaintExactlyWhatStampingEveryPointPaints) {
    std::mt19937 random(2026);
    for (const QSize canvas : {QSize(16, 16), QSize(17, 9), QSize(6, 21), QSize(1, 1), QSize(2, 7)})
        for (const SymmetryMode mode : SymmetryModes::all)
            for (const qint64 brush : {1, 2, 3, 4, 7, 32})
                for (int shape = 0; shape < 3; ++shape) {
                    const qint64 w = canvas.width(), h = canvas.height();
                    std::uniform_int_distribution<qint64> x(-w, 2 * w), y(-h, 2 * h);
                    QList<PixelPoint> points;
                    if (shape == 0) { // a scatter, some of it off the canvas
                        for (int i = 0; i < 12; ++i)
                            points.append({x(random), y(random)});
                    } else { // an outline or a filled shape
                        const PixelRect box =
                            PixelRasterizer::box({x(random), y(random)}, {x(random), y(random)});
                        points = shape == 1 ? PixelRasterizer::ellipseOutline(box)
                                            : PixelRasterizer::spanFilled(
                                                  PixelRasterizer::triangleOutline(box));
                    }
                    QList<QList<quint32>> results;
                    for (const bool bySpans : {false, true}) {
                        open(Sprite::blank(w, h));
                        editor->setBrushSize(brush);
                        editor->setSymmetry(mode);
                        if (brush % 2 == 1 && shape == 2)
                            editor->setSelection(PixelRect{1, 0, w / 2 + 1, h - 1});
                        editor->beginStroke();
                        if (bySpans)
                            editor->stampSpans(PixelSpans::fromPoints(points), PixelColor(red));
                        for (const PixelPoint& p : bySpans ? QList<PixelPoint>() : points)
                            editor->stamp(p, PixelColor(red));
                        editor->endStroke("Draw");
                        results.append(words());
                    }
                    ASSERT_EQ(results[1], results[0]) << w << "x" << h << " brush " << brush;
                }
}
