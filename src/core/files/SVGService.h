#pragma once

#include "PixelColor.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Pixels as a vector image: one rectangle per horizontal run of identical pixels.
namespace SVGService {

// UTF-8 SVG text of width × height straight-alpha words at percent (which only changes the
// declared size; coordinates stay in canvas pixels). Throws ExportError.
QByteArray data(const QList<quint32>& pixels, qint64 width, qint64 height, qint64 percent);

// "#RRGGBB", alpha left out.
QString hex(PixelColor color);

} // namespace SVGService
