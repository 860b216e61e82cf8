#pragma once

#include "OnionSkin.h"
#include "Sprite.h"

#include <QImage>
#include <QList>
#include <optional>

// The canvas's picture of the displayed frame: a premultiplied composite that is redone only
// where pixels changed, and in full only when what it shows changed (frame, sprite size,
// onion skin, or the sprite's structure).
class CanvasComposite {
public:
    // What a composite shows besides the pixels themselves.
    struct Source {
        qint64 width = 0;
        qint64 height = 0;
        qint64 frame = 0;
        std::optional<OnionSkin> onionSkin;
        friend bool operator==(const Source&, const Source&) = default;
    };

    // How often and where it was rebuilt, so that callers can check the work done.
    struct Statistics {
        qint64 fullRebuilds = 0;
        qint64 partialRebuilds = 0;
        PixelRect lastRegion;
    };

    static Source sourceOf(const Sprite& sprite, qint64 frame,
                           const std::optional<OnionSkin>& onionSkin);

    // A changed region of the canvas, recomposited at the next rebuild.
    void invalidate(const PixelRect& rect);
    // The sprite's layers or frames changed: the next rebuild redoes everything.
    void invalidateAll() { fullRebuildRequested = true; }
    PixelRect pendingDirty() const { return pending; }

    bool needsRebuild(const Source& source) const;
    // Recomposites the pending region, or everything when the source changed.
    void rebuild(const Sprite& sprite, const Source& source);

    // Shares the composite's storage. Null without area. Copies held past the next rebuild
    // cost that rebuild a copy of the whole buffer.
    const QImage& image() const { return picture; }
    const Statistics& statistics() const { return counts; }

private:
    QList<quint32> buffer;
    QImage picture;
    PixelRect pending;
    std::optional<Source> cached;
    bool fullRebuildRequested = false;
    QList<quint32> ghostScratch;
    Statistics counts;
};
