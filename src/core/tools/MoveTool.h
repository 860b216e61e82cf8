#pragma once

#include "PixelTool.h"

#include <optional>

// Drags the selected pixels, or the whole active layer; Shift keeps to one axis at a time.
class MoveTool : public PixelTool {
public:
    void pointerDown(PixelPoint at, ToolModifiers modifiers, ToolHost& editor) override;
    void pointerMoved(PixelPoint to, ToolModifiers modifiers, ToolHost& editor) override;
    void pointerUp(PixelPoint at, ToolModifiers modifiers, ToolHost& editor) override;
    void cancel(ToolHost& editor) override;

private:
    std::optional<PixelPoint> pressed; // where the running drag began
};
