#include "DocumentUndoCommands.h"
#include "EditorFixture.h"

TEST_F(EditorFixture, DabFootprintsGrowRightAndDownForEvenSizes) {
    struct Dab {
        qint64 size;
        PixelRect covered;
    };
    const QList<Dab> dabs = {
        {1, {5, 5, 1, 1}}, {2, {5, 5, 2, 2}}, {3, {4, 4, 3, 3}}, {4, {4, 4, 4, 4}}};
    for (const Dab& dab : dabs) {
        open(Sprite::blank(16, 16));
        editor->setBrushSize(dab.size);
        editor->beginStroke();
        editor->stamp({5, 5}, PixelColor(red)); // no size: the brush
        editor->endStroke("Draw");
        EXPECT_EQ(paintedSet(), pointsIn(dab.covered)) << "size " << dab.size;
    }
    open(Sprite::blank(16, 16));
    editor->beginStroke();
    editor->stamp({0, 0}, PixelColor(red), 4);             // clipped at the corner
    editor->stamp({3, 3}, PixelColor(red), 1'000'000'000); // bounded by the canvas
    editor->endStroke("Draw");
    EXPECT_EQ(painted().size(), 16 * 16);
}

TEST_F(EditorFixture, MirrorImagesObeyTheSelectionClip) {
    editor->setSymmetry(SymmetryMode::leftRight);
    editor->setSelection(PixelRect{0, 0, 8, 16}); // the left half only
    editor->beginStroke();
    editor->stamp({1, 1}, PixelColor(red), 2);
    editor->endStroke("Draw");
    EXPECT_EQ(paintedSet(), pointsIn({1, 1, 2, 2}));

    editor->setSelection(PixelRect{8, 0, 8, 16}); // the right half: only the images land
    editor->setSymmetry(SymmetryMode::both);
    editor->beginStroke();
    editor->stamp({4, 4}, PixelColor(blue), 1);
    editor->endStroke("Draw");
    EXPECT_EQ(pixel(4, 4), 0u);
    EXPECT_EQ(pixel(11, 4), blue);
    EXPECT_EQ(pixel(11, 11), blue);
    EXPECT_EQ(pixel(4, 11), 0u);
}

TEST_F(EditorFixture, StrokeIsOneStepOfItsDirtyRectangle) {
    QList<PixelRect> announced;
    document->onPixelsChanged = [&](PixelRect r) { announced.append(r); };
    editor->beginStroke();
    editor->plot(3, 4, PixelColor(red));
    editor->plot(4, 4, PixelColor(red));
    EXPECT_EQ(invalidated,
              (QList<std::optional<PixelRect>>{PixelRect{3, 4, 1, 1}, PixelRect{4, 4, 1, 1}}));
    EXPECT_EQ(document->revision(), 0); // no notification per pixel
    editor->endStroke("Erase");

    ASSERT_EQ(undo().count(), 1);
    EXPECT_EQ(undo().undoText(), "Erase");
    const PixelPatch& patch = static_cast<const PixelPatchCommand*>(undo().command(0))->patch();
    EXPECT_EQ(patch.rect, PixelRect(3, 4, 2, 1));
    EXPECT_EQ(patch.before, (QList<quint32>{0, 0}));
    EXPECT_TRUE(patch.createdCel);
    EXPECT_EQ(announced, QList<PixelRect>{patch.rect});
    EXPECT_EQ(document->revision(), 1);
    EXPECT_TRUE(document->hasUnsavedChanges());
}

TEST_F(EditorFixture, StrokesThatChangeNothingLeaveNoStep) {
    editor->beginStroke(); // on an empty slot, painting nothing
    editor->endStroke("Draw");
    EXPECT_TRUE(sprite().celPointer(0, 0)); // the blank cel stays
    EXPECT_EQ(undo().count(), 0);

    paint(2, 2, red);
    invalidated.clear();
    const qint64 revision = document->revision();
    editor->beginStroke();
    editor->plot(2, 2, PixelColor(red)); // already that colour
    EXPECT_TRUE(invalidated.isEmpty());
    editor->plot(2, 2, PixelColor(blue));
    editor->plot(2, 2, PixelColor(red)); // and back
    editor->endStroke("Draw");
    EXPECT_EQ(undo().count(), 1);
    EXPECT_EQ(document->revision(), revision);
}

TEST_F(EditorFixture, CancelRestoresEveryPixelWithoutAStep) {
    editor->beginStroke();
    editor->stamp({1, 1}, PixelColor(red), 3);
    editor->cancelStroke();
    EXPECT_FALSE(sprite().celPointer(0, 0)); // the cel it created is gone again
    EXPECT_EQ(invalidated.last(), std::optional<PixelRect>(PixelRect{0, 0, 3, 3}));

    paint(5, 5, blue);
    const Sprite before = sprite();
    const qint64 revision = document->revision();
    editor->beginStroke();
    editor->stamp({5, 5}, PixelColor(red), 4);
    editor->cancelStroke();
    EXPECT_EQ(sprite(), before);
    EXPECT_EQ(document->revision(), revision);
    EXPECT_EQ(undo().count(), 1);
    EXPECT_FALSE(editor->isGestureActive());
}

TEST_F(EditorFixture, BadWritesAndVanishedLayersAreIgnored) {
    editor->writePixel(7, 1, 1, PixelColor(red));  // no such layer
    editor->writePixel(0, -1, 0, PixelColor(red)); // off the canvas
    EXPECT_TRUE(painted().isEmpty());

    editor->beginStroke();
    editor->plot(1, 1, PixelColor(red));
    document->sprite().layers.first().id = QUuid::createUuid(); // the stroke's layer is gone
    editor->endStroke("Draw");
    EXPECT_EQ(undo().count(), 0);
    EXPECT_FALSE(editor->isGestureActive());

    document->sprite().activeLayerID.reset();
    editor->beginStroke();
    EXPECT_FALSE(editor->isGestureActive());
}

TEST_F(EditorFixture, CopyTakenDuringAStrokeKeepsItsPixels) {
    editor->beginStroke();
    editor->plot(1, 1, PixelColor(red));
    const Sprite saved = document->snapshotForSaving().sprite;
    editor->plot(2, 2, PixelColor(red));
    editor->endStroke("Draw");
    EXPECT_EQ(saved.cel(0, 0)->pixel(1, 1), red);
    EXPECT_EQ(saved.cel(0, 0)->pixel(2, 2), 0u);
    EXPECT_EQ(pixel(2, 2), red);
}
