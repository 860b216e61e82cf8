#pragma once

#include "Palette.h"
#include "Sprite.h"

#include <QImage>
#include <QList>
#include <QRandomGenerator>
#include <QtGlobal>

namespace kestrin::test {

// Seeded random pixel words, alpha included, for round trips at awkward sizes.
inline QList<quint32> randomPixels(qint64 count, quint32 seed) {
    QRandomGenerator generator(seed);
    QList<quint32> words(count);
    for (quint32& word : words)
        word = generator.generate();
    return words;
}

// The widths where row-stride and vectorised code tends to break.
inline const QList<qint64> awkwardWidths = {1, 2, 7, 8, 9, 15, 16, 17, 33};

// The image's straight 0xAARRGGBB words, exactly.
inline QList<quint32> words(const QImage& image) {
    const QImage straight = image.convertToFormat(QImage::Format_ARGB32);
    QList<quint32> result;
    for (int y = 0; y < straight.height(); ++y) {
        const auto* row = reinterpret_cast<const quint32*>(straight.constScanLine(y));
        result.append(QList<quint32>(row, row + straight.width()));
    }
    return result;
}

// Five colours whose blue channel is their original position, so any order can be read back.
inline Palette numberedPalette() {
    Palette palette{"Numbered", {}};
    for (int i = 0; i < 5; ++i)
        palette.colors.append(PixelColor::fromChannels(10, 20, i));
    return palette;
}

// The original positions of a numbered palette's colours, in their current order.
inline QList<int> paletteOrder(const Sprite& sprite) {
    QList<int> positions;
    for (PixelColor color : sprite.palette.colors)
        positions.append(color.blue());
    return positions;
}

} // namespace kestrin::test
