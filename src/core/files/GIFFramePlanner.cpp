#include "GIFFramePlanner.h"

#include "MemoryError.h"

#include <cstring>

namespace {

// The bounding box of the pixels where differs(shown, next) holds.
template <typename Differs>
PixelRect boundsWhere(const quint32* shown, const quint32* next, qint64 width, qint64 height,
                      Differs differs) {
    qint64 left = width, right = -1, top = -1, bottom = -1;
    for (qint64 y = 0; y < height; ++y) {
        const quint32* a = shown + y * width;
        const quint32* b = next + y * width;
        if (std::memcmp(a, b, size_t(width) * sizeof(quint32)) == 0)
            continue;
        bool rowDiffers = false;
        for (qint64 x = 0; x < width; ++x) {
            if (!differs(a[x], b[x]))
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            rowDiffers = true;
        }
        if (rowDiffers) {
            top = top < 0 ? y : top;
            bottom = y;
        }
    }
    if (top < 0)
        return {};
    return {left, top, right - left + 1, bottom - top + 1};
}

// The image grown to cover rect; the new pixels draw nothing.
void grow(GIFFramePlanner::Image& image, const PixelRect& rect) {
    const PixelRect grown = image.rect.unionWith(rect);
    if (grown == image.rect)
        return;
    QList<quint32> pixels = MemoryError::allocatedWords(grown.area());
    for (qint64 row = 0; row < image.rect.height; ++row)
        std::copy_n(image.pixels.constData() + row * image.rect.width, image.rect.width,
                    pixels.data() + (image.rect.y - grown.y + row) * grown.width +
                        (image.rect.x - grown.x));
    image.rect = grown;
    image.pixels = std::move(pixels);
}

} // namespace

GIFFramePlanner::GIFFramePlanner(qint64 width, qint64 height)
    : width(width), height(height), shown(width * height, 0u) {}

std::optional<GIFFramePlanner::Image> GIFFramePlanner::add(const QList<quint32>& frame,
                                                           qint64 delay) {
    const quint32* next = frame.constData();
    if (!pending) {
        firstFrame = frame;
        shown = frame;
        pending = Image{PixelRect::canvas(width, height), frame, Disposal::keep, delay};
        return std::nullopt;
    }
    clearForTransparency(conflicts(next));
    Image ready = std::move(*pending);
    pending = drawnChanges(next, delay);
    return ready;
}

GIFFramePlanner::Image GIFFramePlanner::finish() {
    clearForTransparency(conflicts(firstFrame.constData()));
    Image last = std::move(*pending);
    pending.reset();
    return last;
}

// Pixels that are shown but must become transparent can only be cleared by disposing of the
// pending image to the background, so that image grows to cover them.
void GIFFramePlanner::clearForTransparency(const PixelRect& needed) {
    if (needed.isEmpty())
        return;
    grow(*pending, needed);
    pending->disposal = Disposal::clear;
    const PixelRect& cleared = pending->rect;
    for (qint64 y = cleared.y; y < cleared.bottom(); ++y)
        std::fill_n(shown.data() + y * width + cleared.x, cleared.width, 0u);
}

PixelRect GIFFramePlanner::conflicts(const quint32* next) const {
    return boundsWhere(shown.constData(), next, width, height,
                       [](quint32 now, quint32 then) { return now != 0 && then == 0; });
}

PixelRect GIFFramePlanner::changes(const quint32* next) const {
    return boundsWhere(shown.constData(), next, width, height,
                       [](quint32 now, quint32 then) { return now != then; });
}

GIFFramePlanner::Image GIFFramePlanner::drawnChanges(const quint32* next, qint64 delay) {
    PixelRect rect = changes(next);
    if (rect.isEmpty())
        rect = {0, 0, 1, 1}; // an unchanged frame still gets its own image and delay
    Image image{rect, MemoryError::allocatedWords(rect.area()), Disposal::keep, delay};
    quint32* out = image.pixels.data();
    quint32* screen = shown.data();
    for (qint64 y = rect.y; y < rect.bottom(); ++y) {
        for (qint64 x = rect.x; x < rect.right(); ++x) {
            const qint64 index = y * width + x;
            if (next[index] == screen[index])
                continue;
            out[(y - rect.y) * rect.width + (x - rect.x)] = next[index];
            screen[index] = next[index];
        }
    }
    return image;
}
