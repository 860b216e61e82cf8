#pragma once

#include <QColor>
#include <QImage>

// The pattern behind transparent canvas pixels: squares of a fixed size in view points, in
// two opaque greys that follow the appearance.
namespace TransparencyPattern {

inline constexpr int square = 8;

struct Colors {
    QColor light;
    QColor dark;
};

Colors colors(bool darkAppearance);

// Two squares by two, light where column + row is even: the tile a texture brush repeats
// from the canvas's top-left corner.
QImage tile(bool darkAppearance);

} // namespace TransparencyPattern
