#pragma once

#include "PixelRect.h"

#include <QList>

// Pure functions that turn gestures into pixel positions.
namespace PixelRasterizer {

// Bresenham's all-octant line, both ends included, ordered from a to b.
QList<PixelPoint> line(PixelPoint from, PixelPoint to);

// Snaps anchor → point to the nearest of eight directions (45° steps).
PixelPoint constrain(PixelPoint point, PixelPoint anchor);
// Snaps to a square box.
PixelPoint constrainSquare(PixelPoint point, PixelPoint anchor);
// Snaps to the box of an equilateral triangle standing on its base.
PixelPoint constrainEquilateral(PixelPoint point, PixelPoint anchor);

// The box spanning both points, both included: a zero-length drag gives one pixel.
PixelRect box(PixelPoint from, PixelPoint to);

// First occurrence of each point, in order.
QList<PixelPoint> deduplicated(const QList<PixelPoint>& points);

// The box's border, each pixel once.
QList<PixelPoint> rectangleOutline(const PixelRect& box);
// The ellipse touching all four sides of the box.
QList<PixelPoint> ellipseOutline(const PixelRect& box);
// A triangle standing on the bottom of the box, apex up.
QList<PixelPoint> triangleOutline(const PixelRect& box);

// The filled forms list only pixels inside reach: a filled shape dragged far past the canvas
// must not build a list of every pixel it covers. Callers pass the canvas widened by what can
// still paint onto it (brush footprint, mirror images).
inline constexpr PixelRect unbounded{-(qint64(1) << 40), -(qint64(1) << 40), qint64(1) << 41,
                                     qint64(1) << 41};
// Every pixel of the box, row by row.
QList<PixelPoint> filledRectangle(const PixelRect& box, const PixelRect& reach = unbounded);
// Each row of the outline closed from its leftmost to its rightmost point.
QList<PixelPoint> spanFilled(const QList<PixelPoint>& outline, const PixelRect& reach = unbounded);

} // namespace PixelRasterizer
