#pragma once

#include "ShapeTool.h"

// The ellipse touching all four sides of the box; Shift makes it a circle.
class EllipseTool : public ShapeTool {
protected:
    QString actionName() const override;
    QList<PixelPoint> outline(const PixelRect& box) const override;
    PixelSpans filled(const PixelRect& box, const PixelRect& reach) const override;
};
