#pragma once

#include "PixelColor.h"

#include <QJsonObject>
#include <QList>
#include <QString>

// A named, ordered list of swatches kept with the sprite; it never recolours pixels.
struct Palette {
    QString name;
    QList<PixelColor> colors;

    QJsonObject toJson() const;
    static Palette fromJson(const QJsonValue& value); // throws DecodingError

    // The five built-in presets, "Default" first.
    static const QList<Palette>& presets();
    static const Palette& defaultPalette();
    static const Palette& gameBoy();
    static const Palette& pico8();
    static const Palette& grayscale();
    static const Palette& nes();

    friend bool operator==(const Palette& a, const Palette& b) = default;
};

inline size_t qHash(const Palette& palette, size_t seed = 0) {
    return qHashMulti(seed, palette.name, palette.colors);
}
