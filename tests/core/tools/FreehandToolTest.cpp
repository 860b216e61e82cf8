#include "ToolFixture.h"

using FreehandTool = ToolFixture;

TEST_F(FreehandTool, PixelPerfectDropsCornersAndPutsBackWhatWasUnder) {
    // Right, then down, then right again: corners at (5, 2) and (5, 5).
    const QList<PixelPoint> staircase = {{2, 2}, {5, 2}, {5, 5}, {8, 5}};
    const QSet<PixelPoint> corners = {{5, 2}, {5, 5}};
    const QSet<PixelPoint> stairs =
        pointsIn({2, 2, 4, 1}) + pointsIn({5, 3, 1, 3}) + pointsIn({6, 5, 3, 1});
    const QSet<PixelPoint> thin = stairs - corners;
    QSet<PixelPoint> thick;
    for (const PixelPoint& p : stairs)
        thick += pointsIn({p.x, p.y, 2, 2});
    struct Case {
        bool pixelPerfect;
        qint64 brush;
        QSet<PixelPoint> expectedRed;
    };
    for (const Case& c : {Case{false, 1, stairs}, Case{true, 1, thin}, Case{true, 2, thick}}) {
        open(Sprite::blank(16, 16));
        for (const PixelPoint& p : corners) // colours under the corners
            paint(p.x, p.y, blue);
        editor->setPixelPerfect(c.pixelPerfect);
        editor->setBrushSize(c.brush);
        editor->setPrimaryColor(PixelColor(red));
        drag(staircase);

        QSet<PixelPoint> reds;
        for (const PixelPoint& p : painted())
            if (pixel(p.x, p.y) == red)
                reds.insert(p);
        EXPECT_EQ(reds, c.expectedRed) << c.pixelPerfect << " " << c.brush;
        EXPECT_EQ(pixel(5, 2), c.expectedRed.contains({5, 2}) ? red : blue);
        EXPECT_EQ(undoCount(), 3);
        EXPECT_EQ(lastStep(), "Draw");
        undo().undo();
        EXPECT_EQ(pixel(5, 2), blue);
        EXPECT_EQ(pixel(6, 5), 0u);
    }
}

TEST_F(FreehandTool, ColoursConstraintsAndTheEraser) {
    editor->setPrimaryColor(PixelColor(red));
    editor->setSecondaryColor(PixelColor(blue));
    click({3, 3}, secondary); // right button: the secondary colour, one step for a click
    EXPECT_EQ(painted(), (QList<PixelPoint>{{3, 3}}));
    EXPECT_EQ(pixel(3, 3), blue);
    EXPECT_EQ(undoCount(), 1);

    // Shift snaps each segment; the snapped point is where the next segment starts.
    editor->pointerDown({0, 0}, {});
    editor->pointerMoved({10, 3}, shifted);
    editor->pointerMoved({10, 5}, {});
    editor->pointerMoved({10, 5}, {}); // the same pixel again adds nothing
    editor->pointerUp({10, 5}, {});
    EXPECT_EQ(paintedSet(),
              pointsIn({0, 0, 11, 1}) + pointsIn({10, 1, 1, 5}) + pointsIn({3, 3, 1, 1}));
    EXPECT_EQ(undoCount(), 2);

    use(ToolKind::eraser);
    editor->setSymmetry(SymmetryMode::topBottom);
    editor->setSelection(PixelRect{0, 0, 16, 5}); // the eraser obeys the clip too
    drag({{10, 0}, {10, 15}});
    EXPECT_EQ(pixel(10, 4), 0u);
    EXPECT_EQ(pixel(10, 5), red);
    EXPECT_EQ(lastStep(), "Erase");
}

TEST_F(FreehandTool, HiddenLayerAndCancelledStrokesPaintNothing) {
    editor->pointerDown({1, 1}, {});
    editor->pointerMoved({4, 1}, {});
    editor->escape();
    EXPECT_TRUE(painted().isEmpty());
    EXPECT_FALSE(editor->isGestureActive());

    // The cancelled stroke's last point must not let a later, ignored gesture paint.
    editor->setLayerVisibility(layerID(0), false);
    drag({{1, 1}, {6, 6}});
    EXPECT_TRUE(painted().isEmpty());
    EXPECT_EQ(undoCount(), 1); // only hiding the layer
}
