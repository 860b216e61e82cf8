#include "EditorFixture.h"
#include "TestSupport.h"

#include <QSignalSpy>

using kestrin::test::numberedPalette;
using kestrin::test::paletteOrder;

TEST_F(EditorFixture, AddingThePrimaryColourAppendsOnlyAColourNotThereYet) {
    const qint64 count = sprite().palette.colors.size();
    editor->setPrimaryColor(sprite().palette.colors[3]);
    editor->addCurrentColorToPalette();
    EXPECT_EQ(sprite().palette.colors.size(), count);
    EXPECT_FALSE(undo().canUndo());

    // Equal in red, green and blue but not in alpha: a colour of its own.
    const PixelColor translucent(sprite().palette.colors[3].raw & 0x80FFFFFF);
    editor->setPrimaryColor(translucent);
    editor->addCurrentColorToPalette();
    EXPECT_EQ(sprite().palette.colors.size(), count + 1);
    EXPECT_EQ(sprite().palette.colors.last(), translucent);
    EXPECT_EQ(undo().undoText(), "Add Palette Color");
    undo().undo();
    EXPECT_EQ(sprite().palette, Palette::defaultPalette());
}

TEST_F(EditorFixture, ReorderingTakesTheTargetAsAnIndexAfterTheRemoval) {
    struct Move {
        qint64 from, to;
        QList<int> expected;
    };
    const QList<Move> moves = {
        {0, 4, {1, 2, 3, 4, 0}},  {4, 0, {4, 0, 1, 2, 3}},  {1, 2, {0, 2, 1, 3, 4}},
        {2, 99, {0, 1, 3, 4, 2}}, {3, -7, {3, 0, 1, 2, 4}},
    };
    for (const Move& move : moves) {
        Sprite start = Sprite::blank(4, 4);
        start.palette = numberedPalette();
        open(start);
        editor->movePaletteColor(move.from, move.to);
        EXPECT_EQ(paletteOrder(sprite()), move.expected) << move.from << " to " << move.to;
        EXPECT_EQ(undo().undoText(), "Reorder Palette");
        undo().undo();
        EXPECT_EQ(paletteOrder(sprite()), (QList<int>{0, 1, 2, 3, 4}));
    }
    // A bad source or a move onto itself changes nothing and leaves no step.
    for (const auto& [from, to] : QList<std::pair<qint64, qint64>>{{-1, 0}, {5, 0}, {2, 2}})
        editor->movePaletteColor(from, to);
    EXPECT_FALSE(undo().canUndo());
}

TEST_F(EditorFixture, RemovingAndReplacingThePaletteAreUndoneExactly) {
    Sprite start = Sprite::blank(4, 4);
    start.palette = numberedPalette();
    open(start);
    QSignalSpy changes(document.get(), &PixelDocument::changed);
    editor->removePaletteColor(5);
    editor->removePaletteColor(-1);
    EXPECT_EQ(changes.count(), 0);
    for (int i = 0; i < 5; ++i)
        editor->removePaletteColor(0);
    EXPECT_TRUE(sprite().palette.colors.isEmpty());
    EXPECT_EQ(undo().undoText(), "Remove Palette Color");
    editor->addCurrentColorToPalette(); // an emptied palette still takes colours
    EXPECT_EQ(sprite().palette.colors, QList<PixelColor>{editor->primaryColor()});

    editor->applyPalette(Palette::gameBoy());
    editor->applyPalette(Palette::gameBoy());
    EXPECT_EQ(sprite().palette, Palette::gameBoy());
    EXPECT_EQ(undo().undoText(), "Change Palette");
    EXPECT_EQ(undo().count(), 7);
    undo().undo();
    undo().undo();
    EXPECT_EQ(sprite().palette.name, "Numbered");
    EXPECT_TRUE(sprite().palette.colors.isEmpty());
    while (undo().canUndo())
        undo().undo();
    EXPECT_EQ(sprite().palette, numberedPalette());
}
