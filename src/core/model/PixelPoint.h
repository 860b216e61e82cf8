#pragma once

#include <QHashFunctions>
#include <QtGlobal>

// A pixel position on the canvas: origin top-left, y down. May lie outside the canvas.
struct PixelPoint {
    qint64 x = 0;
    qint64 y = 0;

    friend constexpr bool operator==(PixelPoint a, PixelPoint b) = default;
};

inline size_t qHash(PixelPoint point, size_t seed = 0) {
    return qHashMulti(seed, point.x, point.y);
}
