#pragma once

#include "PixelColor.h"
#include "PixelSpans.h"

// Pixels drawn over the canvas but not into the cel (line and shape tools while dragging).
struct ToolPreview {
    PixelSpans pixels;
    PixelColor color;
    friend bool operator==(const ToolPreview&, const ToolPreview&) = default;
};
