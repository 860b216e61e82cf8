#pragma once

#include <QByteArray>
#include <QList>

// Turns one GIF image's pixels into palette indices. An image of at most 255 distinct opaque
// colours keeps every colour exactly; a richer one is reduced with libimagequant, without
// dithering so that pixel art stays crisp.
namespace GIFQuantizer {

constexpr qint64 exactColorLimit = 255; // one palette entry stays free for transparency

struct Indexed {
    QByteArray indices;        // one per pixel, row-major
    QList<quint32> colors;     // 0x00RRGGBB, as many as the indices use
    int transparentIndex = -1; // -1 when no pixel is transparent and none was asked for
};

// Pixels are 0 (transparent) or opaque 0xFFRRGGBB words. needsTransparentIndex gives the
// image a transparent index even when no pixel uses it. Throws ExportError.
Indexed indexed(const QList<quint32>& pixels, qint64 width, qint64 height,
                bool needsTransparentIndex = false);

} // namespace GIFQuantizer
