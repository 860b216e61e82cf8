#include "ImportService.h"

#include "ImageCompleteness.h"
#include "ImportError.h"
#include "SpriteLimits.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QSet>

namespace {

// Enough for the largest allowed image at 16 bits per channel.
constexpr int importAllocationLimitMiB = 256;
// No image within the canvas limit needs a larger file than its decoded pixels do.
constexpr qint64 largestFileBytes = qint64(importAllocationLimitMiB) * 1024 * 1024;

void checkSize(qint64 width, qint64 height) {
    if (width <= 0 || height <= 0)
        throw ImportError(ImportError::unreadableImage);
    if (width > SpriteLimits::maximumSide || height > SpriteLimits::maximumSide)
        throw ImportError(ImportError::tooLarge, width, height);
}

} // namespace

namespace ImportService {

Sprite spriteFromImageAt(const QString& path) {
    // Only regular files: reading a FIFO or a device could block forever or never end.
    QFile file(path);
    if (!QFileInfo(path).isFile() || file.size() > largestFileBytes ||
        !file.open(QIODevice::ReadOnly))
        throw ImportError(ImportError::unreadableImage);
    QByteArray bytes = file.readAll();
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    QImageReader reader(&device, QFileInfo(path).suffix().toLatin1());
    reader.setAllocationLimit(importAllocationLimitMiB);
    reader.setAutoTransform(true); // a photo taken on its side comes in upright
    const QSize header = reader.size();
    if (header.isValid())
        checkSize(header.width(), header.height());
    if (!ImageCompleteness::isComplete(bytes))
        throw ImportError(ImportError::unreadableImage);
    const QImage image = reader.read();
    const auto pixels = image.isNull() ? std::nullopt : PixelRenderer::buffer(image);
    if (!pixels)
        throw ImportError(ImportError::unreadableImage);
    return spriteFromPixels(*pixels, layerName(path));
}

Sprite spriteFromPixels(const PixelRenderer::Buffer& image, const QString& layerName) {
    checkSize(image.width, image.height);
    if (image.pixels.size() != image.width * image.height)
        throw ImportError(ImportError::unreadableImage);
    Layer layer(layerName.isEmpty() ? QStringLiteral("Layer 1") : layerName, 1);
    layer.cels[0] = Cel(image.width, image.height, image.pixels);

    Sprite sprite;
    sprite.width = image.width;
    sprite.height = image.height;
    sprite.frames = {Frame{}};
    sprite.palette = palette(image.pixels, importedPaletteLimit);
    sprite.activeLayerID = layer.id;
    sprite.layers = {layer};
    sprite.normalize();
    return sprite;
}

Palette palette(const QList<quint32>& pixels, qint64 limit) {
    Palette result{QStringLiteral("Imported"), {}};
    QSet<quint32> seen;
    const quint32* words = pixels.constData();
    for (qint64 i = 0; i < pixels.size() && result.colors.size() < limit; ++i) {
        if ((words[i] >> 24) != 0 && !seen.contains(words[i])) {
            seen.insert(words[i]);
            result.colors.append(PixelColor(words[i]));
        }
    }
    return result.colors.isEmpty() ? Palette::defaultPalette() : result;
}

QString layerName(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf('.');
    return dot < 0 ? name : name.left(dot);
}

} // namespace ImportService
