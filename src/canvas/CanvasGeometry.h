#pragma once

#include "model/PixelRect.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <optional>

// The canvas view's geometry as pure functions of the view size, sprite size, zoom and pan.
// Zoom is view points per sprite pixel; pan is in view points.
namespace CanvasGeometry {

inline constexpr double minimumZoom = 0.125;
inline constexpr double maximumZoom = 32.0;
inline constexpr double zoomSteps[] = {0.125, 0.25, 0.5, 1, 2, 4, 8, 16, 32};
// Margin kept free around the canvas by fit, on every side.
inline constexpr double fitMargin = 20.0;

double clampedZoom(double zoom);
// The first step above zoom (beyond a small tolerance), or the largest step.
double stepUp(double zoom);
// The last step below zoom (beyond a small tolerance), or the smallest step.
double stepDown(double zoom);

// Top-left of the canvas in view points: centred, moved by pan, rounded to whole points.
QPointF canvasOrigin(QSizeF bounds, qint64 spriteWidth, qint64 spriteHeight, double zoom,
                     QSizeF pan);
// The pixel under a view point, unclamped (off-canvas points give out-of-range pixels).
PixelPoint pixelAt(QPointF point, QPointF origin, double zoom);
QRectF viewRect(const PixelRect& rect, QPointF origin, double zoom);

// The pan that keeps the canvas point under focus in place when zooming to newZoom.
QSizeF panKeeping(QPointF focus, QPointF origin, double oldZoom, double newZoom, QSizeF bounds,
                  qint64 spriteWidth, qint64 spriteHeight);
// The largest zoom step at which the sprite fits with the margin; absent without area.
std::optional<double> fitZoom(QSizeF bounds, qint64 spriteWidth, qint64 spriteHeight);

} // namespace CanvasGeometry
