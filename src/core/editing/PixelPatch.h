#pragma once

#include "PixelRect.h"

#include <QList>
#include <QUuid>

// One pixel undo step: the before and after words of one rectangle of one cel.
struct PixelPatch {
    QUuid layerID;
    qint64 frame = 0;
    PixelRect rect; // clipped to the canvas, never empty
    QList<quint32> before;
    QList<quint32> after;
    bool createdCel = false; // the slot was empty before the change

    // Bytes of pixel data the step keeps alive.
    qint64 pixelBytes() const { return (before.size() + after.size()) * qint64(sizeof(quint32)); }
};
