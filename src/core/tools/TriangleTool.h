#pragma once

#include "ShapeTool.h"

// A triangle standing on the bottom of the box, apex up; Shift makes it equilateral.
class TriangleTool : public ShapeTool {
protected:
    QString actionName() const override;
    PixelPoint constrained(PixelPoint point, PixelPoint anchor) const override;
    QList<PixelPoint> outline(const PixelRect& box) const override;
    PixelSpans filled(const PixelRect& box, const PixelRect& reach) const override;
};
