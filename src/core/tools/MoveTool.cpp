#include "MoveTool.h"

#include "ToolHost.h"

#include <cstdlib>

void MoveTool::pointerDown(PixelPoint at, ToolModifiers, ToolHost& editor) {
    if (!canPaint(editor))
        return;
    pressed = at;
    editor.beginContentDrag();
}

void MoveTool::pointerMoved(PixelPoint to, ToolModifiers modifiers, ToolHost& editor) {
    if (!pressed)
        return;
    PixelPoint target = to;
    if (modifiers.shift) {
        if (std::abs(to.x - pressed->x) < std::abs(to.y - pressed->y))
            target.x = pressed->x;
        else
            target.y = pressed->y; // the tie goes horizontal
    }
    // Always measured from the press, so the content never degrades over a long drag.
    editor.updateContentDrag(target.x - pressed->x, target.y - pressed->y);
}

void MoveTool::pointerUp(PixelPoint, ToolModifiers, ToolHost& editor) {
    pressed.reset();
    editor.endContentDrag();
}

void MoveTool::cancel(ToolHost& editor) {
    pressed.reset();
    editor.cancelContentDrag();
}
