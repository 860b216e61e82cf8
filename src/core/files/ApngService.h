#pragma once

#include "ApngWriter.h"
#include "StepProgress.h"
#include "Sprite.h"

#include <QByteArray>

// The whole timeline as one endlessly looping animated PNG: every colour and full alpha,
// each frame keeping its duration exactly.
namespace ApngService {

// Every frame composited (visible layers) and scaled nearest-neighbour; after the first, each
// frame carries only the rectangle that changed since the one before. Throws ExportError.
// Progress counts the frames encoded.
QByteArray data(const Sprite& sprite, qint64 percent, const StepProgress& progress = {});

// A duration in milliseconds as a reduced fraction of a second: 250 ms gives 1/4. A duration
// that does not fit the file's 16-bit fields (above 65.535 s and not a whole number of
// seconds) is rounded to whole seconds, at most 65535.
ApngWriter::Delay delay(qint64 milliseconds);

// The smallest rectangle holding every word that differs between two width-wide frames of
// equal size; empty when they are equal.
PixelRect changedRect(const QList<quint32>& before, const QList<quint32>& after, qint64 width);

} // namespace ApngService
