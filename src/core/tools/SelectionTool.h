#pragma once

#include "PixelTool.h"
#include "ToolKind.h"
#include "PixelRect.h"

#include <optional>

// Drags out the rectangular selection, or moves its contents when the press lands inside it.
class SelectionTool : public PixelTool {
public:
    static constexpr ToolKind kind = ToolKind::select;

    void pointerDown(PixelPoint at, ToolModifiers modifiers, ToolHost& editor) override;
    void pointerMoved(PixelPoint to, ToolModifiers modifiers, ToolHost& editor) override;
    void pointerUp(PixelPoint at, ToolModifiers modifiers, ToolHost& editor) override;
    void cancel(ToolHost& editor) override;

private:
    struct Mode {
        enum Kind { marquee, move } kind;
        PixelPoint point; // the marquee's origin, or where the move began
    };

    static void select(const PixelRect& rect, ToolHost& editor);

    std::optional<Mode> mode;
};
