#include "ImportedFrames.h"

#include "Frame.h"
#include "ImportError.h"
#include "MemoryError.h"
#include "PixelRenderer.h"
#include "SpriteLimits.h"

#include <QCoreApplication>

void ImportedFrames::checkSize(qint64 width, qint64 height) {
    if (width <= 0 || height <= 0)
        throw ImportError(ImportError::unreadableImage);
    if (!SpriteLimits::isAllowedSize(width, height))
        throw ImportError(ImportError::tooLarge, width, height);
}

void ImportedFrames::checkCount(qint64 count, qint64 width, qint64 height) {
    const qint64 allowed =
        std::min(maximumFrames, maximumPixels / std::max<qint64>(1, width * height));
    if (count > allowed)
        throw ImportError(QCoreApplication::translate(
                              "ImportedFrames", "%1 frames of %2 × %3 are more than Kestrin can "
                                                "import at once (at most %4).")
                              .arg(count)
                              .arg(width)
                              .arg(height)
                              .arg(allowed));
    if (count < 1)
        throw ImportError(
            QCoreApplication::translate("ImportedFrames", "There are no frames to import."));
}

QList<quint32> ImportedFrames::pixels(const QImage& image) {
    QImage straight = image.convertToFormat(PixelRenderer::straightFormat);
    if (!PixelRenderer::holdsSRgb(straight.colorSpace()))
        straight.convertToColorSpace(QColorSpace::SRgb);
    if (straight.isNull() || straight.format() != PixelRenderer::straightFormat)
        throw ImportError(ImportError::unreadableImage);
    const qint64 width = straight.width();
    QList<quint32> words = MemoryError::allocatedWords(width * straight.height());
    for (qint64 y = 0; y < straight.height(); ++y) {
        const auto* row = reinterpret_cast<const quint32*>(straight.constScanLine(int(y)));
        for (qint64 x = 0; x < width; ++x)
            words[y * width + x] = (row[x] >> 24) ? row[x] : 0u;
    }
    return words;
}

qint64 ImportedFrames::frameDuration(qint64 milliseconds) {
    if (milliseconds <= 0)
        return Frame::defaultDuration;
    return std::max(milliseconds, Frame::minimumDuration);
}
