#include "StrokePipeline.h"

#include "EditorState.h"
#include "MemoryError.h"

#include <algorithm>

void StrokePipeline::begin() {
    Sprite& sprite = editor.document()->sprite();
    const auto layerIndex = sprite.activeLayerIndex();
    const qint64 frame = sprite.activeFrameIndex;
    if (!layerIndex || frame < 0 || frame >= sprite.frames.size())
        return;
    const bool created = sprite.celPointer(*layerIndex, frame) == nullptr;
    sprite.ensureCel(*layerIndex, frame);
    retiredSnapshot = {};
    // Shares the cel's array: the first write copies it once, later writes go in place.
    snapshot = sprite.celPointer(*layerIndex, frame)->pixels;
    m_layerID = std::as_const(sprite).layers[*layerIndex].id;
    m_frame = frame;
    m_createdCel = created;
    m_dirtyRect = {};
    editor.announceGesture();
}

QList<quint32>* StrokePipeline::celWords() {
    Sprite& sprite = editor.document()->sprite();
    const qint64 layerIndex = m_layerID ? sprite.layerIndex(*m_layerID) : -1;
    if (!snapshot || layerIndex < 0 || m_frame >= sprite.layers[layerIndex].cels.size())
        return nullptr;
    std::optional<Cel>& cel = sprite.layers[layerIndex].cels[m_frame];
    if (!cel)
        return nullptr;
    MemoryError::detach(cel->pixels); // the first write copies the shared array, checked
    return &cel->pixels;
}

bool StrokePipeline::insideSelection(PixelPoint point) const {
    const auto selection = editor.selection();
    return !selection || selection->contains(point);
}

void StrokePipeline::writeInto(qint64 layerIndex, PixelPoint point, PixelColor color) {
    if (!editor.document()->sprite().bounds().contains(point) || !insideSelection(point))
        return;
    writePixel(layerIndex, point.x, point.y, color);
}

void StrokePipeline::plotInto(qint64 layerIndex, PixelPoint point, PixelColor color) {
    writeInto(layerIndex, point, color);
    for (const PixelPoint image :
         SymmetryModes::reflections(editor.symmetry(), point, editor.document()->sprite().bounds()))
        writeInto(layerIndex, image, color);
}

void StrokePipeline::write(qint64 x, qint64 y, PixelColor color) {
    if (const auto layerIndex = editor.document()->sprite().activeLayerIndex())
        writeInto(*layerIndex, {x, y}, color);
}

void StrokePipeline::plot(qint64 x, qint64 y, PixelColor color) {
    if (const auto layerIndex = editor.document()->sprite().activeLayerIndex())
        plotInto(*layerIndex, {x, y}, color);
}

void StrokePipeline::stamp(PixelPoint at, PixelColor color, std::optional<qint64> size) {
    const qint64 side = size.value_or(editor.brushSize());
    const auto layerIndex = editor.document()->sprite().activeLayerIndex();
    if (!layerIndex)
        return;
    if (side < 2) {
        plotInto(*layerIndex, at, color);
        return;
    }
    const qint64 r = (side - 1) / 2;
    const PixelRect dab{at.x - r, at.y - r, side, side};
    // Nothing farther than a canvas side from the canvas has an image on it, so a huge dab
    // costs no more than the canvas.
    const PixelRect canvas = editor.document()->sprite().bounds();
    const qint64 reach = std::max(canvas.width, canvas.height);
    const PixelRect visited =
        dab.intersection({-reach, -reach, canvas.width + 2 * reach, canvas.height + 2 * reach});
    for (qint64 y = visited.y; y < visited.bottom(); ++y) {
        for (qint64 x = visited.x; x < visited.right(); ++x)
            plotInto(*layerIndex, {x, y}, color);
    }
}

