#pragma once

#include "PixelRect.h"

#include <QList>
#include <algorithm>

// Pasted pixels hovering over the canvas until they are placed or thrown away.
struct FloatingPaste {
    enum class Destination { activeLayer, newLayer };

    QList<quint32> pixels; // straight words, row-major, width × height
    qint64 width = 0;
    qint64 height = 0;
    PixelPoint origin;      // canvas position of the top-left pixel; may lie off the canvas
    bool replacing = false; // transparent pixels also clear what they land on
    Destination destination = Destination::activeLayer;

    PixelRect rect() const {
        return {origin.x, origin.y, std::max<qint64>(width, 0), std::max<qint64>(height, 0)};
    }

    friend bool operator==(const FloatingPaste&, const FloatingPaste&) = default;
};
