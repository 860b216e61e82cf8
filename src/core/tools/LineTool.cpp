#include "LineTool.h"

#include "PixelRasterizer.h"

PixelSpans LineTool::pixels(PixelPoint from, PixelPoint to, ToolModifiers modifiers,
                            const ToolHost&) const {
    return PixelSpans::fromPoints(
        PixelRasterizer::line(from, modifiers.shift ? PixelRasterizer::constrain(to, from) : to));
}

QString LineTool::actionName() const {
    return tr("Line");
}
