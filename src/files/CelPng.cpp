#include "CelPng.h"

#include "CanvasLimits.h"
#include "canvas/PixelRenderer.h"

#include <QBuffer>
#include <QColorSpace>
#include <QImageReader>

namespace {

// Enough for a 4096 × 4096 cel stored with 16 bits per channel.
constexpr int decodeAllocationLimitMiB = 256;

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
    // Files Kestrin writes (8-bit RGBA, sRGB) decode straight into the cel's words; anything
    // else is converted by the renderer. Format_ARGB32 keeps straight words either way:
    // nothing is premultiplied on the way, so semi-transparent pixels come back exactly.
    QList<quint32> words(width * height, 0u);
    auto* target = reinterpret_cast<uchar*>(words.data());
    QImage image(target, int(width), int(height), int(width * 4), QImage::Format_ARGB32);
    if (!reader.read(&image) || image.width() != width || image.height() != height)
        return std::nullopt;
    const QColorSpace space = image.colorSpace();
    if (image.constBits() == target && image.format() == QImage::Format_ARGB32 &&
        (!space.isValid() || space == QColorSpace::SRgb))
        return Cel(width, height, std::move(words));
    auto pixels = PixelRenderer::buffer(image);
    if (!pixels)
        return std::nullopt;
    return Cel(width, height, std::move(pixels->pixels));
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
