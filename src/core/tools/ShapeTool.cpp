#include "ShapeTool.h"

#include "PixelRasterizer.h"
#include "Sprite.h"
#include "ToolHost.h"

#include <cstdlib>

PixelRect ShapeTool::box(PixelPoint from, PixelPoint to, ToolModifiers modifiers) const {
    return PixelRasterizer::box(from, modifiers.shift ? constrained(to, from) : to);
}

PixelSpans ShapeTool::shape(PixelPoint from, PixelPoint to, ToolModifiers modifiers, bool isFilled,
                            const PixelRect& reach) const {
    const PixelRect shapeBox = box(from, to, modifiers);
    return isFilled ? filled(shapeBox, reach) : PixelSpans::fromPoints(outline(shapeBox));
}

PixelRect ShapeTool::paintReach(const ToolHost& editor) {
    const Sprite& sprite = editor.sprite();
    qint64 margin = editor.brushSize();
    if (SymmetryModes::isDiagonal(editor.symmetry()))
        margin += std::abs(sprite.width - sprite.height) / 2 + 1;
    const PixelRect canvas = sprite.bounds();
    return {-margin, -margin, canvas.width + 2 * margin, canvas.height + 2 * margin};
}

PixelSpans ShapeTool::pixels(PixelPoint from, PixelPoint to, ToolModifiers modifiers,
                             const ToolHost& editor) const {
    return shape(from, to, modifiers, editor.shapeFilled(), paintReach(editor));
}

QString ShapeTool::actionName() const {
    return tr("Rectangle");
}

PixelPoint ShapeTool::constrained(PixelPoint point, PixelPoint anchor) const {
    return PixelRasterizer::constrainSquare(point, anchor);
}

QList<PixelPoint> ShapeTool::outline(const PixelRect& box) const {
    return PixelRasterizer::rectangleOutline(box);
}

PixelSpans ShapeTool::filled(const PixelRect& box, const PixelRect& reach) const {
    return PixelSpans::rectangle(box.intersection(reach));
}
