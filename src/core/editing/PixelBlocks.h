#pragma once

#include "Cel.h"
#include "PixelColor.h"
#include "PixelRect.h"
#include "PixelSpans.h"

#include <QList>

class EditorState;

// Block writes for the stroke pipeline: the same result as writing pixel by pixel, with the
// cel's words taken once and the changed extent marked dirty once.
namespace PixelBlocks {

// Copies source rows (sourceStride words apart; 0 repeats one row) onto the cel at rect,
// clipped to the cel; transparent words are skipped when skipTransparent. Returns the extent
// of the words that changed; rows where nothing changes are not made the cel's own.
PixelRect blit(Cel& target, const PixelRect& rect, const quint32* source, qint64 sourceStride,
               bool skipTransparent);

// Raw writes into a layer at the active frame, clipped to the canvas only (like writePixel).
void fill(EditorState& editor, qint64 layerIndex, const PixelRect& rect, PixelColor color);
void write(EditorState& editor, qint64 layerIndex, const PixelRect& rect,
           const QList<quint32>& words, bool skipTransparent);

// Stamps the editor's brush at every pixel of the set with its mirror images, clipped to the
// canvas and the selection: the covered spans are worked out first, then each is filled once.
void stampSpans(EditorState& editor, const PixelSpans& pixels, PixelColor color);

} // namespace PixelBlocks
