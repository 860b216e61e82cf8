#include "LineTool.h"

#include "PixelRasterizer.h"

QList<PixelPoint> LineTool::pointList(PixelPoint from, PixelPoint to, ToolModifiers modifiers,
                                      const ToolHost&) const {
    return PixelRasterizer::line(from, modifiers.shift ? PixelRasterizer::constrain(to, from) : to);
}

QString LineTool::actionName() const {
    return tr("Line");
}
