#include "ContentDragOperations.h"

#include "PixelBlocks.h"
#include "EditorState.h"

namespace {

// A drag that changed pixels on its way is the user's move even when it came back to where it
// began; one that never changed a pixel (a jittery click, transparent content) leaves no step.
void finishDrag(EditorState& editor, bool keepUnchanged) {
    if (!editor.contentDrag())
        return;
    keepUnchanged = keepUnchanged && editor.contentDrag()->changedPixels;
    editor.setContentDrag(std::nullopt);
    editor.endStroke(EditorState::tr("Move"), keepUnchanged);
}

} // namespace

namespace ContentDragOperations {

void beginContentDrag(EditorState& editor) {
    const Sprite& sprite = editor.document()->sprite();
    const auto layer = sprite.activeLayerIndex();
    const Cel* cel = layer ? sprite.celPointer(*layer, sprite.activeFrameIndex) : nullptr;
    if (!cel)
        return;
    const auto selection = editor.selection();
    const PixelRect area = selection ? selection->intersection(sprite.bounds()) : sprite.bounds();
    if (area.isEmpty())
        return;
    QList<quint32> content = cel->extract(area);
    editor.beginStroke();
    editor.setContentDrag(
        EditorState::ContentDrag{area, std::move(content), selection.has_value()});
}

void updateContentDrag(EditorState& editor, qint64 dx, qint64 dy) {
    const auto& drag = editor.contentDrag();
    const auto& snapshot = editor.strokeSnapshot();
    Sprite& sprite = editor.document()->sprite();
    const auto layer = sprite.activeLayerIndex();
    if (!drag || !snapshot || !layer)
        return;
    const PixelRect origin = drag->origin;
    const PixelRect moved{origin.x + dx, origin.y + dy, std::max<qint64>(origin.width, 0),
                          std::max<qint64>(origin.height, 0)};
    const auto selection = editor.selection();
    if (drag->tracksSelection && selection == moved)
        return; // already shown there
    // Start again from the lifted state, so every step is measured from where the drag began.
    std::optional<Cel>& slot = sprite.layers[*layer].cels[editor.stroke().frame()];
    if (!slot)
        return;
    *slot = *snapshot;
    editor.markDirty(selection.value_or(PixelRect{}).unionWith(origin).unionWith(moved));
    PixelBlocks::fill(editor, *layer, origin, PixelColor()); // leaving transparency behind
    PixelBlocks::write(editor, *layer, moved, drag->content, true);
    if (drag->tracksSelection)
        editor.setSelection(moved); // unclipped: dragged past the edge it keeps its size
    if (drag->changedPixels)
        return;
    const PixelRect touched = origin.unionWith(moved).intersection(slot->bounds());
    if (!slot->differences(*snapshot, touched).isEmpty()) {
        EditorState::ContentDrag changed = *drag;
        changed.changedPixels = true;
        editor.setContentDrag(std::move(changed));
    }
}

void endContentDrag(EditorState& editor) {
    finishDrag(editor, true);
}

void cancelContentDrag(EditorState& editor) {
    editor.setContentDrag(std::nullopt);
    editor.cancelStroke();
}

void nudgeContent(EditorState& editor, qint64 dx, qint64 dy) {
    if (editor.isGestureActive() || (dx == 0 && dy == 0))
        return;
    beginContentDrag(editor);
    updateContentDrag(editor, dx, dy);
    finishDrag(editor, false);
    editor.invalidate();
}

} // namespace ContentDragOperations
