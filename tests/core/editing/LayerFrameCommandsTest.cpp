#include "EditorFixture.h"

#include <cmath>
#include <limits>

namespace {

// Three layers (names A, B, C bottom to top) over two frames, each cel marked by one pixel.
Sprite threeLayers() {
    Sprite sprite = Sprite::blank(4, 4);
    sprite.insertFrame(1);
    sprite.layers = {Layer("A", 2), Layer("B", 2), Layer("C", 2)};
    for (qint64 l = 0; l < 3; ++l)
        for (qint64 f = 0; f < 2; ++f) {
            sprite.ensureCel(l, f);
            sprite.layers[l].cels[f]->setWordAt(0, 0xFF000000u | quint32(l * 16 + f));
        }
    sprite.activeLayerID = sprite.layers[2].id;
    return sprite;
}

QStringList names(const Sprite& sprite) {
    QStringList result;
    for (const Layer& layer : sprite.layers)
        result.append(layer.name);
    return result;
}

} // namespace

TEST_F(EditorFixture, AddedAndDuplicatedLayersLandAboveTheActiveOne) {
    editor->addLayer();
    editor->addLayer();
    EXPECT_EQ(names(sprite()), (QStringList{"Layer 1", "Layer 2", "Layer 3"}));
    EXPECT_EQ(sprite().activeLayerID, layerID(2));

    editor->selectLayer(layerID(0));
    editor->renameLayer(layerID(0), "  Sky\n");
    paint(1, 1, red);
    editor->duplicateLayer(layerID(0));
    EXPECT_EQ(names(sprite()), (QStringList{"Sky", "Sky copy", "Layer 2", "Layer 3"}));
    EXPECT_EQ(sprite().activeLayerID, layerID(1));
    EXPECT_NE(layerID(1), layerID(0));
    EXPECT_EQ(sprite().layers[1].cels, sprite().layers[0].cels);
    EXPECT_EQ(undo().undoText(), "Duplicate Layer");

    undo().undo();
    EXPECT_EQ(sprite().layers.size(), 3);
}

TEST_F(EditorFixture, MergeDownBlendsAtTheUpperOpacity) {
    Sprite start = threeLayers();
    start.insertFrame(2);
    Layer& upper = start.layers[2];
    upper.opacity = 0.5;
    upper.isVisible = false;   // a hidden layer merges all the same
    upper.cels[0] = Cel(4, 4); // frame 0: red over an empty slot
    upper.cels[0]->setWordAt(5, red);
    start.layers[1].cels[0].reset();
    upper.cels[1]->setWordAt(6, red); // frame 1: red over opaque blue
    start.layers[1].cels[1]->setWordAt(6, blue);
    start.ensureCel(1, 2); // frame 2: no upper cel, the lower one stays
    start.layers[1].cels[2]->setWordAt(9, blue);
    open(start);
    const Layer lower = sprite().layers[1];

    editor->mergeLayerDown(layerID(2));
    ASSERT_EQ(sprite().layers.size(), 2);
    const Layer& merged = sprite().layers[1];
    EXPECT_EQ(merged.id, lower.id);
    EXPECT_EQ(merged.name, "B");
    EXPECT_EQ(merged.opacity, 1.0);
    EXPECT_EQ(sprite().activeLayerID, merged.id);
    EXPECT_EQ(merged.cels[0]->wordAt(5), 0x80FF0000u); // alpha 128
    EXPECT_EQ(merged.cels[1]->wordAt(6), 0xFF800080u);
    EXPECT_EQ(merged.cels[2], lower.cels[2]);
    EXPECT_EQ(undo().undoText(), "Merge Layer Down");

    const qint64 steps = undo().count();
    editor->mergeLayerDown(layerID(0)); // the bottom layer
    EXPECT_EQ(undo().count(), steps);
    undo().undo();
    EXPECT_EQ(sprite(), start);
}

TEST_F(EditorFixture, DeletingTheActiveLayerHandsOver) {
    editor->deleteLayer(layerID(0)); // the only layer
    EXPECT_EQ(undo().count(), 0);

    open(threeLayers());
    editor->deleteLayer(layerID(2)); // active top: the new top takes over
    EXPECT_EQ(sprite().activeLayerID, layerID(1));
    editor->addLayer();
    editor->selectLayer(layerID(0));
    editor->deleteLayer(layerID(0)); // active bottom: the one above takes over
    EXPECT_EQ(sprite().activeLayerID, layerID(0));
    EXPECT_EQ(sprite().layers[0].name, "B");
    editor->deleteLayer(layerID(1)); // not active: the active one stays
    EXPECT_EQ(names(sprite()), (QStringList{"B"}));
    EXPECT_EQ(sprite().activeLayerID, layerID(0));
}

