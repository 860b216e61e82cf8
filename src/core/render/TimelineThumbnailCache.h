#pragma once

#include "Sprite.h"

#include <QHash>
#include <QImage>
#include <QUuid>

// The timeline's cel thumbnails by layer and frame. Each entry remembers the document revision
// it was made at; entries are replaced when the revision moves on, never aged out.
class TimelineThumbnailCache {
public:
    struct Key {
        QUuid layer;
        qint64 frame = 0;

        friend bool operator==(const Key& a, const Key& b) = default;
    };

    // The thumbnail of the layer's cel in the frame as of revision: the cached one when it was
    // made at that revision, else a new one. Null when the layer has no cel there.
    QImage thumbnail(const Sprite& sprite, const Key& key, qint64 revision, qint64 maxSide);

private:
    struct Entry {
        qint64 revision = 0;
        QImage image;
    };

    QHash<Key, Entry> entries;
};

inline size_t qHash(const TimelineThumbnailCache::Key& key, size_t seed = 0) {
    return qHashMulti(seed, key.layer, key.frame);
}
