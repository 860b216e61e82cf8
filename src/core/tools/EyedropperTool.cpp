#include "EyedropperTool.h"

#include "ToolHost.h"

void EyedropperTool::pointerDown(PixelPoint at, ToolModifiers modifiers, ToolHost& editor) {
    editor.pickColor(at, modifiers.secondaryButton);
}

void EyedropperTool::pointerMoved(PixelPoint to, ToolModifiers modifiers, ToolHost& editor) {
    editor.pickColor(to, modifiers.secondaryButton);
}
