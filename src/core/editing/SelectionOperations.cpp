#include "SelectionOperations.h"

#include "Clipboard.h"
#include "EditorState.h"
#include "LayerOperations.h"
#include "MemoryError.h"
#include "PixelBlocks.h"
#include "SpriteLimits.h"

namespace {

// The active cel's words in r, or nothing without an active cel.
std::optional<QList<quint32>> activeLayerPixels(const Sprite& sprite, const PixelRect& r) {
    const auto layer = sprite.activeLayerIndex();
    const Cel* cel = layer ? sprite.celPointer(*layer, sprite.activeFrameIndex) : nullptr;
    if (!cel)
        return std::nullopt;
    return cel->extract(r);
}

// What one sees in r: every visible layer composited.
QList<quint32> mergedPixels(const Sprite& sprite, const PixelRect& r) {
    QList<quint32> words = MemoryError::allocatedWords(r.area());
    quint32* out = words.data();
    for (qint64 y = r.y; y < r.bottom(); ++y)
        for (qint64 x = r.x; x < r.right(); ++x)
            *out++ = sprite.compositedColor({x, y}, sprite.activeFrameIndex).raw;
    return words;
}

// A canvas-sized cel holding the paste's painted pixels that land on the canvas.
Cel pastedCel(const FloatingPaste& paste, const Sprite& sprite) {
    Cel cel(sprite.width, sprite.height);
    if (paste.pixels.size() >= paste.rect().area())
        PixelBlocks::blit(cel, paste.rect(), paste.pixels.constData(), paste.width, true);
    return cel;
}

// The paste as a new layer above the active one, in one structural step of its own.
void commitToNewLayer(EditorState& editor, const FloatingPaste& paste) {
    PixelDocument& document = *editor.document();
    const QString refusal = SpriteLimits::layerFramesRefusal(document.sprite().layers.size() + 1,
                                                             document.sprite().frames.size());
    if (!refusal.isEmpty()) {
        editor.setFloatingPaste(paste); // kept floating: it can still go on an existing layer
        emit editor.refused(refusal);
        return;
    }
    const Cel cel = pastedCel(paste, document.sprite());
    const QString name = document.sprite().uniqueLayerName(EditorState::tr("Layer"));
    document.performStructuralEdit(EditorState::tr("Paste as New Layer"), editor.undoManager(),
                                   [&](Sprite& sprite) {
                                       LayerOperations::addLayer(sprite, name);
                                       const qint64 layer = *sprite.activeLayerIndex();
                                       sprite.layers[layer].cels[sprite.activeFrameIndex] = cel;
                                   });
}

void commitToActiveLayer(EditorState& editor, const FloatingPaste& paste, qint64 layer) {
    editor.beginStroke();
    // Stored as they are, not blended; symmetry and the selection do not apply.
    PixelBlocks::write(editor, layer, paste.rect(), paste.pixels, !paste.replacing);
    editor.endStroke(EditorState::tr("Paste"));
}

std::optional<PixelPoint> pasteOrigin(const EditorState& editor, PasteAnchor anchor) {
    if (anchor == PasteAnchor::inPlace) {
        if (Clipboard::changeCount() != Clipboard::stamp())
            return std::nullopt; // something else was copied since
        return Clipboard::copiedFrom();
    }
    const auto selection = editor.selection();
    return selection ? PixelPoint{selection->x, selection->y} : PixelPoint{0, 0};
}

} // namespace

namespace SelectionOperations {

bool copySelection(EditorState& editor, bool merged) {
    if (editor.isGestureActive())
        return false;
    editor.commitFloatingPaste();
    const Sprite& sprite = editor.document()->sprite();
    const auto selection = editor.selection();
    const PixelRect r = selection ? selection->intersection(sprite.bounds()) : PixelRect{};
    if (r.isEmpty())
        return false;
    const auto pixels = merged ? mergedPixels(sprite, r) : activeLayerPixels(sprite, r);
    if (!pixels)
        return false;
    const QImage image = PixelRenderer::makeStraightImage(*pixels, r.width, r.height);
    if (image.isNull() || !Clipboard::write(image, {r.x, r.y}))
        return false;
    editor.view().setClipboardGeneration(Clipboard::changeCount());
    return true;
}

void cutSelection(EditorState& editor) {
    if (copySelection(editor, false))
        deleteSelection(editor);
}

void paste(EditorState& editor, PasteAnchor anchor, bool replacing,
           FloatingPaste::Destination destination) {
    if (editor.isGestureActive())
        return;
    auto image = Clipboard::read();
    if (!image || !editor.document()->sprite().activeLayerIndex())
        return;
    editor.commitFloatingPaste();
    const auto origin = pasteOrigin(editor, anchor);
    if (!origin)
        return;
    editor.setFloatingPaste(FloatingPaste{std::move(image->pixels), image->width, image->height,
                                          *origin, replacing, destination});
    editor.invalidate();
}

bool canPaste() {
    return Clipboard::hasImage();
}

bool canPasteInPlace() {
    return Clipboard::changeCount() == Clipboard::stamp() && Clipboard::copiedFrom() &&
           Clipboard::hasImage();
}

bool commitFloatingPaste(EditorState& editor) {
    const auto paste = editor.floatingPaste();
    if (!paste)
        return false;
    editor.setFloatingPaste(std::nullopt);
    const Sprite& sprite = editor.document()->sprite();
    if (const auto layer = sprite.activeLayerIndex()) {
        if (paste->destination == FloatingPaste::Destination::newLayer)
            commitToNewLayer(editor, *paste);
        else
            commitToActiveLayer(editor, *paste, *layer);
        const PixelRect placed = paste->rect().intersection(sprite.bounds());
        editor.setSelection(placed.isEmpty() ? std::nullopt : std::optional<PixelRect>(placed));
    }
    editor.invalidate();
    return true;
}

bool cancelFloatingPaste(EditorState& editor) {
    if (!editor.floatingPaste())
        return false;
    editor.setFloatingPaste(std::nullopt);
    editor.invalidate();
    return true;
}

bool floatingPasteIsClipped(const EditorState& editor) {
    const auto& paste = editor.floatingPaste();
    if (!paste)
        return false;
    const PixelRect rect = paste->rect();
    return rect.intersection(editor.document()->sprite().bounds()) != rect;
}

void deleteSelection(EditorState& editor) {
    if (editor.isGestureActive() || cancelFloatingPaste(editor))
        return;
    const Sprite& sprite = editor.document()->sprite();
    const auto selection = editor.selection();
    const auto layer = sprite.activeLayerIndex();
    if (!selection || !layer)
        return;
    editor.beginStroke();
    PixelBlocks::fill(editor, *layer, selection->intersection(sprite.bounds()), PixelColor());
    editor.endStroke(EditorState::tr("Delete"));
}

void deselect(EditorState& editor) {
    if (editor.isGestureActive())
        return;
    commitFloatingPaste(editor);
    if (!editor.selection())
        return;
    editor.setSelection(std::nullopt);
    editor.invalidate();
}

} // namespace SelectionOperations
