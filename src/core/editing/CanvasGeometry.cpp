#include "CanvasGeometry.h"

#include <algorithm>
#include <cmath>

namespace CanvasGeometry {

namespace {

constexpr double stepTolerance = 0.001;
constexpr double minimumZoomFactor = 0.1;
constexpr double maximumZoomFactor = 10.0;
constexpr double smallestTarget = 6.0;
constexpr double targetSide = 8.0;

std::optional<double> boundedFactor(double factor) {
    if (!(factor > 0) || factor == 1)
        return std::nullopt;
    return std::clamp(factor, minimumZoomFactor, maximumZoomFactor);
}

// The part of the line through centre with direction (1, slope) that lies inside rect.
QLineF diagonalThrough(QPointF centre, double slope, QRectF rect) {
    const double dyLow = slope > 0 ? rect.top() - centre.y() : centre.y() - rect.bottom();
    const double dyHigh = slope > 0 ? rect.bottom() - centre.y() : centre.y() - rect.top();
    const double from = std::max(rect.left() - centre.x(), dyLow);
    const double to = std::min(rect.right() - centre.x(), dyHigh);
    return {centre + QPointF(from, slope * from), centre + QPointF(to, slope * to)};
}

} // namespace

double clampedZoom(double zoom) {
    return std::clamp(zoom, minimumZoom, maximumZoom);
}

double stepUp(double zoom) {
    for (double step : zoomSteps) {
        if (step > zoom + stepTolerance)
            return step;
    }
    return maximumZoom;
}

double stepDown(double zoom) {
    double result = minimumZoom;
    for (double step : zoomSteps) {
        if (step < zoom - stepTolerance)
            result = step;
    }
    return result;
}

QPointF canvasOrigin(QSizeF bounds, qint64 spriteWidth, qint64 spriteHeight, double zoom,
                     QSizeF pan) {
    const double x = (bounds.width() - double(spriteWidth) * zoom) / 2 + pan.width();
    const double y = (bounds.height() - double(spriteHeight) * zoom) / 2 + pan.height();
    return {std::round(x), std::round(y)};
}

PixelPoint pixelAt(QPointF point, QPointF origin, double zoom) {
    return {qint64(std::floor((point.x() - origin.x()) / zoom)),
            qint64(std::floor((point.y() - origin.y()) / zoom))};
}

QRectF viewRect(const PixelRect& rect, QPointF origin, double zoom) {
    return {origin.x() + double(rect.x) * zoom, origin.y() + double(rect.y) * zoom,
            double(rect.width) * zoom, double(rect.height) * zoom};
}

QSizeF panKeeping(QPointF focus, QPointF origin, double oldZoom, double newZoom, QSizeF bounds,
                  qint64 spriteWidth, qint64 spriteHeight) {
    const QPointF canvasPoint = (focus - origin) / oldZoom;
    const QPointF newOrigin = focus - canvasPoint * newZoom;
    return {newOrigin.x() - (bounds.width() - double(spriteWidth) * newZoom) / 2,
            newOrigin.y() - (bounds.height() - double(spriteHeight) * newZoom) / 2};
}

std::optional<double> fitZoom(QSizeF bounds, qint64 spriteWidth, qint64 spriteHeight) {
    if (spriteWidth <= 0 || spriteHeight <= 0 || bounds.width() <= 0 || bounds.height() <= 0)
        return std::nullopt;
    const double available[2] = {std::max(bounds.width() - 2 * fitMargin, 1.0),
                                 std::max(bounds.height() - 2 * fitMargin, 1.0)};
    const double scale =
        std::min(available[0] / double(spriteWidth), available[1] / double(spriteHeight));
    double zoom = minimumZoom;
    for (double step : zoomSteps) {
        if (step <= scale)
            zoom = step;
    }
    return zoom;
}

bool showsGrid(bool gridToggle, double zoom, bool automaticGrid, double automaticGridZoom) {
    return (gridToggle && zoom >= manualGridMinimumZoom) ||
           (automaticGrid && zoom >= automaticGridZoom);
}

double zoomDelta(double delta, bool naturalScrolling) {
    return naturalScrolling ? delta : -delta;
}

std::optional<double> scrollZoomFactor(double delta) {
    return boundedFactor(std::exp2(delta / 120.0));
}

std::optional<double> pinchZoomFactor(double magnification) {
    return boundedFactor(1 + magnification);
}

PixelRect cursorFootprint(ToolKind tool, qint64 brushSize, PixelPoint pixel) {
    const qint64 side = ToolKinds::usesBrushSize(tool) ? std::max<qint64>(brushSize, 1) : 1;
    // Centred as the brush stamps it: an even side reaches one further right and down.
    const qint64 reach = (side - 1) / 2;
    return {pixel.x - reach, pixel.y - reach, side, side};
}

QRectF targetSquare(QRectF footprint) {
    if (footprint.width() >= smallestTarget)
        return footprint;
    return {footprint.center() - QPointF(targetSide / 2, targetSide / 2),
            QSizeF(targetSide, targetSide)};
}

QList<QLineF> foldLines(SymmetryMode mode, QRectF canvas) {
    QList<QLineF> lines;
    const QPointF centre = canvas.center();
    if (SymmetryModes::mirrorsHorizontally(mode)) {
        const double x = std::round(centre.x()) + 0.5;
        lines.append({x, canvas.top(), x, canvas.bottom()});
    }
    if (SymmetryModes::mirrorsVertically(mode)) {
        const double y = std::round(centre.y()) + 0.5;
        lines.append({canvas.left(), y, canvas.right(), y});
    }
    if (mode == SymmetryMode::diagonal)
        lines.append(diagonalThrough(centre, 1, canvas));
    if (mode == SymmetryMode::antiDiagonal)
        lines.append(diagonalThrough(centre, -1, canvas));
    return lines;
}

} // namespace CanvasGeometry
