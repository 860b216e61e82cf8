#include "EditorFixture.h"

TEST_F(EditorFixture, SimpleCommands) {
    editor->setBrushSize(32);
    editor->increaseBrushSize();
    EXPECT_EQ(editor->brushSize(), 32);
    editor->setBrushSize(-3);
    EXPECT_EQ(editor->brushSize(), 1);
    editor->decreaseBrushSize();
    EXPECT_EQ(editor->brushSize(), 1);
}

TEST_F(EditorFixture, ReplacedSpriteResetsViewState) {
    QList<EditorViewState::ZoomIntent> zooms;
    editor->view().performZoom = [&](EditorViewState::ZoomIntent intent) { zooms.append(intent); };
    editor->setSelection(PixelRect{0, 0, 2, 2});
    editor->view().setCursorPixel(PixelPoint{1, 1});
    editor->beginStroke();
    document->setSprite(Sprite::blank(40, 30));
    editor->spriteWasReplaced();
    EXPECT_FALSE(editor->selection());
    EXPECT_FALSE(editor->view().cursorPixel());
    EXPECT_FALSE(editor->isGestureActive());
    EXPECT_EQ(zooms, QList<EditorViewState::ZoomIntent>{EditorViewState::ZoomIntent::fit});
}

TEST_F(EditorFixture, SavingAfterTheEditorClosedIsSafe) {
    editor.reset();
    const auto snapshot = document->snapshotForSaving(); // its hook held the editor weakly
    EXPECT_EQ(snapshot.sprite, sprite());
}
