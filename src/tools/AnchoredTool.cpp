#include "AnchoredTool.h"

#include "PixelBlocks.h"
#include "editing/EditorState.h"

void AnchoredTool::pointerDown(PixelPoint at, ToolModifiers modifiers, EditorState& editor) {
    if (!canPaint(editor))
        return;
    anchor = at;
    editor.setPreview(EditorState::Preview{{at}, paintColor(modifiers, editor)});
    editor.invalidate();
}

void AnchoredTool::pointerMoved(PixelPoint to, ToolModifiers modifiers, EditorState& editor) {
    if (!anchor)
        return;
    editor.setPreview(EditorState::Preview{pointList(*anchor, to, modifiers, editor),
                                           paintColor(modifiers, editor)});
    editor.invalidate();
}

void AnchoredTool::pointerUp(PixelPoint at, ToolModifiers modifiers, EditorState& editor) {
    if (!anchor)
        return;
    const QList<PixelPoint> points = pointList(*anchor, at, modifiers, editor);
    anchor.reset();
    editor.clearPreview();
    editor.beginStroke();
    PixelBlocks::stampAll(editor, points, paintColor(modifiers, editor));
    editor.endStroke(actionName());
}

void AnchoredTool::cancel(EditorState& editor) {
    anchor.reset();
    editor.clearPreview();
    editor.cancelStroke();
}
