#include "EllipseTool.h"

#include "PixelRasterizer.h"

QString EllipseTool::actionName() const {
    return tr("Ellipse");
}

QList<PixelPoint> EllipseTool::outline(const PixelRect& box) const {
    return PixelRasterizer::ellipseOutline(box);
}

PixelSpans EllipseTool::filled(const PixelRect& box, const PixelRect& reach) const {
    return PixelSpans::rowHulls(outline(box)).clipped(reach);
}
