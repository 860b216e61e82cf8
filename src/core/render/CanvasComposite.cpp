#include "CanvasComposite.h"

#include "MemoryError.h"
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
    // The image shares the buffer; letting go of it first keeps the buffer from being copied
    // whole when it is written.
    picture = QImage();
    if (!incremental && buffer.size() != count)
        buffer = MemoryError::allocatedWords(count);
    PixelRenderer::composite(sprite, buffer, region, source.frame, source.onionSkin, ghostScratch);
    ++(incremental ? counts.partialRebuilds : counts.fullRebuilds);
    counts.lastRegion = region.intersection(sprite.bounds());
    cached = source;
    pending = {};
    fullRebuildRequested = false;
    picture = PixelRenderer::makeImage(buffer, source.width, source.height);
}
