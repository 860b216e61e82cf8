#pragma once

#include "PackageTree.h"
#include "ProjectPackageManifest.h"
#include "Sprite.h"
#include "StepProgress.h"

#include <QString>

// Kestrin's project file: a directory named "<name>.pixel" holding "project.json", a "layers"
// directory with one PNG per painted cel ("layer_L_frame_F.png") and "preview.png", the
// composited first frame. Empty cels cost nothing; packages without frames open as one frame.
namespace ProjectPackage {

inline const QString fileExtension = QStringLiteral("pixel");
inline const QString manifestFileName = QStringLiteral("project.json");
inline const QString layersDirectoryName = QStringLiteral("layers");
inline const QString previewFileName = QStringLiteral("preview.png");

// "layer_2_frame_11.png": the stored cel of layer index 2 in frame 11.
QString celFileName(qint64 layerIndex, qint64 frame);

// The package of a sprite, built in memory; cels are encoded on all cores. Throws
// PackageError (fileWriteUnknown) when a cel cannot be encoded, or when the sprite is beyond
// what a package may hold (SpriteLimits), so nothing is saved that would not open again.
PackageTree fileWrapper(const Sprite& sprite);

// The sprite in a package tree, normalised. Throws PackageError (fileReadCorruptFile) for a
// missing manifest, a missing or broken cel file and a sprite without layers, and
// DecodingError, naming the offending value, for a manifest that cannot be decoded.
Sprite sprite(const PackageTree& root);

// Opens the package directory. Reads only the manifest and the cel files it references,
// never follows links inside the package, and reports every failure as PackageError (a
// manifest decoding error as fileReadCorruptFile carrying the decoder's message).
Sprite readPackage(const QString& directory);

// Saves the sprite as the package directory: the whole new package is written and flushed
// beside the old one and then swapped into place, so a failure or a crash leaves either
// the complete old package or the complete new one. progress counts the cels encoded, then
// the files written, on the threads doing that work. Throws PackageError.
void writePackage(const Sprite& sprite, const QString& directory,
                  const StepProgress& progress = {});

} // namespace ProjectPackage
