#include "TriangleTool.h"

#include "PixelRasterizer.h"

QString TriangleTool::actionName() const {
    return tr("Triangle");
}

PixelPoint TriangleTool::constrained(PixelPoint point, PixelPoint anchor) const {
    return PixelRasterizer::constrainEquilateral(point, anchor);
}

QList<PixelPoint> TriangleTool::outline(const PixelRect& box) const {
    return PixelRasterizer::triangleOutline(box);
}

PixelSpans TriangleTool::filled(const PixelRect& box, const PixelRect& reach) const {
    return PixelSpans::rowHulls(outline(box)).clipped(reach);
}
