#include "EraserTool.h"

#include "ToolHost.h"

PixelColor EraserTool::color(ToolModifiers, const ToolHost&) const {
    return PixelColor();
}

QString EraserTool::actionName() const {
    return tr("Erase");
}
