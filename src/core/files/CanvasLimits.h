#pragma once

#include <QtGlobal>

// The largest canvas Kestrin opens: imports and project files alike stay within it, which
// bounds every cel, undo snapshot and canvas buffer.
namespace CanvasLimits {

inline constexpr qint64 maximumSide = 4096;

constexpr bool isAllowedSize(qint64 width, qint64 height) {
    return width >= 1 && height >= 1 && width <= maximumSide && height <= maximumSide;
}

} // namespace CanvasLimits
