#pragma once

#include "PixelTool.h"
#include "ToolKind.h"

// Takes the colour the visible layers show under the pointer, sampling while dragged; the
// right button picks into the secondary colour.
class EyedropperTool : public PixelTool {
public:
    static constexpr ToolKind kind = ToolKind::eyedropper;

    void pointerDown(PixelPoint at, ToolModifiers modifiers, ToolHost& editor) override;
    void pointerMoved(PixelPoint to, ToolModifiers modifiers, ToolHost& editor) override;
    void pointerUp(PixelPoint, ToolModifiers, ToolHost&) override {}
};
