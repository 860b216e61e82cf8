#include "CanvasPainter.h"

#include "CanvasGeometry.h"
#include "CanvasRaster.h"
#include "MemoryError.h"

#include <algorithm>
#include <cmath>

namespace {

const QColor systemOrange(255, 149, 0);
const QColor systemPink(255, 45, 85);

double unitInterval(double value) {
    return std::isnan(value) ? 0.0 : std::clamp(value, 0.0, 1.0);
}

QColor withAlpha(QColor color, double alpha) {
    color.setAlphaF(float(unitInterval(alpha)));
    return color;
}

// A pen one device pixel wide, with its dashes measured in view points.
QPen hairline(const QColor& color, qreal dpr, QList<qreal> dashInPoints = {}) {
    QPen pen(color, 1.0 / dpr, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    if (!dashInPoints.isEmpty()) {
        for (qreal& length : dashInPoints)
            length *= dpr; // pen dashes count in pen widths
        pen.setDashPattern(dashInPoints);
    }
    return pen;
}

// An aliased pen an odd number of device pixels wide puts the spare pixel right of and below
// a coordinate. Shifting by half a device pixel makes a coordinate name a pixel's centre
// instead, so a line at x + 0.5 covers column x and an outline drawn half a pixel outside a
// rectangle hugs it from outside.
struct CentredStrokes {
    CentredStrokes(QPainter& painter, qreal dpr, qreal penWidth) : painter(painter) {
        painter.save();
        if (qRound(penWidth * dpr) % 2 == 1)
            painter.translate(-0.5 / dpr, -0.5 / dpr);
    }
    ~CentredStrokes() { painter.restore(); }
    QPainter& painter;
};

QRectF outlineAround(const QRectF& rect, qreal dpr) {
    const qreal half = 0.5 / dpr;
    return rect.adjusted(-half, -half, half, half);
}

// Renders the background, pattern, composite and grid in device pixels, then copies them in.
void drawFlatLayers(QPainter& painter, const CanvasScene& scene, const QRegion& exposed,
                    QImage& scratch) {
    const qreal dpr = scene.devicePixelRatio;
    const QSize deviceSize =
        (QSizeF(painter.device()->width(), painter.device()->height()) * dpr).toSize();
    if (deviceSize.isEmpty())
        return;
    if (scratch.size() != deviceSize || scratch.format() != QImage::Format_ARGB32_Premultiplied)
        scratch = MemoryError::allocatedImage(deviceSize.width(), deviceSize.height(),
                                              QImage::Format_ARGB32_Premultiplied);
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const QRect& area : exposed) {
        const QRectF logical(area);
        const QRect device = QRectF(logical.topLeft() * dpr, logical.size() * dpr).toAlignedRect();
        CanvasRaster::render(scratch, device, scene);
        painter.drawImage(logical, scratch, QRectF(device));
    }
    painter.restore();
}

void drawFloating(QPainter& painter, const CanvasScene& scene) {
    if (!scene.floating)
        return;
    painter.save();
    painter.setClipRect(scene.canvasRect(), Qt::IntersectClip);
    painter.drawImage(scene.floating->rect, scene.floating->image);
    painter.restore();
    // Unclipped, so that the part hanging past the canvas edge still shows where it is.
    CentredStrokes strokes(painter, scene.devicePixelRatio, 1 / scene.devicePixelRatio);
    painter.setPen(hairline(systemOrange, scene.devicePixelRatio, {3, 3}));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(outlineAround(scene.floating->rect, scene.devicePixelRatio));
}

void drawPreview(QPainter& painter, const CanvasScene& scene, const QRect& exposed) {
    if (!scene.preview)
        return;
    for (const PixelSpans::Span& span : scene.preview->pixels.spans()) {
        const QRectF run = CanvasGeometry::viewRect({span.x, span.y, span.end - span.x, 1},
                                                    scene.origin, scene.zoom);
        if (run.intersects(exposed))
            painter.fillRect(run, scene.preview->color);
    }
}

void drawBorder(QPainter& painter, const CanvasScene& scene) {
    CentredStrokes strokes(painter, scene.devicePixelRatio, 1 / scene.devicePixelRatio);
    painter.setPen(hairline(scene.colors.separator, scene.devicePixelRatio));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(outlineAround(scene.canvasRect(), scene.devicePixelRatio));
}

void drawFoldLines(QPainter& painter, const CanvasScene& scene) {
    const QList<QLineF> lines = CanvasGeometry::foldLines(scene.symmetry, scene.canvasRect());
    if (lines.isEmpty())
        return;
    painter.save();
    painter.setClipRect(scene.canvasRect(), Qt::IntersectClip);
    CentredStrokes strokes(painter, scene.devicePixelRatio, 1);
    QPen pen(withAlpha(systemPink, 0.7), 1, Qt::CustomDashLine, Qt::FlatCap);
    pen.setDashPattern({4, 4});
    painter.setPen(pen);
    painter.drawLines(lines);
    painter.restore();
}

void drawSelection(QPainter& painter, const CanvasScene& scene) {
    if (!scene.selection || scene.selection->isEmpty())
        return;
    const qreal dpr = scene.devicePixelRatio;
    const QRectF outline = outlineAround(*scene.selection, dpr);
    CentredStrokes strokes(painter, dpr, 1 / dpr);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(hairline(Qt::white, dpr));
    painter.drawRect(outline);
    painter.setPen(hairline(Qt::black, dpr, {4, 4}));
    painter.drawRect(outline);
}

// A frame of the given thickness around rect, outside it.
void fillFrame(QPainter& painter, const QRectF& rect, qreal thickness, const QColor& color) {
    const QRectF outer = rect.adjusted(-thickness, -thickness, thickness, thickness);
    painter.fillRect(QRectF(outer.left(), outer.top(), outer.width(), thickness), color);
    painter.fillRect(QRectF(outer.left(), rect.bottom(), outer.width(), thickness), color);
    painter.fillRect(QRectF(outer.left(), rect.top(), thickness, rect.height()), color);
    painter.fillRect(QRectF(rect.right(), rect.top(), thickness, rect.height()), color);
}

void drawCursorTarget(QPainter& painter, const CanvasScene& scene) {
    if (!scene.cursorTarget)
        return;
    // Lines one point wide: black hugging the square, white one point further out, so the
    // target shows on light and dark pixels alike.
    const QRectF square = CanvasGeometry::targetSquare(*scene.cursorTarget);
    fillFrame(painter, square.adjusted(-1, -1, 1, 1), 1, withAlpha(Qt::white, 0.95));
    fillFrame(painter, square, 1, withAlpha(Qt::black, 0.9));
}

} // namespace

QRectF CanvasScene::canvasRect() const {
    return {origin, QSizeF(double(spriteWidth) * zoom, double(spriteHeight) * zoom)};
}

namespace CanvasPainter {

void paint(QPainter& painter, const CanvasScene& scene, const QRegion& exposed, QImage& scratch) {
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    drawFlatLayers(painter, scene, exposed, scratch);
    drawFloating(painter, scene);
    drawPreview(painter, scene, exposed.boundingRect());
    drawBorder(painter, scene);
    drawFoldLines(painter, scene);
    drawSelection(painter, scene);
    drawCursorTarget(painter, scene);
}

} // namespace CanvasPainter
