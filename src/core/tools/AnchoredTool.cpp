#include "AnchoredTool.h"

#include "ToolHost.h"

void AnchoredTool::pointerDown(PixelPoint at, ToolModifiers modifiers, ToolHost& editor) {
    if (!canPaint(editor))
        return;
    anchor = at;
    editor.setPreview(
        ToolPreview{PixelSpans::rectangle(PixelRect::pixel(at)), paintColor(modifiers, editor)});
    editor.invalidate();
}

void AnchoredTool::pointerMoved(PixelPoint to, ToolModifiers modifiers, ToolHost& editor) {
    if (!anchor)
        return;
    editor.setPreview(
        ToolPreview{pixels(*anchor, to, modifiers, editor), paintColor(modifiers, editor)});
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
