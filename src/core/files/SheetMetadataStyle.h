#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <optional>

// The JSON written beside a sprite sheet: Kestrin's own, or the texture-atlas layouts game
// engines read, with the frames as an object keyed by name (hash) or as an array.
enum class SheetMetadataStyle { kestrin, hash, array };

namespace SheetMetadataStyles {

inline const QList<SheetMetadataStyle> all = {SheetMetadataStyle::kestrin, SheetMetadataStyle::hash,
                                              SheetMetadataStyle::array};

inline QString title(SheetMetadataStyle style) {
    switch (style) {
    case SheetMetadataStyle::hash:
        return QCoreApplication::translate("SheetMetadataStyle", "Hash");
    case SheetMetadataStyle::array:
        return QCoreApplication::translate("SheetMetadataStyle", "Array");
    case SheetMetadataStyle::kestrin:
        break;
    }
    return QCoreApplication::translate("SheetMetadataStyle", "Kestrin");
}

// "kestrin", "hash", "array": the names on the command line.
inline std::optional<SheetMetadataStyle> fromName(const QString& name) {
    for (SheetMetadataStyle style : all) {
        if (name.compare(title(style), Qt::CaseInsensitive) == 0)
            return style;
    }
    return std::nullopt;
}

} // namespace SheetMetadataStyles
