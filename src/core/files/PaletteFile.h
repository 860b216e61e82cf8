#pragma once

#include "Palette.h"
#include "PaletteFileFormat.h"

#include <QByteArray>
#include <QString>
#include <optional>

// Palettes to and from GIMP .gpl, plain .hex and JASC .pal files. Reading is strict: a file
// with a wrong header, a number out of range, too many colours or bytes that are not text is
// refused with a message that names the line, and nothing is returned.
namespace PaletteFile {

inline constexpr qint64 maximumColors = 1024;
inline constexpr qint64 maximumFileBytes = 1 << 20;

// The format comes from the extension; a file with another extension is recognised by its
// header. fallbackName names palettes whose file holds no name (.hex, .pal, a .gpl without a
// "Name:" line). Throws PaletteFileError.
Palette decode(const QByteArray& bytes, std::optional<PaletteFileFormat> format,
               const QString& fallbackName);
// The file at path in format (by default the one its extension names), named after the file
// when it holds no name. Throws PaletteFileError.
Palette read(const QString& path);
Palette read(const QString& path, std::optional<PaletteFileFormat> format);

// Colours are written opaque: the formats have no alpha.
QByteArray encode(const Palette& palette, PaletteFileFormat format);
// Writes the file in one step (nothing half-written on failure). Throws PaletteFileError.
void write(const Palette& palette, PaletteFileFormat format, const QString& path);

// What writing the palette loses: a sentence naming how many colours had transparency, or
// nothing when every colour is opaque.
std::optional<QString> alphaNote(const Palette& palette);

} // namespace PaletteFile
