#include "SelectionTool.h"

#include "PixelRasterizer.h"
#include "Sprite.h"
#include "ToolHost.h"

void SelectionTool::pointerDown(PixelPoint at, ToolModifiers, ToolHost& editor) {
    const auto selection = editor.selection();
    if (selection && selection->contains(at)) {
        if (!canPaint(editor))
            return;
        mode = Mode{Mode::move, at};
        editor.beginContentDrag();
        return;
    }
    mode = Mode{Mode::marquee, at};
    select(PixelRect::pixel(at), editor);
}

void SelectionTool::pointerMoved(PixelPoint to, ToolModifiers modifiers, ToolHost& editor) {
    if (!mode)
        return;
    const PixelPoint from = mode->point;
    if (mode->kind == Mode::move) {
        editor.updateContentDrag(to.x - from.x, to.y - from.y);
        return;
    }
    const PixelPoint end = modifiers.shift ? PixelRasterizer::constrainSquare(to, from) : to;
    select(PixelRasterizer::box(from, end), editor);
}

void SelectionTool::pointerUp(PixelPoint, ToolModifiers, ToolHost& editor) {
    if (!mode)
        return;
    if (mode->kind == Mode::move) {
        editor.endContentDrag();
    } else if (const auto selection = editor.selection(); selection && selection->area() < 2) {
        // A click without a drag clears the selection.
        editor.setSelection(std::nullopt);
        editor.invalidate();
    }
    mode.reset();
}

void SelectionTool::cancel(ToolHost& editor) {
    if (mode && mode->kind == Mode::move)
        editor.cancelContentDrag();
    mode.reset();
}

void SelectionTool::select(const PixelRect& rect, ToolHost& editor) {
    const PixelRect onCanvas = rect.intersection(editor.sprite().bounds());
    editor.setSelection(onCanvas.isEmpty() ? std::nullopt : std::optional<PixelRect>(onCanvas));
    editor.invalidate();
}
