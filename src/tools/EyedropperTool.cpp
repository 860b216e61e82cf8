#include "EyedropperTool.h"

#include "editing/EditorState.h"

void EyedropperTool::pointerDown(PixelPoint at, ToolModifiers modifiers, EditorState& editor) {
    editor.pickColor(at, modifiers.secondaryButton);
}

void EyedropperTool::pointerMoved(PixelPoint to, ToolModifiers modifiers, EditorState& editor) {
    editor.pickColor(to, modifiers.secondaryButton);
}
