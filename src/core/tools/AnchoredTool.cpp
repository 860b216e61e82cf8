#include "AnchoredTool.h"

#include "Sprite.h"
#include "ToolHost.h"

namespace {

// The preview shows the shape on the canvas only, filled or outlined alike.
QList<PixelPoint> onCanvas(QList<PixelPoint> points, const ToolHost& editor) {
    const PixelRect canvas = editor.sprite().bounds();
    points.removeIf([&canvas](const PixelPoint& point) { return !canvas.contains(point); });
    return points;
}

} // namespace

void AnchoredTool::pointerDown(PixelPoint at, ToolModifiers modifiers, ToolHost& editor) {
    if (!canPaint(editor))
        return;
    anchor = at;
    editor.setPreview(ToolPreview{onCanvas({at}, editor), paintColor(modifiers, editor)});
    editor.invalidate();
}

void AnchoredTool::pointerMoved(PixelPoint to, ToolModifiers modifiers, ToolHost& editor) {
    if (!anchor)
        return;
    editor.setPreview(ToolPreview{onCanvas(pointList(*anchor, to, modifiers, editor), editor),
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
