#include "PixelBlocks.h"

#include "EditorState.h"
#include "StampCoverage.h"

#include <algorithm>

namespace {

// The layer's cel at the active frame, made sure to exist; null when that cannot be.
Cel* writableCel(EditorState& editor, qint64 layerIndex) {
    Sprite& sprite = editor.document()->sprite();
    const qint64 frame = sprite.activeFrameIndex;
    if (!sprite.ensureCel(layerIndex, frame))
        return nullptr;
    Cel& cel = *sprite.layers[layerIndex].cels[frame];
    return cel.width < sprite.width || cel.height < sprite.height ? nullptr : &cel;
}

void writeBlock(EditorState& editor, qint64 layerIndex, const PixelRect& rect,
                const quint32* source, qint64 sourceStride, bool skipTransparent) {
    const Sprite& sprite = editor.document()->sprite();
    if (rect.intersection(sprite.bounds()).isEmpty())
        return;
    Cel* target = writableCel(editor, layerIndex);
    if (!target)
        return;
    const PixelRect changed =
        PixelBlocks::blit(*target, rect, source, sourceStride, skipTransparent);
    if (!changed.isEmpty())
        editor.markDirty(changed);
}

} // namespace

namespace PixelBlocks {

PixelRect blit(Cel& target, const PixelRect& rect, const quint32* source, qint64 sourceStride,
               bool skipTransparent) {
    const PixelRect clipped = rect.intersection(target.bounds());
    PixelRect changed;
    const auto lands = [&](quint32 word, quint32 old) {
        return !(skipTransparent && word < 0x01000000u) && old != word;
    };
    for (qint64 y = clipped.y; y < clipped.bottom(); ++y) {
        // Indexed by target column.
        const quint32* from = source + (y - rect.y) * sourceStride - rect.x;
        // Read first: a row nothing lands on keeps sharing its band.
        const quint32* current = target.row(y);
        qint64 first = clipped.x;
        while (first < clipped.right() && !lands(from[first], current[first]))
            ++first;
        qint64 last = clipped.right() - 1;
        while (last >= first && !lands(from[last], current[last]))
            --last;
        if (last < first)
            continue;
        quint32* to = target.mutableRow(y);
        for (qint64 x = first; x <= last; ++x) {
            if (lands(from[x], to[x]))
                to[x] = from[x];
        }
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
    Cel* target = writableCel(editor, *layer);
    if (!target)
        return;
    PixelRect changed;
    for (const PixelSpans::Span& span : covered.spans()) {
        const quint32* row = target->row(span.y);
        // Only the changed stretch counts, so a repainted shape leaves no undo step.
        qint64 first = span.x;
        while (first < span.end && row[first] == color.raw)
            ++first;
        qint64 last = span.end - 1;
        while (last >= first && row[last] == color.raw)
            --last;
        if (last < first)
            continue;
        quint32* written = target->mutableRow(span.y);
        std::fill(written + first, written + last + 1, color.raw);
        changed = changed.unionWith({first, span.y, last - first + 1, 1});
    }
    if (!changed.isEmpty())
        editor.markDirty(changed);
}

} // namespace PixelBlocks
