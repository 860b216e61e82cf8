#include "PixelDocument.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace {

struct DocumentFixture : ::testing::Test {
    PixelDocument document{Sprite::blank(8, 8)};
    QList<PixelRect> redrawn;
    int structureCalls = 0;

    void SetUp() override {
        document.onPixelsChanged = [this](PixelRect rect) { redrawn.append(rect); };
        document.onStructureChanged = [this] { ++structureCalls; };
    }

    QUuid layerID() const { return document.sprite().layers[0].id; }

    // The patch of a first stroke on the empty cel: two pixels painted.
    PixelPatch firstStroke() const {
        const PixelRect rect{2, 3, 2, 1};
        return {layerID(), 0, rect, PixelSpans::rectangle(rect), {0, 0}, {0xFF0000FF, 0xFF00FF00},
                true};
    }
};

} // namespace

TEST_F(DocumentFixture, FirstStrokeUndoRemovesCelAndRedoRecreatesIt) {
    document.apply(firstStroke(), document.undoStack(), true, "Draw");
    const Sprite painted = document.sprite();
    ASSERT_TRUE(painted.cel(0, 0).has_value());
    EXPECT_EQ(painted.cel(0, 0)->pixel(3, 3), 0xFF00FF00u);
    EXPECT_EQ(document.undoStack()->undoText(), "Draw");

    document.undoStack()->undo();
    EXPECT_FALSE(document.sprite().cel(0, 0).has_value());
    document.undoStack()->redo();
    EXPECT_EQ(document.sprite(), painted);
    EXPECT_EQ(redrawn.last(), PixelRect(2, 3, 2, 1));
    EXPECT_EQ(document.revision(), 3);
}

TEST_F(DocumentFixture, PatchOfDeletedLayerChangesNothing) {
    const PixelPatch stroke = firstStroke();
    const QUuid originalLayer = layerID();
    document.apply(stroke, document.undoStack(), true, "Draw");
    document.performStructuralEdit("Delete Layer", document.undoStack(), [](Sprite& sprite) {
        sprite.layers.append(Layer("Layer 2", 1));
        sprite.layers.removeFirst();
        sprite.normalize();
    });
    const Sprite afterDelete = document.sprite();
    const qint64 revision = document.revision();
    document.apply(stroke, nullptr, false, "Draw");
    EXPECT_EQ(document.sprite(), afterDelete);
    EXPECT_EQ(document.revision(), revision);

    // Undoing the deletion brings the layer back with its id, so the stroke undoes again.
    document.undoStack()->undo();
    document.undoStack()->undo();
    EXPECT_FALSE(document.sprite().cel(0, 0).has_value());
    EXPECT_EQ(document.sprite().layers[0].id, originalLayer);
}

TEST_F(DocumentFixture, StructuralEditsThatChangeNothingOrHaveNoStackLeaveNoStep) {
    document.performStructuralEdit("Nothing", document.undoStack(), [](Sprite&) {});
    EXPECT_FALSE(document.undoStack()->canUndo());
    EXPECT_FALSE(document.hasUnsavedChanges());
    document.performStructuralEdit("Add Frame", nullptr, [](Sprite& s) { s.insertFrame(0); });
    EXPECT_EQ(document.sprite().frames.size(), 2);
    EXPECT_EQ(structureCalls, 1);
    EXPECT_EQ(redrawn.last(), PixelRect(0, 0, 8, 8));
    EXPECT_FALSE(document.undoStack()->canUndo());
}

TEST_F(DocumentFixture, MarkSavedIsDeferredAndOnlyForTheSavedRevision) {
    document.notifyContentChanged();
    const auto snapshot = document.snapshotForSaving();
    EXPECT_EQ(snapshot.sprite, document.sprite());

    document.markSaved(snapshot.revision);
    EXPECT_TRUE(document.hasUnsavedChanges()); // not before the next turn
    QCoreApplication::processEvents();
    EXPECT_FALSE(document.hasUnsavedChanges());

    // A change made while the write ran keeps the document unsaved.
    document.notifyContentChanged();
    const auto second = document.snapshotForSaving();
    document.notifyContentChanged();
    document.markSaved(second.revision);
    QCoreApplication::processEvents();
    EXPECT_TRUE(document.hasUnsavedChanges());
}
