#pragma once

#include "Sprite.h"

#include <QRandomGenerator>

namespace samples {

// Runs of transparent, opaque and translucent words, so vector code meets whole groups of each.
inline QList<quint32> pixelRuns(qint64 count, QRandomGenerator& random) {
    QList<quint32> words(count);
    for (qint64 i = 0; i < count;) {
        const qint64 run = std::min<qint64>(count - i, random.bounded(1, 24));
        const int kind = random.bounded(3);
        for (qint64 end = i + run; i < end; ++i) {
            const quint32 word = random.generate();
            words[i] = kind == 0   ? (random.bounded(4) ? 0 : word & 0x00FFFFFF)
                       : kind == 1 ? word | 0xFF000000u
                                   : word;
        }
    }
    return words;
}

// Hidden, translucent, nearly invisible and opaque layers, missing cels and a wrong-sized one.
inline Sprite mixedSprite(qint64 width, qint64 height, qint64 frameCount, quint32 seed) {
    QRandomGenerator random(seed);
    Sprite sprite = Sprite::blank(width, height);
    for (qint64 f = 1; f < frameCount; ++f)
        sprite.insertFrame(f);
    const double opacities[] = {1.0, 0.5, 0.001, 0.3, 1.0, 0.75, 0.0};
    sprite.layers.clear();
    for (double opacity : opacities) {
        Layer layer(QStringLiteral("Layer"), frameCount);
        layer.opacity = opacity;
        for (qint64 f = 0; f < frameCount; ++f) {
            if (random.bounded(5) != 0)
                layer.cels[f] = Cel(width, height, pixelRuns(width * height, random));
        }
        sprite.layers.append(layer);
    }
    sprite.layers[3].isVisible = false;
    sprite.layers[4].cels[0] = Cel(width + 1, height, pixelRuns((width + 1) * height, random));
    return sprite;
}

} // namespace samples
