#pragma once

#include <QList>
#include <QtGlobal>
#include <cmath>

// The scale rules every export shares: whole percentages, nearest neighbour, and nothing
// larger than 16384 px on a side.
namespace ExportScale {

inline const QList<qint64> candidatePercents = {25,  50,  100, 200, 300, 400,
                                                500, 600, 700, 800, 900, 1000};
inline const QList<qint64> iconSides = {16, 24, 32, 48, 64, 128, 256};
constexpr qint64 largestSide = 16384;

// round(length × percent / 100), halves away from zero; may be 0.
inline qint64 length(qint64 length, qint64 percent) {
    return qint64(std::round(double(length) * double(percent) / 100.0));
}

// The side an image gets when scaled: never below one pixel.
inline qint64 side(qint64 length, qint64 percent) {
    return std::max<qint64>(1, ExportScale::length(length, percent));
}

// True when a width × height image scaled by percent stays within the largest side. This
// bounds every buffer an export allocates, so every export checks it before rendering.
inline bool fits(qint64 width, qint64 height, qint64 percent) {
    return percent > 0 && width > 0 && height > 0 && side(width, percent) <= largestSide &&
           side(height, percent) <= largestSide;
}

} // namespace ExportScale
