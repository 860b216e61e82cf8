#include "SymmetryMode.h"

#include <gtest/gtest.h>

TEST(SymmetryMode, MirrorImagesOnOddEvenAndNonSquareCanvases) {
    using enum SymmetryMode;
    struct Case {
        SymmetryMode mode;
        PixelRect canvas;
        PixelPoint point;
        QList<PixelPoint> images;
    };
    const PixelRect even{0, 0, 16, 16};
    const PixelRect odd{0, 0, 5, 5};
    const PixelRect wide{0, 0, 8, 4};
    const QList<Case> cases = {
        {off, even, {3, 4}, {}},
        // Even widths fold between the middle columns; odd ones map the middle onto itself.
        {leftRight, even, {7, 3}, {{8, 3}}},
        {leftRight, odd, {2, 1}, {}},
        {topBottom, even, {3, 0}, {{3, 15}}},
        {both, even, {1, 2}, {{14, 2}, {1, 13}, {14, 13}}},
        {both, odd, {2, 0}, {{2, 4}}}, // on the centre column: the duplicates go
        {diagonal, even, {3, 9}, {{9, 3}}},
        {antiDiagonal, even, {3, 9}, {{6, 12}}},
        // Non-square: 45° lines through the centre, off-canvas images dropped, floor rounding.
        {diagonal, wide, {4, 1}, {{3, 2}}},
        {diagonal, {0, 0, 5, 4}, {1, 1}, {{1, 0}}},
        {diagonal, {0, 0, 5, 4}, {0, 2}, {}}, // -1/2 rounds down to -1, off the canvas
        {antiDiagonal, {0, 0, 5, 4}, {0, 0}, {{3, 3}}},
        // An offset rectangle folds about its own centre.
        {leftRight, {10, 20, 4, 4}, {10, 21}, {{13, 21}}},
        {diagonal, {10, 20, 4, 4}, {11, 22}, {{12, 21}}},
    };
    for (const Case& c : cases) {
        const auto found = SymmetryModes::reflections(c.mode, c.point, c.canvas);
        EXPECT_EQ(QList<PixelPoint>(found.begin(), found.end()), c.images)
            << int(c.mode) << " at " << c.point.x << "," << c.point.y;
    }
}
