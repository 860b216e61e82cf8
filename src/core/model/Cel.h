#pragma once

#include "PixelRect.h"

#include <QList>
#include <QtGlobal>

// One layer's pixels in one frame: width × height words, row-major, shared until written.
struct Cel {
    qint64 width = 0;
    qint64 height = 0;
    QList<quint32> pixels;

    Cel() = default;
    // A blank cel (all words 0); no pixels at all when width × height is below 1.
    Cel(qint64 width, qint64 height);
    Cel(qint64 width, qint64 height, QList<quint32> pixels)
        : width(width), height(height), pixels(std::move(pixels)) {}

    PixelRect bounds() const { return {0, 0, width, height}; }
    quint32 pixel(qint64 x, qint64 y) const { return pixels.constData()[y * width + x]; }

    // The rectangle's pixels clipped to the cel, row-major; empty when nothing is inside.
    QList<quint32> extract(const PixelRect& rect) const;
    // Writes words into a rectangle wholly inside the cel; anything else changes nothing.
    void replace(const PixelRect& rect, const QList<quint32>& words);

    friend bool operator==(const Cel& a, const Cel& b) = default;
};
