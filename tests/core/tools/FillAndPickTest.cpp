#include "ToolFixture.h"

using FillAndPick = ToolFixture;

TEST_F(FillAndPick, FloodFollowsEdgesOfOneExactColourInsideTheSelection) {
    editor->setPrimaryColor(PixelColor(red));
    for (qint64 y = 0; y < 16; ++y) // a checkerboard of blue and transparent
        for (qint64 x = (y % 2); x < 16; x += 2)
            paint(x, y, blue);
    use(ToolKind::fill);
    click({4, 5});
    EXPECT_EQ(pixel(4, 5), red);
    EXPECT_EQ(pixel(5, 4), 0u); // diagonal neighbours stay
    EXPECT_EQ(paintedSet().size(), 16 * 16 / 2 + 1);
    EXPECT_EQ(lastStep(), "Fill");
    const qint64 steps = undoCount();
    click({4, 5}); // already the colour: no step
    EXPECT_EQ(undoCount(), steps);

    open(Sprite::blank(16, 16));
    editor->setPrimaryColor(PixelColor(red));
    for (qint64 y = 0; y < 16; ++y) // a wall in column 8
        paint(8, y, blue);
    editor->setSelection(PixelRect{2, 2, 4, 4});
    use(ToolKind::fill);
    click({10, 10}); // outside the selection: nothing
    click({3, 3});
    EXPECT_EQ(paintedSet() - pointsIn({8, 0, 1, 16}), pointsIn({2, 2, 4, 4}));

    // Mirror images are painted whatever was there; the flood itself stops at the wall.
    editor->setSelection(std::nullopt);
    editor->setSymmetry(SymmetryMode::leftRight);
    editor->setPrimaryColor(PixelColor(green));
    click({0, 0});
    for (qint64 y = 0; y < 16; ++y) {
        EXPECT_EQ(pixel(7, y), green) << y;
        EXPECT_EQ(pixel(8, y), green) << y; // the wall's mirror is column 7
        EXPECT_EQ(pixel(15, y), green) << y;
    }
    editor->setLayerVisibility(layerID(0), false); // a hidden layer is not filled
    editor->setPrimaryColor(PixelColor(red));
    click({0, 0});
    EXPECT_EQ(pixel(0, 0), green);
}

TEST_F(FillAndPick, EyedropperPicksTheVisibleCompositeIntoEitherColour) {
    paint(1, 1, red);
    editor->addLayer();
    paint(1, 1, 0x800000FF); // half-transparent blue above
    paint(2, 2, 0x800000FF);
    use(ToolKind::eyedropper);
    click({2, 2});
    EXPECT_EQ(editor->primaryColor().raw, 0x800000FFu); // keeps the composite's alpha
    click({9, 9});                                      // transparent: nothing changes
    EXPECT_EQ(editor->primaryColor().raw, 0x800000FFu);
    click({1, 1}, secondary);
    EXPECT_EQ(editor->secondaryColor(),
              PixelColor::blend(PixelColor(0x800000FF), 128 / 255.0, PixelColor(red)));
}
