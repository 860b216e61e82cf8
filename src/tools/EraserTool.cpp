#include "EraserTool.h"

#include "editing/EditorState.h"

PixelColor EraserTool::color(ToolModifiers, const EditorState&) const {
    return PixelColor();
}

QString EraserTool::actionName() const {
    return tr("Erase");
}
