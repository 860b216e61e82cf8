#pragma once

#include "StepProgress.h"
#include "Sprite.h"

#include <QByteArray>

// The whole timeline as one endlessly looping GIF89a, each frame keeping its duration. A GIF
// has one transparent index rather than an alpha channel: a pixel whose composited alpha is
// below 128 is transparent, any other is drawn opaque in its own colour.
namespace GIFService {

constexpr quint32 opaqueAlpha = 128;   // the least alpha drawn as a colour
constexpr qint64 longestDelay = 65535; // hundredths of a second

// Every frame composited (visible layers) and scaled nearest-neighbour. Throws ExportError.
// Progress counts the frames encoded.
QByteArray data(const Sprite& sprite, qint64 percent, const StepProgress& progress = {});

// The bytes with a leading "GIF87a" replaced by "GIF89a"; anything else unchanged.
QByteArray declaringGIF89a(const QByteArray& bytes);

// A frame duration in milliseconds as a GIF delay: hundredths of a second, rounded, within
// what the file can hold.
qint64 delayHundredths(qint64 milliseconds);

} // namespace GIFService