void StrokePipeline::writePixel(qint64 layerIndex, qint64 x, qint64 y, PixelColor color) {
    Sprite& sprite = editor.document()->sprite();
    const qint64 frame = sprite.activeFrameIndex;
    if (!sprite.bounds().contains(PixelPoint{x, y}) || !sprite.ensureCel(layerIndex, frame))
        return;
    // Resolved per pixel on purpose: a copy of the sprite taken meanwhile (saving) makes the
    // array shared again, and writing through a pointer kept from before would reach it.
    QList<quint32>& words = sprite.layers[layerIndex].cels[frame]->pixels;
    const qint64 index = y * sprite.width + x;
    if (index >= words.size() || words.constData()[index] == color.raw)
        return;
    words.data()[index] = color.raw;
    markDirty(PixelRect::pixel({x, y}));
}

void StrokePipeline::revert(qint64 x, qint64 y) {
    const Sprite& sprite = editor.document()->sprite();
    const auto layerIndex = sprite.activeLayerIndex();
    if (!snapshot || !layerIndex || !sprite.bounds().contains(PixelPoint{x, y}))
        return;
    const qint64 index = y * sprite.width + x;
    if (index < snapshot->size())
        writePixel(*layerIndex, x, y, PixelColor(snapshot->constData()[index]));
}

void StrokePipeline::markDirty(const PixelRect& rect) {
    m_dirtyRect = m_dirtyRect.unionWith(rect);
    editor.invalidate(rect);
}

std::optional<PixelPatch> StrokePipeline::patch(bool keepUnchanged) const {
    if (!snapshot || !m_layerID || m_dirtyRect.isEmpty())
        return std::nullopt;
    const Sprite& sprite = editor.document()->sprite();
    const Cel* cel = sprite.celPointer(sprite.layerIndex(*m_layerID), m_frame);
    // A snapshot of another size no longer describes this cel: no coherent step exists.
    if (!cel || cel->pixels.size() != snapshot->size())
        return std::nullopt;
    const PixelRect rect = m_dirtyRect.intersection(sprite.bounds()).intersection(cel->bounds());
    if (rect.isEmpty())
        return std::nullopt;
    QList<quint32> before = Cel(cel->width, cel->height, *snapshot).extract(rect);
    QList<quint32> after = cel->extract(rect);
    if (before == after && !keepUnchanged)
        return std::nullopt; // painted back to the old colours
    return PixelPatch{*m_layerID, m_frame, rect, std::move(before), std::move(after), m_createdCel};
}

void StrokePipeline::end(const QString& actionName, bool keepUnchanged) {
    const auto step = patch(keepUnchanged);
    close();
    if (!step)
        return;
    // The pixels are already in the cel: register the step and announce the rectangle.
    PixelDocument* doc = editor.document();
    doc->registerAppliedPatch(*step, editor.undoManager(), actionName);
    doc->notifyContentChanged(step->rect);
}

void StrokePipeline::cancel() {
    if (!snapshot)
        return;
    Sprite& sprite = editor.document()->sprite();
    const qint64 layerIndex = m_layerID ? sprite.layerIndex(*m_layerID) : -1;
    if (layerIndex >= 0 && m_frame < sprite.layers[layerIndex].cels.size()) {
        std::optional<Cel>& slot = sprite.layers[layerIndex].cels[m_frame];
        if (m_createdCel)
            slot.reset();
        else if (slot)
            slot->pixels = std::move(*snapshot);
    }
    const PixelRect dirty = m_dirtyRect;
    close();
    editor.invalidate(dirty.isEmpty() ? std::nullopt : std::optional<PixelRect>(dirty));
}

void StrokePipeline::close() {
    // Only an array nobody else holds is costly to drop; a shared one must not be kept, or the
    // next write to the cel sharing it would copy it again.
    if (snapshot && snapshot->isDetached())
        retiredSnapshot = std::move(*snapshot);
    snapshot.reset();
    m_layerID.reset();
    m_frame = 0;
    m_createdCel = false;
    m_dirtyRect = {};
    editor.announceGesture();
}
