#pragma once

#include "PixelTool.h"
#include "ToolKind.h"
#include "model/PixelRect.h"

#include <optional>

// Drags out the rectangular selection, or moves its contents when the press lands inside it.
class SelectionTool : public PixelTool {
public:
    static constexpr ToolKind kind = ToolKind::select;

    void pointerDown(PixelPoint at, ToolModifiers modifiers, EditorState& editor) override;
    void pointerMoved(PixelPoint to, ToolModifiers modifiers, EditorState& editor) override;
    void pointerUp(PixelPoint at, ToolModifiers modifiers, EditorState& editor) override;
    void cancel(EditorState& editor) override;

private:
    struct Mode {
        enum Kind { marquee, move } kind;
        PixelPoint point; // the marquee's origin, or where the move began
    };

    static void select(const PixelRect& rect, EditorState& editor);

    std::optional<Mode> mode;
};
