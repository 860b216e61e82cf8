#include "AnchoredTool.h"

#include "Sprite.h"
#include "ToolHost.h"

namespace {

// The preview shows the shape on the canvas only, filled or outlined alike.
PixelSpans onCanvas(const PixelSpans& shape, const ToolHost& editor) {
    return shape.clipped(editor.sprite().bounds());
}

} // namespace

void AnchoredTool::pointerDown(PixelPoint at, ToolModifiers modifiers, ToolHost& editor) {
    if (!canPaint(editor))
        return;
    anchor = at;
    editor.setPreview(ToolPreview{onCanvas(PixelSpans::rectangle(PixelRect::pixel(at)), editor),
                                  paintColor(modifiers, editor)});
    editor.invalidate();
}

void AnchoredTool::pointerMoved(PixelPoint to, ToolModifiers modifiers, ToolHost& editor) {
    if (!anchor)
        return;
    editor.setPreview(ToolPreview{onCanvas(pixels(*anchor, to, modifiers, editor), editor),
                                  paintColor(modifiers, editor)});
    editor.invalidate();
}

void AnchoredTool::pointerUp(PixelPoint at, ToolModifiers modifiers, ToolHost& editor) {
    if (!anchor)
        return;
    const PixelSpans shape = pixels(*anchor, at, modifiers, editor);
    anchor.reset();
    editor.clearPreview();
    editor.beginStroke();
    editor.stampSpans(shape, paintColor(modifiers, editor));
    editor.endStroke(actionName());
}

void AnchoredTool::cancel(ToolHost& editor) {
    anchor.reset();
    editor.clearPreview();
    editor.cancelStroke();
}
