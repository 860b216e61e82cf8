#include "PaletteFileFormat.h"

#include <QFileInfo>

namespace PaletteFileFormats {

QString extension(PaletteFileFormat format) {
    switch (format) {
    case PaletteFileFormat::hex:
        return QStringLiteral("hex");
    case PaletteFileFormat::pal:
        return QStringLiteral("pal");
    case PaletteFileFormat::gpl:
        break;
    }
    return QStringLiteral("gpl");
}

QString filter(PaletteFileFormat format) {
    switch (format) {
    case PaletteFileFormat::hex:
        return QCoreApplication::translate("PaletteFileFormat", "Hex colour list (*.hex)");
    case PaletteFileFormat::pal:
        return QCoreApplication::translate("PaletteFileFormat", "JASC palette (*.pal)");
    case PaletteFileFormat::gpl:
        break;
    }
    return QCoreApplication::translate("PaletteFileFormat", "GIMP palette (*.gpl)");
}

std::optional<PaletteFileFormat> fromPath(const QString& path) {
    return fromName(QFileInfo(path).suffix());
}

std::optional<PaletteFileFormat> fromName(const QString& name) {
    for (PaletteFileFormat format : all) {
        if (name.compare(extension(format), Qt::CaseInsensitive) == 0)
            return format;
    }
    return std::nullopt;
}

} // namespace PaletteFileFormats
