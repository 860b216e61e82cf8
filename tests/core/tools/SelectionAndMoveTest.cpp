#include "ToolFixture.h"

namespace {

// Three red pixels inside the selection, a blue one outside it.
struct MoveTools : ToolFixture {
    void SetUp() override {
        ToolFixture::SetUp();
        for (const PixelPoint& p : {PixelPoint{2, 2}, PixelPoint{3, 2}, PixelPoint{2, 3}})
            paint(p.x, p.y, red);
        paint(4, 4, blue);
        editor->setSelection(PixelRect{1, 1, 3, 3});
    }
};

} // namespace

using Marquee = ToolFixture;

TEST_F(Marquee, MarqueeStaysOnTheCanvasAndAClickClearsIt) {
    use(ToolKind::select);
    drag({{2, 2}, {5, 3}}, shifted);
    EXPECT_EQ(editor->selection(), (PixelRect{2, 2, 4, 4}));
    drag({{3, 9}, {-4, 20}});
    EXPECT_EQ(editor->selection(), (PixelRect{0, 9, 4, 7}));

    editor->pointerDown({4, 9}, {}); // just outside: at once the pressed pixel
    EXPECT_EQ(editor->selection(), (PixelRect{4, 9, 1, 1}));
    editor->pointerUp({4, 9}, {}); // no drag: no selection
    EXPECT_FALSE(editor->selection());

    drag({{-3, -3}, {1, 1}}); // from off the canvas
    EXPECT_EQ(editor->selection(), (PixelRect{0, 0, 2, 2}));
    EXPECT_EQ(undoCount(), 0);
}

TEST_F(MoveTools, DraggingTheSelectionMovesItsPixelsAsOneStep) {
    use(ToolKind::select);
    const QList<quint32> before = words();
    drag({{2, 2}, {4, 2}, {5, 2}});
    EXPECT_EQ(lastStep(), "Move");
    EXPECT_EQ(paintedSet(), (QSet<PixelPoint>{{5, 2}, {6, 2}, {5, 3}, {4, 4}}));
    EXPECT_EQ(editor->selection(), (PixelRect{4, 1, 3, 3}));
    undo().undo();
    EXPECT_EQ(words(), before);

    // Past the edge the selection keeps its size; what leaves the canvas is dropped.
    editor->setSelection(PixelRect{1, 1, 3, 3});
    drag({{2, 2}, {-3, 2}});
    EXPECT_EQ(editor->selection(), (PixelRect{-4, 1, 3, 3}));
    EXPECT_EQ(paintedSet(), (QSet<PixelPoint>{{4, 4}}));
}

TEST_F(MoveTools, MoveToolDragsTheLayerOneAxisAtATimeAndEscapeTakesItBack) {
    editor->setSelection(std::nullopt);
    use(ToolKind::move);
    drag({{0, 0}, {5, 5}}, shifted); // the tie goes horizontal
    EXPECT_EQ(paintedSet(), (QSet<PixelPoint>{{7, 2}, {8, 2}, {7, 3}, {9, 4}}));
    EXPECT_EQ(lastStep(), "Move");

    const QList<quint32> before = words();
    editor->setSelection(PixelRect{6, 1, 4, 4});
    editor->pointerDown({7, 2}, {});
    editor->pointerMoved({7, 9}, {});
    EXPECT_NE(words(), before);
    editor->escape();
    editor->pointerUp({7, 9}, {});
    EXPECT_EQ(words(), before);
    EXPECT_EQ(undoCount(), 5);
    EXPECT_FALSE(editor->selection()); // Escape then deselects
    EXPECT_FALSE(editor->contentDrag());

    editor->setLayerVisibility(layerID(0), false); // a hidden layer does not move
    drag({{0, 0}, {3, 0}});
    EXPECT_EQ(words(), before);
}

TEST_F(MoveTools, AMoveThatChangedNoPixelLeavesNoStepAndKeepsRedo) {
    undo().undo(); // something to redo
    const QList<quint32> before = words();
    // A jittery click, with and without a selection, and transparent pixels dragged.
    const QList<std::pair<std::optional<PixelRect>, QList<PixelPoint>>> cases = {
        {std::nullopt, {{3, 3}, {3, 3}, {3, 3}}},
        {PixelRect{1, 1, 3, 3}, {{2, 2}, {2, 2}}},
        {PixelRect{6, 6, 3, 3}, {{7, 7}, {9, 7}, {12, 9}}},
    };
    use(ToolKind::move);
    for (const auto& [selection, path] : cases) {
        editor->setSelection(selection);
        drag(path);
        EXPECT_EQ(words(), before);
        EXPECT_EQ(undoCount(), 4);
        EXPECT_TRUE(undo().canRedo());
    }

    // Out and back with pixels in hand is still the user's deliberate move.
    editor->setSelection(std::nullopt);
    drag({{3, 3}, {4, 3}, {3, 3}});
    EXPECT_EQ(words(), before);
    EXPECT_EQ(lastStep(), "Move");
    EXPECT_FALSE(undo().canRedo());
}

TEST_F(MoveTools, NudgesAreStepsOfTheirOwn) {
    editor->nudgeContent(0, 0);
    editor->nudgeContent(1, 0);
    editor->nudgeContent(0, 1);
    EXPECT_EQ(paintedSet(), (QSet<PixelPoint>{{3, 3}, {4, 3}, {3, 4}, {4, 4}}));
    EXPECT_EQ(pixel(4, 4), blue); // transparent lifted pixels leave what is under them
    EXPECT_EQ(editor->selection(), (PixelRect{2, 2, 3, 3}));

    editor->setSelection(std::nullopt); // no selection: the whole layer moves
    editor->nudgeContent(-1, 0);
    EXPECT_EQ(paintedSet(), (QSet<PixelPoint>{{2, 3}, {3, 3}, {2, 4}, {3, 4}}));
    EXPECT_EQ(undoCount(), 7);
    undo().setIndex(4);
    EXPECT_EQ(paintedSet(), (QSet<PixelPoint>{{2, 2}, {3, 2}, {2, 3}, {4, 4}}));
}

TEST_F(MoveTools, GestureIgnoresOtherButtonsAndEditingCommandsUntilRelease) {
    document->sprite().insertFrame(1);
    editor->setPrimaryColor(PixelColor(green));
    use(ToolKind::line);
    editor->pointerDown({1, 1}, {});
    EXPECT_TRUE(editor->isGestureActive()); // a line has no stroke open yet, but is a gesture
    editor->pointerMoved({3, 1}, {});
    const Sprite during = sprite();
    editor->pointerDown({9, 9}, secondary); // another button
    editor->pointerUp({9, 9}, secondary);
    editor->deleteSelection();
    editor->nudgeContent(1, 1);
    editor->addLayer();
    editor->deleteLayer(layerID(0));
    editor->selectNextFrame();
    editor->deleteFrame();
    editor->paste(PasteAnchor::selectionCorner, false, FloatingPaste::Destination::activeLayer);
    EXPECT_EQ(sprite(), during);
    EXPECT_TRUE(editor->selection());
    EXPECT_FALSE(editor->floatingPaste());
    editor->pointerUp({3, 1}, {});
    EXPECT_EQ(pixel(1, 1), green);
    EXPECT_EQ(pixel(3, 1), green);

    editor->deleteSelection();
    EXPECT_EQ(lastStep(), "Delete");
    EXPECT_EQ(paintedSet(), pointsIn({4, 4, 1, 1}));
}
