#include "StatusBarView.h"
#include "PanelFixture.h"

#include <QLabel>
#include <QTest>

namespace {

struct StatusBarTest : PanelFixture {
    StatusBarView* bar = nullptr;

    void show(Sprite sprite) {
        open(std::move(sprite));
        bar = PanelFixture::show<StatusBarView>(800);
    }
};

TEST_F(StatusBarTest, ItemsFollowTheEditor) {
    show(spriteWithFrames({100, 100, 100, 100, 100, 100, 100, 100}));
    document->sprite().activeFrameIndex = 2;
    document->notifyContentChanged();
    editor->view().setZoomFactor(8.0);
    editor->setBrushSize(3);
    editor->setSelection(PixelRect{1, 2, 5, 4});
    editor->view().setCursorPixel(PixelPoint{6, 7});

    EXPECT_EQ(bar->zoomItem()->text(), "800%");
    EXPECT_EQ(bar->sizeItem()->text(), "8 \u00D7 8 px");
    EXPECT_EQ(bar->frameItem()->text(), "Frame 3/8");
    EXPECT_EQ(bar->brushItem()->text(), "Brush 3");
    EXPECT_EQ(bar->selectionItem()->text(), "Sel 5 \u00D7 4");
    EXPECT_EQ(bar->pointerItem()->text(), "6, 7");

    editor->view().setZoomFactor(0.125);
    EXPECT_EQ(bar->zoomItem()->text(), "12.5%");
    editor->setSelection(std::nullopt);
    EXPECT_FALSE(bar->selectionItem()->isVisible());
    editor->view().setCursorPixel(std::nullopt);
    EXPECT_EQ(bar->pointerItem()->text(), "");
}

TEST_F(StatusBarTest, PlaySymbolOnlyWhilePlayingAndFrameFollowsPlayback) {
    show(spriteWithFrames({100, 100, 100}));
    EXPECT_FALSE(bar->playingItem()->isVisible());
    editor->startPlayback();
    EXPECT_TRUE(bar->playingItem()->isVisible());
    editor->playback().advance();
    EXPECT_EQ(bar->frameItem()->text(), "Frame 2/3");
    editor->playback().stop();
    EXPECT_FALSE(bar->playingItem()->isVisible());
    EXPECT_EQ(bar->frameItem()->text(), "Frame 1/3"); // back at the frame being edited
}

TEST_F(StatusBarTest, FloatingPixelsShowHowToPlaceThem) {
    show(Sprite::blank(8, 8));
    EXPECT_FALSE(bar->floatingPasteItem()->isVisible());
    FloatingPaste paste{QList<quint32>(4, 0xFFFF0000), 2, 2, {1, 1}};
    editor->setFloatingPaste(paste);
    EXPECT_TRUE(bar->floatingPasteItem()->isVisible());
    EXPECT_EQ(bar->floatingPasteItem()->text(), "Return to place \u00B7 Esc to cancel");
    editor->setFloatingOrigin({7, 3}); // one column hangs off the right edge
    EXPECT_EQ(bar->floatingPasteItem()->text(),
              "Return to place \u00B7 Esc to cancel \u00B7 part is off the canvas");
    editor->commitFloatingPaste();
    EXPECT_FALSE(bar->floatingPasteItem()->isVisible());
}

TEST_F(StatusBarTest, UnsavedMarkerUntilSaved) {
    show(Sprite::blank(4, 4));
    EXPECT_FALSE(bar->unsavedItem()->isVisible());
    editor->addLayer();
    EXPECT_TRUE(bar->unsavedItem()->isVisible());
    EXPECT_EQ(bar->unsavedItem()->toolTip(),
              "This sprite has changes that are not in the file yet. Ctrl+S saves it.");
    document->markSaved(document->snapshotForSaving().revision);
    QTRY_VERIFY(!bar->unsavedItem()->isVisible());
}

} // namespace
