#pragma once

#include "PixelRect.h"

#include <QByteArray>
#include <QList>
#include <QtGlobal>

// Writes an animated PNG chunk by chunk: the signature and header, the animation control, then
// one frame control and its zlib data per frame (the first frame as the default image, so
// viewers without animation show it), each chunk with its CRC and every frame chunk numbered
// in sequence. Every frame replaces its rectangle outright (blend "source") and stays on the
// canvas (dispose "none"), so a frame only needs the pixels that changed.
class ApngWriter {
public:
    // A delay of numerator / denominator seconds.
    struct Delay {
        quint16 numerator = 1;
        quint16 denominator = 10;
    };

    // Loops forever. Throws ExportError when the size is not a valid PNG size.
    ApngWriter(qint64 width, qint64 height, qint64 frameCount);

    // The first frame must cover the whole canvas, later ones any non-empty rectangle inside
    // it. pixels: straight 0xAARRGGBB words of the rectangle, row-major.
    void add(const PixelRect& rect, const QList<quint32>& pixels, Delay delay);
    // The file, once every frame announced in the constructor has been added.
    QByteArray finish();

private:
    void writeChunk(const char* type, const QByteArray& data);
    QByteArray compressed(const PixelRect& rect, const QList<quint32>& pixels) const;

    qint64 width;
    qint64 height;
    qint64 frameCount;
    qint64 framesAdded = 0;
    quint32 sequence = 0;
    QByteArray bytes;
};
