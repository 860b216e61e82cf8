#include "PixelBlocks.h"

#include "EditorState.h"
#include "StampCoverage.h"

#include <algorithm>

namespace {

// The layer's words at the active frame, made sure to exist; null when that cannot be.
quint32* writableWords(EditorState& editor, qint64 layerIndex) {
    Sprite& sprite = editor.document()->sprite();
    const qint64 frame = sprite.activeFrameIndex;
    if (!sprite.ensureCel(layerIndex, frame))
        return nullptr;
    QList<quint32>& words = sprite.layers[layerIndex].cels[frame]->pixels;
    return words.size() < sprite.width * sprite.height ? nullptr : words.data();
}

void writeBlock(EditorState& editor, qint64 layerIndex, const PixelRect& rect,
                const quint32* source, qint64 sourceStride, bool skipTransparent) {
    const Sprite& sprite = editor.document()->sprite();
    if (rect.intersection(sprite.bounds()).isEmpty())
        return;
    quint32* target = writableWords(editor, layerIndex);
    if (!target)
        return;
    const PixelRect changed = PixelBlocks::blit(target, sprite.width, sprite.height, rect, source,
                                                sourceStride, skipTransparent);
    if (!changed.isEmpty())
        editor.markDirty(changed);
}

} // namespace

namespace PixelBlocks {

PixelRect blit(quint32* target, qint64 width, qint64 height, const PixelRect& rect,
               const quint32* source, qint64 sourceStride, bool skipTransparent) {
    const PixelRect clipped = rect.intersection(PixelRect::canvas(width, height));
    PixelRect changed;
    for (qint64 y = clipped.y; y < clipped.bottom(); ++y) {
        const quint32* from = source + (y - rect.y) * sourceStride;
        quint32* to = target + y * width;
        qint64 first = clipped.right();
        qint64 last = clipped.x - 1;
        for (qint64 x = clipped.x; x < clipped.right(); ++x) {
            const quint32 word = from[x - rect.x];
            if ((skipTransparent && word < 0x01000000u) || to[x] == word)
                continue;
            to[x] = word;
            first = std::min(first, x);
            last = x;
        }
        if (last >= first)
            changed = changed.unionWith({first, y, last - first + 1, 1});
    }
    return changed;
}

void fill(EditorState& editor, qint64 layerIndex, const PixelRect& rect, PixelColor color) {
    if (rect.isEmpty())
        return;
    const QList<quint32> row(rect.width, color.raw);
    writeBlock(editor, layerIndex, rect, row.constData(), 0, false);
}

void write(EditorState& editor, qint64 layerIndex, const PixelRect& rect,
           const QList<quint32>& words, bool skipTransparent) {
    if (!rect.isEmpty() && words.size() >= rect.area())
        writeBlock(editor, layerIndex, rect, words.constData(), rect.width, skipTransparent);
}

void stampSpans(EditorState& editor, const PixelSpans& pixels, PixelColor color) {
    const auto layer = editor.document()->sprite().activeLayerIndex();
    if (!layer)
        return;
    const Sprite& sprite = editor.document()->sprite();
    const PixelSpans covered = StampCoverage::painted(pixels, editor.brushSize(), editor.symmetry(),
                                                      sprite.bounds(), editor.selection());
    if (covered.isEmpty())
        return;
    quint32* target = writableWords(editor, *layer);
    if (!target)
        return;
    PixelRect changed;
    for (const PixelSpans::Span& span : covered.spans()) {
        quint32* row = target + span.y * sprite.width;
        // Only the changed stretch counts, so a repainted shape leaves no undo step.
        qint64 first = span.x;
        while (first < span.end && row[first] == color.raw)
            ++first;
        qint64 last = span.end - 1;
        while (last >= first && row[last] == color.raw)
            --last;
        if (last < first)
            continue;
        std::fill(row + first, row + last + 1, color.raw);
        changed = changed.unionWith({first, span.y, last - first + 1, 1});
    }
    if (!changed.isEmpty())
        editor.markDirty(changed);
}

} // namespace PixelBlocks
