#include "PixelRasterizer.h"
#include "ToolFixture.h"

#include <random>

namespace {

// The reference: one stamp per pixel, every dab pixel mirrored and clipped on its own.
QList<quint32> stampedOneByOne(ToolFixture& f, const QList<PixelPoint>& points) {
    f.editor->beginStroke();
    for (const PixelPoint& p : points)
        f.editor->stamp(p, f.editor->primaryColor());
    f.editor->endStroke("Reference");
    return f.words();
}

QList<quint32> stampedBySpans(ToolFixture& f, const QList<PixelPoint>& points) {
    f.editor->beginStroke();
    f.editor->stampSpans(PixelSpans::fromPoints(points), f.editor->primaryColor());
    f.editor->endStroke("Spans");
    return f.words();
}

} // namespace

using StampCoverage = ToolFixture;

TEST_F(StampCoverage, SpansPaintExactlyWhatStampingEveryPointPaints) {
    std::mt19937 random(2026);
    const QList<QSize> canvases = {{16, 16}, {17, 9}, {6, 21}, {1, 1}, {2, 7}};
    int compared = 0;
    for (const QSize canvas : canvases) {
        for (const SymmetryMode mode : SymmetryModes::all) {
            for (const qint64 brush : {1, 2, 3, 4, 7, 32}) {
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
                    std::optional<PixelRect> selection;
                    if (brush % 2 == 1 && shape == 2)
                        selection = PixelRect{1, 0, w / 2 + 1, h - 1};
                    const auto prepare = [&] {
                        open(Sprite::blank(w, h));
                        editor->setBrushSize(brush);
                        editor->setSymmetry(mode);
                        editor->setSelection(selection);
                        editor->setPrimaryColor(PixelColor(red));
                    };
                    prepare();
                    const QList<quint32> expected = stampedOneByOne(*this, points);
                    prepare();
                    const QList<quint32> actual = stampedBySpans(*this, points);
                    ASSERT_EQ(actual, expected)
                        << w << "x" << h << " " << SymmetryModes::rawValue(mode).toStdString()
                        << " brush " << brush << " shape " << shape;
                    ++compared;
                }
            }
        }
    }
    EXPECT_EQ(compared, 5 * 6 * 6 * 3);
}

TEST_F(StampCoverage, AShapeReleaseIsOneStepThatUndoesExactly) {
    open(Sprite::blank(40, 30));
    editor->setBrushSize(32);
    editor->setShapeFilled(true);
    editor->setSymmetry(SymmetryMode::diagonal);
    use(ToolKind::rectangle);
    drag({{3, 4}, {12, 9}});
    EXPECT_EQ(undoCount(), 1);
    const QList<quint32> after = words();
    EXPECT_TRUE(pixel(0, 0) && pixel(28, 25) && pixel(30, 23) && !pixel(39, 29)); // dab, image
    undo().undo();
    EXPECT_TRUE(painted().isEmpty());
    undo().redo();
    EXPECT_EQ(words(), after);

    // Painting the same shape again changes nothing and leaves no second step.
    drag({{3, 4}, {12, 9}});
    EXPECT_EQ(undoCount(), 1);
}
