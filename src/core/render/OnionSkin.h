#pragma once

#include <QHashFunctions>
#include <QList>
#include <QtGlobal>

// How many neighbouring frames show as tinted ghosts, and how strongly.
struct OnionSkin {
    static constexpr qint64 maximumFrames = 4;

    qint64 framesBefore = 0;
    qint64 framesAfter = 0;
    double opacity = 0; // 0…1

    // Frame offsets in drawing order: farthest first, the frame before under the frame after.
    QList<qint64> offsets() const;
    // Bounded to 0…4 frames each way and opacity 0…1, so that a hand-edited settings store can
    // neither stall nor crash the canvas.
    static OnionSkin bounded(qint64 framesBefore, qint64 framesAfter, double opacity);

    friend bool operator==(const OnionSkin& a, const OnionSkin& b) = default;
};

inline size_t qHash(const OnionSkin& skin, size_t seed = 0) {
    return qHashMulti(seed, skin.framesBefore, skin.framesAfter, skin.opacity);
}
