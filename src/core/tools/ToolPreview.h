#pragma once

#include "PixelColor.h"
#include "PixelPoint.h"

#include <QList>

// Pixels drawn over the canvas but not into the cel (line and shape tools while dragging).
struct ToolPreview {
    QList<PixelPoint> pixels;
    PixelColor color;
    friend bool operator==(const ToolPreview&, const ToolPreview&) = default;
};
