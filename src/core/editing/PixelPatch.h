#pragma once

#include "Cel.h"
#include "PixelRect.h"
#include "PixelSpans.h"

#include <QList>
#include <QUuid>
#include <optional>

// One pixel undo step: the runs of one cel that changed, with their words before and after.
// Only the changed runs are kept, so a long or mirrored stroke costs what it painted, not its
// bounding box. A change that covers most of the bands it touched (a fill, a big shape) keeps
// the whole cel before and after instead: the two share every untouched band, so nothing is
// copied.
struct PixelPatch {
    QUuid layerID;
    qint64 frame = 0;
    PixelRect rect; // the runs' bounds, clipped to the canvas, never empty
    PixelSpans runs;
    QList<quint32> before; // in run order
    QList<quint32> after;
    bool createdCel = false; // the slot was empty before the change
    std::optional<Cel> celBefore; // with celAfter, in place of the words
    std::optional<Cel> celAfter;

    // Bytes of words and runs the step keeps (whole cels are counted by their bands).
    qint64 pixelBytes() const {
        return (before.size() + after.size()) * qint64(sizeof(quint32)) +
               qint64(runs.spans().size() * sizeof(PixelSpans::Span));
    }
};
