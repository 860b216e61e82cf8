#include "PixelTool.h"

#include "Sprite.h"
#include "ToolHost.h"

void PixelTool::cancel(ToolHost& editor) {
    editor.cancelStroke();
    editor.clearPreview();
}

bool PixelTool::canPaint(const ToolHost& editor) {
    const auto layer = editor.sprite().activeLayerIndex();
    return layer && editor.sprite().layers[*layer].isVisible;
}

PixelColor PixelTool::paintColor(ToolModifiers modifiers, const ToolHost& editor) {
    return modifiers.secondaryButton ? editor.secondaryColor() : editor.primaryColor();
}
