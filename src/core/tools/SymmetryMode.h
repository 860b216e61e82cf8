#pragma once

#include "PixelRect.h"

#include <QList>
#include <QString>
#include <QVarLengthArray>
#include <optional>

// How painting is mirrored across the canvas.
enum class SymmetryMode { off, leftRight, topBottom, both, diagonal, antiDiagonal };

namespace SymmetryModes {

extern const QList<SymmetryMode> all;

QString rawValue(SymmetryMode mode);
std::optional<SymmetryMode> fromRawValue(const QString& raw);

QString title(SymmetryMode mode);
// The name of the mode's symbol in the icon set.
QString systemImage(SymmetryMode mode);
bool mirrorsHorizontally(SymmetryMode mode);
bool mirrorsVertically(SymmetryMode mode);
bool isDiagonal(SymmetryMode mode);

// At most three images; kept off the heap because it runs for every painted pixel.
using Reflections = QVarLengthArray<PixelPoint, 3>;

// The mirror images of a point inside a rectangle (the canvas), without the point itself,
// duplicates and images that fall outside.
Reflections reflections(SymmetryMode mode, PixelPoint point, const PixelRect& rect);

} // namespace SymmetryModes
