#pragma once

#include "ImportedFrames.h"

#include <QByteArray>

// Reads every frame of an animated PNG as a viewer shows it, disposal and blending applied.
// A PNG without animation gives its one image. Sizes and the frame count are checked from the
// header chunks before any image data is decoded. Throws ImportError.
namespace ApngReader {

bool isPng(const QByteArray& bytes);
ImportedFrames read(const QByteArray& bytes);

} // namespace ApngReader
