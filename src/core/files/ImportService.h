#pragma once

#include "PixelRenderer.h"
#include "Palette.h"
#include "Sprite.h"

#include <QList>
#include <QString>

// Turns an image into a new one-layer, one-frame sprite.
namespace ImportService {

// Colours kept in the palette of an imported or pasted sprite.
inline constexpr qint64 importedPaletteLimit = 64;

// Any image Qt can read (the first one of a multi-image file). The size is read from the
// header and refused before decoding when a side is above the canvas limit. Throws ImportError.
Sprite spriteFromImageAt(const QString& path);

// The sprite of pixels converted by PixelRenderer::buffer, named layerName ("Layer 1" when
// empty); the same rules for files and for images pasted from the clipboard. Throws ImportError.
Sprite spriteFromPixels(const PixelRenderer::Buffer& image, const QString& layerName);

// The first `limit` distinct colours met in reading order, transparent pixels skipped; the
// whole word counts, so one colour at two alphas gives two entries. The default palette when
// nothing is painted, else a palette named "Imported".
Palette palette(const QList<quint32>& pixels, qint64 limit);

// The file's name without its extension: "sheet.old.png" gives "sheet.old".
QString layerName(const QString& path);

} // namespace ImportService
