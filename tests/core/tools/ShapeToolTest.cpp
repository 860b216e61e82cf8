#include "PixelRasterizer.h"
#include "ToolFixture.h"

using ShapeTools = ToolFixture;

TEST_F(ShapeTools, PreviewFollowsTheDragAndOnlyTheReleasePaints) {
    editor->setPrimaryColor(PixelColor(red));
    editor->setSecondaryColor(PixelColor(blue));
    use(ToolKind::rectangle);
    editor->pointerDown({2, 2}, secondary);
    ASSERT_TRUE(editor->preview());
    EXPECT_EQ(editor->preview()->pixels.points(), (QList<PixelPoint>{{2, 2}}));
    EXPECT_EQ(editor->preview()->color.raw, blue);
    editor->pointerMoved({5, 4}, secondary);
    EXPECT_EQ(editor->preview()->pixels,
              PixelSpans::fromPoints(PixelRasterizer::rectangleOutline({2, 2, 4, 3})));
    editor->setShapeFilled(true); // read again at the next move
    editor->pointerMoved({5, 4}, secondary);
    EXPECT_EQ(editor->preview()->pixels.pixelCount(), 12);
    EXPECT_TRUE(painted().isEmpty());
    editor->pointerUp({5, 4}, secondary);
    EXPECT_FALSE(editor->preview());
    EXPECT_EQ(paintedSet(), pointsIn({2, 2, 4, 3}));
    EXPECT_EQ(pixel(3, 3), blue);
    EXPECT_EQ(lastStep(), "Rectangle");

    // Escape takes back the preview and leaves the canvas as it was.
    use(ToolKind::ellipse);
    editor->pointerDown({8, 8}, {});
    editor->pointerMoved({14, 14}, {});
    editor->escape();
    EXPECT_FALSE(editor->preview());
    editor->pointerUp({14, 14}, {});
    EXPECT_EQ(paintedSet(), pointsIn({2, 2, 4, 3}));
    EXPECT_EQ(undoCount(), 1);
}

TEST_F(ShapeTools, ShiftConstraintsAndActionNames) {
    struct Case {
        ToolKind kind;
        PixelPoint to;
        PixelRect box;
        const char* action;
    };
    // The triangle's height comes from its width: 10 across, 1 down gives a 9 high constraint.
    const QList<Case> cases = {
        {ToolKind::rectangle, {6, 3}, {2, 2, 5, 5}, "Rectangle"},
        {ToolKind::ellipse, {0, 5}, {0, 2, 3, 4}, "Ellipse"}, // a square past the left edge
        {ToolKind::triangle, {12, 3}, {2, 2, 11, 10}, "Triangle"},
        {ToolKind::line, {9, 4}, {2, 2, 8, 1}, "Line"}, // snaps horizontal
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action);
        open(Sprite::blank(16, 16));
        editor->setShapeFilled(true);
        use(c.kind);
        drag({{2, 2}, c.to}, shifted);
        EXPECT_EQ(lastStep(), c.action);
        EXPECT_EQ(PixelSpans::fromPoints(painted()).bounds(), c.box);
    }
    drag({{1, 5}, {1, 7}}, withOption); // Alt does not turn the line tool into an eyedropper
    EXPECT_EQ(pixel(1, 7), 0xFF000000u);
}

// Dragged miles off, the preview lists only what can reach the canvas.
TEST_F(ShapeTools, HugeFilledShapeFarOffPaintsOnlyWhatReachesTheCanvas) {
    open(Sprite::blank(5, 17));
    editor->setShapeFilled(true);
    use(ToolKind::ellipse);
    editor->pointerDown({-40000, -30000}, {});
    editor->pointerMoved({50000, 60000}, {});
    EXPECT_LT(editor->preview()->pixels.pixelCount(), 40 * 40);
    editor->pointerUp({50000, 60000}, {});
    EXPECT_EQ(painted().size(), 5 * 17);
}
