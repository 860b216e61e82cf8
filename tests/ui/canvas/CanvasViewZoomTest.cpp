#include "CanvasViewFixture.h"

TEST_F(CanvasViewFixture, FitsOnceWhenFirstLaidOutAndZoomingNeverRecomposites) {
    open(Sprite::blank(64, 64), QSize(800, 600));
    EXPECT_EQ(editor->view().zoom(), 8); // 560 / 64 = 8.75, and 8 is the step below
    EXPECT_EQ(editor->view().panOffset(), QSizeF(0, 0));
    const auto composites = [&] {
        return view->composite().statistics().fullRebuilds +
               view->composite().statistics().partialRebuilds;
    };
    view->repaint();
    const qint64 before = composites();
    for (const auto intent :
         {EditorViewState::ZoomIntent::zoomIn, EditorViewState::ZoomIntent::zoomOut,
          EditorViewState::ZoomIntent::actualSize, EditorViewState::ZoomIntent::fit,
          EditorViewState::ZoomIntent::center}) {
        view->handleZoom(intent);
        view->repaint();
    }
    EXPECT_EQ(composites(), before);

    editor->view().setZoomFactor(2);
    view->resize(900, 700);
    settle();
    EXPECT_EQ(editor->view().zoom(), 2);
}

TEST_F(CanvasViewFixture, MenuZoomGoesThroughTheCanvasAnchoredOnThePointer) {
    editor->view().setZoomFactor(4);
    const QPoint pointer = centreOf({3, 12});
    QTest::mouseMove(view.get(), pointer);
    editor->view().zoomIn();
    EXPECT_EQ(editor->view().zoom(), 8);
    EXPECT_EQ(view->pixelAt(pointer), PixelPoint(3, 12));
    editor->view().setZoom(1);
    EXPECT_EQ(view->pixelAt(pointer), PixelPoint(3, 12));

    // Without the pointer over the view the centre stays put.
    QTest::mouseMove(view.get(), {-50, -50});
    editor->view().setPanOffset({0, 0});
    editor->view().zoomIn();
    EXPECT_EQ(editor->view().panOffset(), QSizeF(0, 0));
    editor->view().setPanOffset({30, -12});
    view->handleZoom(EditorViewState::ZoomIntent::center);
    EXPECT_EQ(editor->view().panOffset(), QSizeF(0, 0));
    view->handleZoom(EditorViewState::ZoomIntent::fit);
    EXPECT_EQ(editor->view().zoom(), 8);
    EXPECT_EQ(editor->view().panOffset(), QSizeF(0, 0));
}

TEST_F(CanvasViewFixture, CallbacksLeaveWithTheView) {
    ASSERT_TRUE(editor->invalidateCanvas && editor->view().performZoom &&
                document->onPixelsChanged && document->onStructureChanged);
    view.reset();
    EXPECT_FALSE(editor->invalidateCanvas || editor->view().performZoom ||
                 document->onPixelsChanged || document->onStructureChanged);
    // Without a canvas the zoom commands fall back to the steps, and pixel edits go nowhere.
    editor->view().setZoomFactor(3);
    editor->view().zoomIn();
    EXPECT_EQ(editor->view().zoom(), 4);
    editor->view().setZoom(std::nan(""));
    EXPECT_EQ(editor->view().zoom(), 4);
    editor->beginStroke();
    editor->plot(1, 1, PixelColor(0xFF00FF00));
    editor->endStroke("Draw");
    EXPECT_EQ(cel(1, 1), 0xFF00FF00);
}
