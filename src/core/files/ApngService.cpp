#include "ApngService.h"

#include "ExportError.h"
#include "ExportScale.h"
#include "ExportService.h"
#include "MemoryError.h"
#include "PixelRenderer.h"

#include <cmath>
#include <cstring>
#include <numeric>

namespace {

// The frame's straight composite at the output size.
QList<quint32> scaledFrame(const Sprite& sprite, qint64 frame, qint64 percent, qint64 width,
                           qint64 height) {
    const QList<quint32> straight =
        PixelRenderer::unpremultiply(PixelRenderer::composite(sprite, frame));
    if (percent == 100 && straight.size() == width * height)
        return straight;
    const QImage words =
        PixelRenderer::scaled(
            PixelRenderer::makeStraightImage(straight, sprite.width, sprite.height), percent)
            .convertToFormat(PixelRenderer::straightFormat);
    if (words.isNull() || words.width() != width || words.height() != height)
        throw ExportError::renderFailed();
    QList<quint32> pixels = MemoryError::allocatedWords(width * height);
    for (qint64 y = 0; y < height; ++y)
        std::memcpy(pixels.data() + y * width, words.constScanLine(int(y)),
                    size_t(width) * sizeof(quint32));
    return pixels;
}

QList<quint32> extract(const QList<quint32>& pixels, qint64 width, const PixelRect& rect) {
    QList<quint32> part = MemoryError::allocatedWords(rect.area());
    for (qint64 y = 0; y < rect.height; ++y)
        std::copy_n(pixels.constData() + (rect.y + y) * width + rect.x, rect.width,
                    part.data() + y * rect.width);
    return part;
}

} // namespace

namespace ApngService {

QByteArray data(const Sprite& sprite, qint64 percent, const StepProgress& progress) {
    if (sprite.frames.isEmpty() || sprite.width < 1 || sprite.height < 1)
        throw ExportError::renderFailed();
    ExportService::checkOutputSize(sprite.width, sprite.height, percent);
    const qint64 width = ExportScale::side(sprite.width, percent);
    const qint64 height = ExportScale::side(sprite.height, percent);
    ApngWriter writer(width, height, sprite.frames.size());
    QList<quint32> previous;
    for (qint64 frame = 0; frame < sprite.frames.size(); ++frame) {
        QList<quint32> current = scaledFrame(sprite, frame, percent, width, height);
        PixelRect rect = previous.isEmpty() ? PixelRect::canvas(width, height)
                                            : changedRect(previous, current, width);
        // An unchanged frame still needs an image of its own: one pixel, as it already is.
        if (rect.isEmpty())
            rect = {0, 0, 1, 1};
        writer.add(rect, extract(current, width, rect), delay(sprite.frames[frame].duration));
        previous = std::move(current);
        reportProgress(progress, frame + 1, sprite.frames.size());
    }
    return writer.finish();
}

ApngWriter::Delay delay(qint64 milliseconds) {
    const qint64 ms = std::max<qint64>(0, milliseconds);
    const qint64 divisor = std::gcd(ms, qint64(1000));
    if (ms / divisor <= 0xFFFF)
        return {quint16(ms / divisor), quint16(1000 / divisor)};
    return {quint16(std::min<qint64>(0xFFFF, qint64(std::llround(double(ms) / 1000.0)))), 1};
}

PixelRect changedRect(const QList<quint32>& before, const QList<quint32>& after, qint64 width) {
    const qint64 height = after.size() / width;
    qint64 left = width, right = -1, top = -1, bottom = -1;
    for (qint64 y = 0; y < height; ++y) {
        const quint32* a = before.constData() + y * width;
        const quint32* b = after.constData() + y * width;
        if (std::memcmp(a, b, size_t(width) * sizeof(quint32)) == 0)
            continue;
        if (top < 0)
            top = y;
        bottom = y;
        qint64 first = 0;
        while (a[first] == b[first])
            ++first;
        qint64 last = width - 1;
        while (a[last] == b[last])
            --last;
        left = std::min(left, first);
        right = std::max(right, last);
    }
    if (top < 0)
        return {};
    return {left, top, right - left + 1, bottom - top + 1};
}

} // namespace ApngService
