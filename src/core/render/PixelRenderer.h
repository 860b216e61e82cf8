#pragma once

#include "OnionSkin.h"
#include "Sprite.h"

#include <QByteArray>
#include <QColorSpace>
#include <QImage>
#include <QList>
#include <optional>

// Turns the sprite model into displayable pixels and images. Composited buffers are
// premultiplied 0xAARRGGBB words (QImage::Format_ARGB32_Premultiplied); model buffers straight.
// Whatever makes a new buffer or image throws std::bad_alloc when memory runs out.
namespace PixelRenderer {

constexpr QImage::Format premultipliedFormat = QImage::Format_ARGB32_Premultiplied;
constexpr QImage::Format straightFormat = QImage::Format_ARGB32;

// The frame's visible layers over transparent: width × height premultiplied words.
QList<quint32> composite(const Sprite& sprite, qint64 frame);

// Recomposites one region of a canvas-sized premultiplied buffer in place, with onion-skin
// ghosts when given; scratch is the caller's work buffer, kept between calls.
void composite(const Sprite& sprite, QList<quint32>& buffer, const PixelRect& rect, qint64 frame,
               const std::optional<OnionSkin>& onionSkin, QList<quint32>& scratch);

QList<quint32> premultiply(const QList<quint32>& pixels);
QList<quint32> unpremultiply(const QList<quint32>& pixels);

// sRGB images over the words themselves (shared, not copied). Null images when a side is not
// positive or the word count is not width × height.
QImage makeImage(const QList<quint32>& premultiplied, qint64 width, qint64 height);
QImage makeStraightImage(const QList<quint32>& straight, qint64 width, qint64 height);

struct Buffer {
    QList<quint32> pixels; // straight 0xAARRGGBB
    qint64 width = 0;
    qint64 height = 0;
};
// True when an image tagged with space already holds sRGB values: untagged, tagged sRGB, or
// tagged with sRGB primaries and a 2.2 gamma, the way many programs label plain sRGB. Converting
// the last kind would shift every colour of a pixel-art palette by a step or two.
bool holdsSRgb(const QColorSpace& space);
// Any image (indexed, grayscale, 16-bit, with a colour profile) as straight sRGB words, by way
// of premultiplied pixels: fully transparent pixels become 0.
std::optional<Buffer> buffer(const QImage& image);

// A standard PNG of the image; empty on failure.
QByteArray pngData(const QImage& image);

// The source index nearest-neighbour scaling reads for target index i of targetLength: the
// source pixel under the target pixel's centre.
constexpr qint64 nearestSource(qint64 i, qint64 sourceLength, qint64 targetLength) {
    return (2 * i + 1) * sourceLength / (2 * targetLength);
}

// Nearest-neighbour scaling; percent ≤ 0 or exactly 100 returns the image itself.
QImage scaled(const QImage& image, qint64 percent);
// The cel's straight image, shrunk nearest-neighbour so its longer side is at most maxSide.
QImage thumbnail(const Cel& cel, qint64 maxSide);

} // namespace PixelRenderer
