#include "CelPng.h"

#include "CanvasLimits.h"
#include "PixelRenderer.h"

#include <QBuffer>
#include <QColorSpace>
#include <QImageReader>
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

} // namespace

namespace CelPng {

QByteArray encode(const Cel& cel) {
    return PixelRenderer::pngData(
        PixelRenderer::makeStraightImage(cel.pixels, cel.width, cel.height));
}

std::optional<Cel> decode(const QByteArray& bytes, qint64 width, qint64 height) {
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    QImageReader reader(&device, "png");
    reader.setAutoDetectImageFormat(false);
    reader.setAllocationLimit(decodeAllocationLimitMiB);
    if (!CanvasLimits::isAllowedSize(width, height) ||
        reader.size() != QSize(int(width), int(height)))
        return std::nullopt;
    // Files Kestrin writes (8-bit RGBA, sRGB) decode straight into the cel's words. Format_ARGB32
    // keeps straight words either way: nothing is premultiplied on the way, so semi-transparent
    // pixels come back exactly.
    QList<quint32> words(width * height, 0u);
    auto* target = reinterpret_cast<uchar*>(words.data());
    QImage image(target, int(width), int(height), int(width * 4), QImage::Format_ARGB32);
    if (!reader.read(&image) || image.width() != width || image.height() != height)
        return std::nullopt;
    const bool inPlace = image.constBits() == target && image.format() == QImage::Format_ARGB32 &&
                         PixelRenderer::holdsSRgb(image.colorSpace());
    if (!inPlace && !copyStraight(image, words.data()))
        return std::nullopt;
    return Cel(width, height, std::move(words));
}

bool isPainted(const Cel& cel) {
    const quint32* words = cel.pixels.constData();
    for (qint64 i = 0; i < cel.pixels.size(); ++i) {
        if (words[i] >> 24)
            return true;
    }
    return false;
}

} // namespace CelPng
