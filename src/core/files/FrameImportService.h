#pragma once

#include "FrameImportRequest.h"
#include "ImportedFrames.h"
#include "SheetCut.h"
#include "Sprite.h"

#include <QSize>
#include <QString>
#include <QStringList>

// Makes a one-layer sprite with one frame per image: of an animated GIF or PNG, of the cells
// of a sprite sheet, or of a numbered sequence of PNG files. Sizes and frame counts are
// checked from the files' headers before any image is decoded. Everything throws ImportError.
namespace FrameImportService {

// An image's size from its header alone (a PNG's first chunk, without any image data);
// invalid when it cannot be read.
QSize imageSize(const QString& path);

// Every image of an animated GIF or PNG, with its duration (a still PNG gives one frame).
Sprite animation(const QString& path);
// The sheet's cells, 100 ms each.
Sprite sheet(const QString& path, const SheetCut& cut);
// The PNG files that share the name of path but for its number, in numeric order:
// walk_2.png comes before walk_10.png. Throws when the name holds no number or two files
// carry the same number.
QStringList sequenceFiles(const QString& path);
// Those files as frames, 100 ms each; every file must have the first one's size.
Sprite sequence(const QString& path);

// Whichever of the three the request asks for.
Sprite import(const FrameImportRequest& request);

// The sprite of frames: one layer named layerName ("Layer 1" when empty), the palette of
// the first 64 colours met.
Sprite sprite(const ImportedFrames& frames, const QString& layerName);

} // namespace FrameImportService
