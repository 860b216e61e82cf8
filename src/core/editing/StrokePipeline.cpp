#include "StrokePipeline.h"

#include "EditorState.h"

#include <algorithm>

void StrokePipeline::begin() {
    Sprite& sprite = editor.document()->sprite();
    const auto layerIndex = sprite.activeLayerIndex();
    const qint64 frame = sprite.activeFrameIndex;
    if (!layerIndex || frame < 0 || frame >= sprite.frames.size())
        return;
    const bool created = sprite.celPointer(*layerIndex, frame) == nullptr;
    sprite.ensureCel(*layerIndex, frame);
    // Shares the cel's bands: a write copies only the band it lands in, once.
    snapshot = *sprite.celPointer(*layerIndex, frame);
    m_layerID = std::as_const(sprite).layers[*layerIndex].id;
    m_frame = frame;
    m_createdCel = created;
    m_dirtyRect = {};
    editor.announceGesture();
}

Cel* StrokePipeline::cel() {
    Sprite& sprite = editor.document()->sprite();
    const qint64 layerIndex = m_layerID ? sprite.layerIndex(*m_layerID) : -1;
    if (!snapshot || layerIndex < 0 || m_frame >= sprite.layers[layerIndex].cels.size())
        return nullptr;
    std::optional<Cel>& cel = sprite.layers[layerIndex].cels[m_frame];
    return cel ? &*cel : nullptr;
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
    // band shared again, and writing through a pointer kept from before would reach it.
    Cel& cel = *sprite.layers[layerIndex].cels[frame];
    if (x >= cel.width || y >= cel.height || cel.pixel(x, y) == color.raw)
        return;
    cel.mutableRow(y)[x] = color.raw;
    markDirty(PixelRect::pixel({x, y}));
}

void StrokePipeline::revert(qint64 x, qint64 y) {
    const Sprite& sprite = editor.document()->sprite();
    const auto layerIndex = sprite.activeLayerIndex();
    if (!snapshot || !layerIndex || !sprite.bounds().contains(PixelPoint{x, y}))
        return;
    if (snapshot->bounds().contains(PixelPoint{x, y}))
        writePixel(*layerIndex, x, y, PixelColor(snapshot->pixel(x, y)));
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
    if (!cel || cel->width != snapshot->width || cel->height != snapshot->height)
        return std::nullopt;
    const PixelRect dirty = m_dirtyRect.intersection(sprite.bounds()).intersection(cel->bounds());
    PixelSpans runs = cel->differences(*snapshot, dirty);
    if (runs.isEmpty() && !keepUnchanged)
        return std::nullopt; // painted back to the old colours
    if (runs.isEmpty()) {
        // A kept step with nothing changed still needs a place to announce.
        if (dirty.isEmpty())
            return std::nullopt;
        runs = PixelSpans::rectangle(PixelRect::pixel({dirty.x, dirty.y}));
    }
    const PixelRect rect = runs.bounds();
    qint64 changedBands = 0;
    cel->forEachBand([&](const void*, qint64 bytes) { changedBands += bytes; }, &*snapshot);
    if (runs.pixelCount() * qint64(sizeof(quint32)) * 4 >= changedBands)
        return PixelPatch{*m_layerID, m_frame, rect, std::move(runs), {}, {}, m_createdCel,
                          *snapshot, *cel};
    QList<quint32> before = snapshot->extract(runs);
    QList<quint32> after = cel->extract(runs);
    return PixelPatch{*m_layerID, m_frame,          rect,       std::move(runs),
                      std::move(before), std::move(after), m_createdCel};
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
            *slot = std::move(*snapshot);
    }
    const PixelRect dirty = m_dirtyRect;
    close();
    editor.invalidate(dirty.isEmpty() ? std::nullopt : std::optional<PixelRect>(dirty));
}

void StrokePipeline::close() {
    snapshot.reset();
    m_layerID.reset();
    m_frame = 0;
    m_createdCel = false;
    m_dirtyRect = {};
    editor.announceGesture();
}
