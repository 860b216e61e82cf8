#include "PaletteOperations.h"

#include <algorithm>

namespace PaletteOperations {

void addColor(Palette& palette, PixelColor color) {
    if (!palette.colors.contains(color))
        palette.colors.append(color);
}

void removeColor(Palette& palette, qint64 index) {
    if (index >= 0 && index < palette.colors.size())
        palette.colors.removeAt(index);
}

void moveColor(Palette& palette, qint64 from, qint64 to) {
    if (from < 0 || from >= palette.colors.size())
        return;
    const PixelColor color = palette.colors.takeAt(from);
    const qint64 last = palette.colors.size(); // the count after the removal
    palette.colors.insert(std::clamp<qint64>(to, 0, last), color);
}

} // namespace PaletteOperations
