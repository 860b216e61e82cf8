#include "TimelineThumbnailCache.h"

#include "PixelRenderer.h"

QImage TimelineThumbnailCache::thumbnail(const Sprite& sprite, const Key& key, qint64 revision,
                                         qint64 maxSide) {
    const auto found = entries.constFind(key);
    if (found != entries.constEnd() && found->revision == revision)
        return found->image;
    const Cel* cel = sprite.celPointer(sprite.layerIndex(key.layer), key.frame);
    const QImage image = cel ? PixelRenderer::thumbnail(*cel, maxSide) : QImage();
    entries.insert(key, {revision, image});
    return image;
}
