#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <optional>

// The palette files Kestrin reads and writes. None of them stores alpha.
enum class PaletteFileFormat {
    gpl, // GIMP palette: "GIMP Palette", optional Name, then "R G B name" lines
    hex, // one RRGGBB a line
    pal, // JASC palette: "JASC-PAL", "0100", the count, then "R G B" lines
};

namespace PaletteFileFormats {

inline const QList<PaletteFileFormat> all = {PaletteFileFormat::gpl, PaletteFileFormat::hex,
                                             PaletteFileFormat::pal};

// "gpl", "hex", "pal": the file extension and the name on the command line.
QString extension(PaletteFileFormat format);
// "GIMP palette (*.gpl)" and the like, for file panels.
QString filter(PaletteFileFormat format);
// The format a file name's extension names (case-insensitive), else nothing.
std::optional<PaletteFileFormat> fromPath(const QString& path);
std::optional<PaletteFileFormat> fromName(const QString& name);

} // namespace PaletteFileFormats
