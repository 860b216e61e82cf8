#include "GIFService.h"

#include "ExportError.h"
#include "ExportScale.h"
#include "ExportService.h"
#include "GIFFramePlanner.h"
#include "GIFWriter.h"
#include "MemoryError.h"
#include "PixelRenderer.h"

#include <cmath>

namespace {

// Premultiplied pixels as the GIF sees them: 0 for transparent, opaque straight words.
QList<quint32> thresholded(const QImage& image) {
    const QImage premultiplied = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const qint64 width = premultiplied.width();
    QList<quint32> words = MemoryError::allocatedWords(width * premultiplied.height());
    quint32* out = words.data();
    for (int y = 0; y < premultiplied.height(); ++y) {
        const auto* row = reinterpret_cast<const quint32*>(premultiplied.constScanLine(y));
        for (qint64 x = 0; x < width; ++x) {
            const quint32 p = row[x];
            const quint32 a = p >> 24;
            if (a == 255 || a < GIFService::opaqueAlpha) {
                *out++ = a == 255 ? p : 0;
                continue;
            }
            quint32 word = 0xFF000000u;
            for (int shift = 0; shift <= 16; shift += 8)
                word |= std::min<quint32>(255, ((p >> shift) & 0xFF) * 255 / a) << shift;
            *out++ = word;
        }
    }
    return words;
}

QList<quint32> scaledFrame(const Sprite& sprite, qint64 frame, qint64 percent, qint64 outputWidth,
                           qint64 outputHeight) {
    const QImage image =
        PixelRenderer::scaled(PixelRenderer::makeImage(PixelRenderer::composite(sprite, frame),
                                                       sprite.width, sprite.height),
                              percent);
    if (image.isNull() || image.width() != outputWidth || image.height() != outputHeight)
        throw ExportError::renderFailed();
    return thresholded(image);
}

} // namespace

namespace GIFService {

QByteArray data(const Sprite& sprite, qint64 percent, const StepProgress& progress) {
    if (sprite.frames.isEmpty())
        throw ExportError::renderFailed();
    ExportService::checkOutputSize(sprite.width, sprite.height, percent);
    const qint64 width = ExportScale::side(sprite.width, percent);
    const qint64 height = ExportScale::side(sprite.height, percent);
    GIFWriter writer(width, height);
    GIFFramePlanner planner(width, height);
    for (qint64 frame = 0; frame < sprite.frames.size(); ++frame) {
        const QList<quint32> pixels = scaledFrame(sprite, frame, percent, width, height);
        if (auto ready = planner.add(pixels, delayHundredths(sprite.frames[frame].duration)))
            writer.add(*ready);
        reportProgress(progress, frame + 1, sprite.frames.size());
    }
    writer.add(planner.finish());
    return declaringGIF89a(writer.finish());
}

QByteArray declaringGIF89a(const QByteArray& bytes) {
    if (!bytes.startsWith("GIF87a"))
        return bytes;
    QByteArray declared = bytes;
    declared.replace(0, 6, "GIF89a");
    return declared;
}

qint64 delayHundredths(qint64 milliseconds) {
    return std::clamp<qint64>(qint64(std::round(double(milliseconds) / 10.0)), 0, longestDelay);
}

} // namespace GIFService
