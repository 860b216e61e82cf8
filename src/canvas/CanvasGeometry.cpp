#include "CanvasGeometry.h"

#include <algorithm>
#include <cmath>

namespace CanvasGeometry {

namespace {
constexpr double stepTolerance = 0.001;
}

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

} // namespace CanvasGeometry
