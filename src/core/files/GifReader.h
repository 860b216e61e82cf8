#pragma once

#include "ImportedFrames.h"

#include <QByteArray>

// Reads every image of a GIF as a viewer shows it: each drawn over what the ones before left,
// transparent index skipped, disposal applied, the background left transparent. The screen
// size is checked from the header and the image count as the images are met, each before it
// is decoded. Throws ImportError.
namespace GifReader {

bool isGif(const QByteArray& bytes);
ImportedFrames read(const QByteArray& bytes);

} // namespace GifReader
