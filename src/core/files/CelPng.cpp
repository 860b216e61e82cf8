#include "CelPng.h"

#include "MemoryError.h"
#include "PixelRenderer.h"
#include "PngCodec.h"
#include "SpriteLimits.h"

#include <QBuffer>
#include <QColorSpace>
#include <QImageReader>
#include <algorithm>
#include <cstring>

namespace {

// Enough for a 4096 × 4096 cel stored with 16 bits per channel.
constexpr int decodeAllocationLimitMiB = 256;

// Copies a decoded image that came in another layout or colour space (indexed, grey, 16-bit,
// another profile, as other programs may write) into straight sRGB words, never premultiplied.
bool copyStraight(const QImage& image, quint32* out) {
    QImage converted = image.convertToFormat(QImage::Format_ARGB32);
    if (!PixelRenderer::holdsSRgb(converted.colorSpace()))
        converted.convertToColorSpace(QColorSpace::SRgb);
    if (converted.isNull() || converted.format() != QImage::Format_ARGB32)
        return false;
    for (int y = 0; y < converted.height(); ++y)
        std::memcpy(out + qint64(y) * converted.width(), converted.constScanLine(y),
                    size_t(converted.width()) * sizeof(quint32));
    return true;
}

// Files from other programs (indexed, grey, 16-bit, interlaced, colour-managed) go through
// Qt's decoder, converted to straight sRGB words.
std::optional<Cel> decodeElsewise(const QByteArray& bytes, qint64 width, qint64 height) {
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    QImageReader reader(&device, "png");
    reader.setAutoDetectImageFormat(false);
    reader.setAllocationLimit(decodeAllocationLimitMiB);
    if (reader.size() != QSize(int(width), int(height)))
        return std::nullopt;
    // Format_ARGB32 keeps straight words: nothing is premultiplied on the way, so
    // semi-transparent pixels come back exactly.
    QList<quint32> words = MemoryError::allocatedWords(width * height);
    auto* target = reinterpret_cast<uchar*>(words.data());
    QImage image(target, int(width), int(height), int(width * 4), QImage::Format_ARGB32);
    if (!reader.read(&image) || image.width() != width || image.height() != height)
        return std::nullopt;
    const bool inPlace = image.constBits() == target && image.format() == QImage::Format_ARGB32 &&
                         PixelRenderer::holdsSRgb(image.colorSpace());
    if (!inPlace && !copyStraight(image, words.data()))
        return std::nullopt;
    return Cel(width, height, words);
}

} // namespace

namespace CelPng {

QByteArray encode(const Cel& cel) {
    return PngCodec::encode(cel.width, cel.height, [&](qint64 y) { return cel.row(y); });
}

std::optional<Cel> decode(const QByteArray& bytes, qint64 width, qint64 height) {
    if (!SpriteLimits::isAllowedSize(width, height) ||
        PngCodec::size(bytes) != std::pair(width, height))
        return std::nullopt;
    // Bands are made as rows arrive; one that cannot be made throws std::bad_alloc.
    Cel cel(width, height);
    const auto row = [&](qint64 y) { return cel.mutableRow(y); };
    switch (PngCodec::decode(bytes, width, height, row)) {
    case PngCodec::Decoded::done:
        return cel;
    case PngCodec::Decoded::notMine:
        return decodeElsewise(PngCodec::withoutExtras(bytes), width, height);
    case PngCodec::Decoded::wrongSize:
    case PngCodec::Decoded::corrupt:
        break;
    }
    return std::nullopt;
}

bool isPainted(const Cel& cel) {
    for (qint64 y = 0; y < cel.height; ++y) {
        const quint32* row = cel.row(y);
        if (std::any_of(row, row + cel.width, [](quint32 word) { return word >> 24; }))
            return true;
    }
    return false;
}

} // namespace CelPng
