#include "PixelTool.h"

#include "editing/EditorState.h"

void PixelTool::cancel(EditorState& editor) {
    editor.cancelStroke();
    editor.clearPreview();
}

bool PixelTool::canPaint(const EditorState& editor) {
    const auto layer = editor.document()->sprite().activeLayerIndex();
    return layer && editor.document()->sprite().layers[*layer].isVisible;
}

PixelColor PixelTool::paintColor(ToolModifiers modifiers, const EditorState& editor) {
    return modifiers.secondaryButton ? editor.secondaryColor() : editor.primaryColor();
}