TEST_F(EditorFixture, LayerCommandsThatChangeNothingLeaveNoStep) {
    open(threeLayers());
    const QUuid top = layerID(2);
    editor->moveLayer(top, 1);
    editor->moveLayer(layerID(0), -1);
    editor->moveLayer(top, std::numeric_limits<qint64>::min());
    editor->renameLayer(top, "C");
    editor->renameLayer(top, " \t\n");
    editor->setLayerVisibility(top, true);
    editor->setLayerOpacity(top, 7.0); // clamped to the 1.0 it has
    editor->setLayerOpacity(top, std::nan(""));
    editor->duplicateLayer(QUuid::createUuid());
    editor->selectLayer(top);
    editor->selectLayer(QUuid::createUuid());
    EXPECT_EQ(sprite().activeLayerID, top);
    EXPECT_EQ(document->revision(), 0);
    editor->selectLayer(layerID(0)); // an unsaved change, but no step
    EXPECT_EQ(document->revision(), 1);
    EXPECT_EQ(undo().count(), 0);

    editor->moveLayer(top, -2);
    EXPECT_EQ(names(sprite()), (QStringList{"C", "A", "B"}));
    EXPECT_EQ(sprite().activeLayerID, layerID(1));
    editor->setLayerOpacity(top, -1);
    EXPECT_EQ(sprite().layers[0].opacity, 0.0);
    EXPECT_EQ(undo().undoText(), "Change Layer Opacity");
}

TEST_F(EditorFixture, FrameCommands) {
    open(threeLayers());
    editor->selectNextFrame();
    editor->selectNextFrame(); // wraps around
    EXPECT_EQ(sprite().activeFrameIndex, 0);
    EXPECT_EQ(undo().count(), 0);
    editor->duplicateFrame("Add Frame");
    EXPECT_EQ(sprite().frames.size(), 3);
    EXPECT_EQ(sprite().activeFrameIndex, 1);
    EXPECT_EQ(sprite().layers[1].cels[1], sprite().layers[1].cels[0]);
    EXPECT_EQ(undo().undoText(), "Add Frame");

    editor->addEmptyFrame();
    EXPECT_EQ(sprite().activeFrameIndex, 2);
    EXPECT_FALSE(sprite().layers[1].cels[2].has_value());

    const qint64 steps = undo().count();
    editor->clearFrame(); // already empty
    editor->deleteFrame(4);
    editor->setFrameDuration(50, 9);
    EXPECT_EQ(undo().count(), steps);

    for (const auto& [given, stored] :
         QList<std::pair<qint64, qint64>>{{0, 10}, {10, 10}, {11, 11}}) {
        editor->setFrameDuration(given, 0);
        EXPECT_EQ(sprite().frames[0].duration, stored);
    }
    editor->setFrameDuration(11, 0);
    EXPECT_EQ(undo().count(), steps + 2); // 0 → 10, then 11; 10 again and 11 again are no steps

    editor->moveFrame(0, 99);
    EXPECT_EQ(sprite().frames.last().duration, 11);
    EXPECT_EQ(sprite().activeFrameIndex, 3);
    EXPECT_EQ(undo().undoText(), "Reorder Frame");

    editor->selectLayer(layerID(0));
    editor->selectNextFrame(); // wraps around both ways
    editor->selectPreviousFrame();
    editor->selectNextFrame();
    editor->clearFrame(); // frame 0: only layer A's cel goes
    EXPECT_FALSE(sprite().layers[0].cels[0].has_value());
    EXPECT_TRUE(sprite().layers[1].cels[0].has_value());

    editor->deleteFrame();
    EXPECT_EQ(sprite().frames.size(), 3);
    EXPECT_EQ(undo().undoText(), "Delete Frame");
}

TEST_F(EditorFixture, CommandsThatWouldPassTheLayerFramesLimitAreRefusedWithAMessage) {
    Sprite full = Sprite::blank(8, 8);
    full.frames = QList<Frame>(256, Frame{});
    full.layers.clear();
    for (qint64 i = 0; i < 256; ++i)
        full.layers.append(Layer(QString::number(i), 256));
    full.activeLayerID = full.layers[0].id;
    open(full);
    QStringList messages;
    QObject::connect(editor.get(), &EditorState::refused,
                     [&](const QString& message) { messages.append(message); });

    editor->addLayer();
    editor->duplicateLayer(layerID(0));
    editor->addEmptyFrame();
    editor->duplicateFrame("Duplicate Frame");
    EXPECT_EQ(sprite(), full);
    EXPECT_EQ(undo().count(), 0);
    ASSERT_EQ(messages.size(), 4);
    EXPECT_EQ(messages[0],
              "257 layers × 256 frames would pass the limit of 65,536 layers × frames.");
    EXPECT_TRUE(messages[2].startsWith("256 layers × 257 frames"));

    // Below the limit the same commands run, and say nothing.
    editor->deleteLayer(layerID(0));
    editor->addLayer();
    EXPECT_EQ(sprite().layers.size(), 256);
    EXPECT_EQ(messages.size(), 4);
}
