#pragma once

#include "PixelBlending.h"

namespace PixelBlending::avx2 {

// The blend kernel eight words at a time; draws whole groups of eight from the start of the
// row and returns how many words it drew. Only for CPUs with AVX2 (see PixelBlending).
qint64 blendWords(const quint32* source, quint32* destination, qint64 count, quint32 weight);
// The whole stack sixteen words at a time, the destination kept in registers; returns how many
// words it drew.
qint64 compositeWords(const LayerRow* layers, qint64 layerCount, quint32* destination,
                      qint64 count);

} // namespace PixelBlending::avx2
