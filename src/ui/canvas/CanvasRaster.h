#pragma once

#include "CanvasPainter.h"

#include <QImage>
#include <QRect>

// Renders the flat layers of a canvas scene (the background around the canvas, the
// transparency pattern, the composite scaled nearest-neighbour and the pixel grid) straight
// into device pixels. Each sprite pixel is blended over the two pattern colours once per run
// of device pixels it covers, and grid crossings are darkened once.
namespace CanvasRaster {

// Renders the device-pixel area of target, a premultiplied image in device pixels.
void render(QImage& target, const QRect& deviceArea, const CanvasScene& scene);

} // namespace CanvasRaster
