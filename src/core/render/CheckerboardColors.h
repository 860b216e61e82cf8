#pragma once

#include <QColor>

// The transparency pattern behind the canvas: opaque grays in squares of a fixed size in view
// points, the dark square wherever column + row is odd, counted from the canvas's top left.
struct CheckerboardColors {
    static constexpr qreal squareSide = 8;

    QColor light;
    QColor dark;

    static CheckerboardColors forAppearance(bool darkAppearance) {
        if (darkAppearance)
            return {QColor::fromRgbF(0.26f, 0.26f, 0.26f), QColor::fromRgbF(0.2f, 0.2f, 0.2f)};
        return {QColor::fromRgbF(1.0f, 1.0f, 1.0f), QColor::fromRgbF(0.87f, 0.87f, 0.87f)};
    }
};
