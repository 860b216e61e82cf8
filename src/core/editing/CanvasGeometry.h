#pragma once

#include "PixelRect.h"
#include "SymmetryMode.h"
#include "ToolKind.h"

#include <QLineF>
#include <QList>
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

// Below this zoom the grid toggle alone does not show the grid: the lines would crowd out
// the pixels.
inline constexpr double manualGridMinimumZoom = 4.0;
// Whether the pixel grid is drawn: the toggle from zoom 4 up, or the automatic grid from its
// own zoom up.
bool showsGrid(bool gridToggle, double zoom, bool automaticGrid, double automaticGridZoom);

// A zoom delta from a scroll event, signed so that positive zooms in. The platform hands us
// deltas already inverted under natural scrolling; the zoom direction follows that choice.
double zoomDelta(double delta, bool naturalScrolling);
// The factor of a continuous (touchpad) scroll zoom: 2^(delta / 120), kept within 0.1…10;
// absent when it would change nothing.
std::optional<double> scrollZoomFactor(double delta);
// The factor of a pinch: 1 + magnification, kept within 0.1…10; absent when it would change
// nothing or is not positive.
std::optional<double> pinchZoomFactor(double magnification);

// The pixels the next press would paint: the brush square for brush tools, else one pixel.
PixelRect cursorFootprint(ToolKind tool, qint64 brushSize, PixelPoint pixel);
// The square the drawn cursor outlines: the footprint's view rectangle, or an 8-point square
// centred on it when the footprint is narrower than 6 points.
QRectF targetSquare(QRectF footprint);

// The dashed fold lines of a symmetry mode, in view points, inside the canvas rectangle.
QList<QLineF> foldLines(SymmetryMode mode, QRectF canvas);

} // namespace CanvasGeometry
