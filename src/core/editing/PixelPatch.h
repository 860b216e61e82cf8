#pragma once

#include "PixelRect.h"
#include "PixelSpans.h"

#include <QList>
#include <QUuid>

// One pixel undo step: the runs of one cel that changed, with their words before and after.
// Only the changed runs are kept, so a long or mirrored stroke costs what it painted, not its
// bounding box.
struct PixelPatch {
    QUuid layerID;
    qint64 frame = 0;
    PixelRect rect; // the runs' bounds, clipped to the canvas, never empty
    PixelSpans runs;
    QList<quint32> before; // in run order
    QList<quint32> after;
    bool createdCel = false; // the slot was empty before the change

    // Bytes of pixel data the step keeps alive.
    qint64 pixelBytes() const {
        return (before.size() + after.size()) * qint64(sizeof(quint32)) +
               qint64(runs.spans().size() * sizeof(PixelSpans::Span));
    }
};
