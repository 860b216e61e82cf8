#include "UndoMemory.h"
#include "EditorFixture.h"

#include <QRandomGenerator>

namespace {

qint64 totalCharge(QUndoStack& stack, const Sprite& live) {
    qint64 total = 0;
    for (qint64 charge : UndoMemory::stepCharges(stack, live))
        total += charge;
    return total;
}

} // namespace

// Random strokes and structural steps undo to the very start and redo to the end, bit for bit.
TEST_F(EditorFixture, RandomHistoriesUndoAndRedoExactly) {
    open(Sprite::blank(300, 90));
    QRandomGenerator random(21);
    QList<Sprite> states{sprite()};
    Sprite lastStep;
    for (int step = 0; step < 120; ++step) {
        switch (random.bounded(6)) {
        case 0:
            editor->addLayer();
            break;
        case 1:
            editor->setLayerVisibility(*sprite().activeLayerID, random.bounded(2) == 0);
            break;
        case 2:
            editor->duplicateFrame("Duplicate Frame");
            break;
        case 3:
            editor->setSymmetry(SymmetryMode(random.bounded(4)));
            [[fallthrough]];
        default: {
            editor->beginStroke();
            const quint32 color = random.bounded(3) == 0 ? 0u : random.generate() | 0xFF000000u;
            const qint64 size =
                random.bounded(4) == 0 ? random.bounded(60, 200) : random.bounded(1, 12);
            for (int dab = 0; dab < 6; ++dab)
                editor->stamp({random.bounded(-5, 305), random.bounded(-5, 95)}, PixelColor(color),
                              size);
            editor->endStroke("Draw");
        }
        }
        // A stroke that changed nothing leaves no step, but may leave a blank cel behind.
        if (undo().index() == states.size()) {
            states.append(sprite());
            lastStep = sprite();
        } else
            states.last() = sprite();
    }
    ASSERT_GT(states.size(), 60);
    for (qint64 i = states.size() - 1; i > 0; --i) {
        ASSERT_EQ(sprite(), states[i]) << i;
        undo().undo();
    }
    EXPECT_EQ(sprite(), states[0]);
    while (undo().canRedo())
        undo().redo();
    EXPECT_EQ(sprite(), lastStep);
}

// Strokes keep the runs they changed, structural steps the bands nobody else holds.
TEST_F(EditorFixture, StepsAreChargedWhatOnlyTheyKeep) {
    open(Sprite::blank(4096, 4096));
    paint(0, 0, red);
    for (int i = 0; i < 20; ++i) {
        paint(i, 10 * i, blue);
        editor->setLayerVisibility(layerID(0), i % 2 == 1);
    }
    EXPECT_LT(totalCharge(undo(), sprite()), 3 * 1024 * 1024);

    // A long mirrored stroke is charged its painted pixels, not its bounding box.
    editor->setSymmetry(SymmetryMode::both);
    editor->beginStroke();
    for (int dab = 0; dab < 20; ++dab)
        editor->stamp({100 + dab * 90, 50 + dab * 80}, PixelColor(red), 32);
    editor->endStroke("Draw");
    const auto charges = UndoMemory::stepCharges(undo(), sprite());
    EXPECT_LT(charges.back(), 20 * 4 * 32 * 32 * 2 * 4 + 65536);
}

// Past the budget the oldest steps go, never the newest or the undone ones.
TEST_F(EditorFixture, BudgetDropsTheOldestSteps) {
    open(Sprite::blank(512, 512));
    QList<Sprite> states{sprite()};
    for (int i = 0; i < 30; ++i) {
        editor->beginStroke();
        for (qint64 y = 0; y < 64; ++y)
            editor->stamp({(i * 17) % 512, (i * 29 + y) % 512}, PixelColor(red + quint32(i)), 8);
        editor->endStroke("Draw");
        states.append(sprite());
    }
    ASSERT_EQ(undo().count(), 30);
    undo().undo();
    undo().undo();
    const qint64 perStep = totalCharge(undo(), sprite()) / 30;
    document->setUndoBudget(perStep * 10);
    EXPECT_LE(undo().count(), 12);
    EXPECT_GE(undo().count(), 8);
    EXPECT_EQ(undo().count() - undo().index(), 2); // the undone steps are kept
    const qint64 kept = undo().count();
    while (undo().canRedo())
        undo().redo();
    EXPECT_EQ(sprite(), states.last());
    while (undo().canUndo())
        undo().undo();
    EXPECT_EQ(sprite(), states[30 - kept]);

    // A budget smaller than one step still keeps the newest.
    while (undo().canRedo())
        undo().redo();
    document->setUndoBudget(0);
    EXPECT_EQ(undo().count(), 1);
    undo().undo();
    EXPECT_EQ(sprite(), states[29]);
}

// Strokes after a structural step leave it the only holder of what they replaced.
TEST_F(EditorFixture, BudgetHoldsWhileStrokesFollowStructuralSteps) {
    Sprite start = Sprite::blank(1024, 1024);
    start.ensureCel(0, 0);
    start.layers[0].cels[0]->fill(blue);
    open(start);
    document->setUndoBudget(2 * 1024 * 1024);
    for (int i = 0; i < 60; ++i) {
        editor->setLayerVisibility(layerID(0), i % 2 == 1);
        paint(0, (i * 37) % 1024, red + quint32(i));
        const qint64 newest = UndoMemory::stepCharges(undo(), sprite()).back();
        ASSERT_LE(totalCharge(undo(), sprite()) - newest, 2 * 1024 * 1024) << i;
    }
    EXPECT_LT(undo().count(), 120);
}
