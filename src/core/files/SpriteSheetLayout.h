#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>

// How a sprite sheet arranges its frames.
enum class SpriteSheetLayout {
    horizontal, // one row
    vertical,   // one column
    grid,       // rows of a chosen number of columns
};

namespace SpriteSheetLayouts {

inline const QList<SpriteSheetLayout> all = {SpriteSheetLayout::horizontal,
                                             SpriteSheetLayout::vertical, SpriteSheetLayout::grid};

inline QString title(SpriteSheetLayout layout) {
    switch (layout) {
    case SpriteSheetLayout::vertical:
        return QCoreApplication::translate("SpriteSheetLayout", "Column");
    case SpriteSheetLayout::grid:
        return QCoreApplication::translate("SpriteSheetLayout", "Grid");
    case SpriteSheetLayout::horizontal:
        break;
    }
    return QCoreApplication::translate("SpriteSheetLayout", "Row");
}

} // namespace SpriteSheetLayouts
