#include "CanvasComposite.h"

#include "PixelRenderer.h"

CanvasComposite::Source CanvasComposite::sourceOf(const Sprite& sprite, qint64 frame,
                                                  const std::optional<OnionSkin>& onionSkin) {
    return {sprite.width, sprite.height, frame, onionSkin};
}

void CanvasComposite::invalidate(const PixelRect& rect) {
    pending = pending.unionWith(rect);
}

bool CanvasComposite::needsRebuild(const Source& source) const {
    return fullRebuildRequested || !pending.isEmpty() || !cached || *cached != source;
}

void CanvasComposite::rebuild(const Sprite& sprite, const Source& source) {
    const qint64 count = source.width * source.height;
    const bool incremental = !fullRebuildRequested && cached && *cached == source &&
                             buffer.size() == count && !pending.isEmpty();
    const PixelRect region = incremental ? pending : sprite.bounds();
    if (!incremental && buffer.size() != count)
        buffer = QList<quint32>(count, 0u);
    PixelRenderer::composite(sprite, buffer, region, source.frame, source.onionSkin, ghostScratch);
    ++(incremental ? counts.partialRebuilds : counts.fullRebuilds);
    counts.lastRegion = region.intersection(sprite.bounds());
    cached = source;
    pending = {};
    fullRebuildRequested = false;
    rewrap(source);
}

void CanvasComposite::rewrap(const Source& source) {
    // Drawing straight from the composite's storage spares a copy of the whole canvas for
    // every stroke event; the storage is only ever written in place or replaced here.
    const auto* words = reinterpret_cast<const uchar*>(buffer.constData());
    if (source.width <= 0 || source.height <= 0 || buffer.size() != source.width * source.height) {
        picture = QImage();
        return;
    }
    if (picture.constBits() == words && picture.width() == source.width &&
        picture.height() == source.height)
        return;
    picture = QImage(words, int(source.width), int(source.height), int(source.width * 4),
                     QImage::Format_ARGB32_Premultiplied);
}
