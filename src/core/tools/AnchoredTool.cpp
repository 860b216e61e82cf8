#include "AnchoredTool.h"

#include "ToolHost.h"

void AnchoredTool::pointerDown(PixelPoint at, ToolModifiers modifiers, ToolHost& editor) {
    if (!canPaint(editor))
        return;
    anchor = at;
    editor.setPreview(ToolPreview{{at}, paintColor(modifiers, editor)});
    editor.invalidate();
}

void AnchoredTool::pointerMoved(PixelPoint to, ToolModifiers modifiers, ToolHost& editor) {
    if (!anchor)
        return;
    editor.setPreview(ToolPreview{pointList(*anchor, to, modifiers, editor),
                                           paintColor(modifiers, editor)});
    editor.invalidate();
}

void AnchoredTool::pointerUp(PixelPoint at, ToolModifiers modifiers, ToolHost& editor) {
    if (!anchor)
        return;
    const QList<PixelPoint> points = pointList(*anchor, at, modifiers, editor);
    anchor.reset();
    editor.clearPreview();
    editor.beginStroke();
    editor.stampAll(points, paintColor(modifiers, editor));
    editor.endStroke(actionName());
}

void AnchoredTool::cancel(ToolHost& editor) {
    anchor.reset();
    editor.clearPreview();
    editor.cancelStroke();
}
