#include "PencilTool.h"

#include "PixelRasterizer.h"
#include "Sprite.h"
#include "ToolHost.h"

namespace {

bool sharesAxis(PixelPoint a, PixelPoint b) {
    return a.x == b.x || a.y == b.y;
}

// b turns the line between a and c when it steps once along each axis.
bool isCorner(PixelPoint a, PixelPoint b, PixelPoint c) {
    return a.x != c.x && a.y != c.y && sharesAxis(b, a) && sharesAxis(b, c);
}

} // namespace

void PencilTool::pointerDown(PixelPoint at, ToolModifiers modifiers, ToolHost& editor) {
    if (!canPaint(editor)) {
        // A point left by a cancelled stroke must not let moves paint outside any stroke.
        last.reset();
        return;
    }
    editor.beginStroke();
    trail.clear();
    draw({at}, color(modifiers, editor), editor);
    last = at;
}

void PencilTool::pointerMoved(PixelPoint to, ToolModifiers modifiers, ToolHost& editor) {
    if (!last)
        return;
    const PixelPoint target = modifiers.shift ? PixelRasterizer::constrain(to, *last) : to;
    QList<PixelPoint> points = PixelRasterizer::line(*last, target);
    points.removeFirst(); // painted by the previous segment
    draw(points, color(modifiers, editor), editor);
    last = target;
}

void PencilTool::pointerUp(PixelPoint, ToolModifiers, ToolHost& editor) {
    if (!last)
        return;
    last.reset();
    trail.clear();
    editor.endStroke(actionName());
}

void PencilTool::draw(const QList<PixelPoint>& points, PixelColor color, ToolHost& editor) {
    if (!editor.pixelPerfect() || editor.brushSize() != 1) {
        for (const PixelPoint& point : points)
            editor.stamp(point, color);
        return;
    }
    for (const PixelPoint& point : points)
        drawPixelPerfect(point, color, editor);
}

void PencilTool::drawPixelPerfect(PixelPoint point, PixelColor color, ToolHost& editor) {
    if (!trail.isEmpty() && trail.last() == point)
        return;
    editor.stamp(point, color);
    trail.append(point);
    const qint64 n = trail.size();
    if (n < 3 || !isCorner(trail[n - 3], trail[n - 2], trail[n - 1]))
        return;
    restoreCorner(trail[n - 2], editor);
    trail.removeAt(n - 2);
}

void PencilTool::restoreCorner(PixelPoint corner, ToolHost& editor) {
    editor.revert(corner.x, corner.y);
    const Sprite& sprite = editor.sprite();
    const auto& snapshot = editor.strokeSnapshot();
    const auto layerID = editor.strokeLayerID();
    const qint64 layer = layerID ? sprite.layerIndex(*layerID) : -1;
    if (!snapshot || layer < 0)
        return;
    for (const PixelPoint image :
         SymmetryModes::reflections(editor.symmetry(), corner, sprite.bounds())) {
        if (sprite.bounds().contains(image) && snapshot->bounds().contains(image))
            editor.writePixel(layer, image.x, image.y, PixelColor(snapshot->pixel(image.x, image.y)));
    }
}

PixelColor PencilTool::color(ToolModifiers modifiers, const ToolHost& editor) const {
    return paintColor(modifiers, editor);
}

QString PencilTool::actionName() const {
    return tr("Draw");
}
