#include "EditorState.h"

#include "FrameOperations.h"
#include "LayerOperations.h"
#include "MemoryError.h"
#include "ObservedField.h"
#include "PaletteOperations.h"
#include "PixelBlocks.h"
#include "PixelRenderer.h"
#include "PixelTool.h"
#include "SpriteLimits.h"
#include "ToolTable.h"

#include <algorithm>

EditorState::EditorState(PixelDocument* document, QObject* parent)
    : QObject(parent), doc(document), undoStack(document->undoStack()), m_playback(*document) {
    doc->willSnapshot = [editor = QPointer<EditorState>(this)] {
        if (editor)
            editor->commitFloatingPaste();
    };
    // Floating pixels belong to the canvas: a sheet or the timeline over it places them.
    const auto placeWhenPresented = [this](bool presented) {
        if (presented)
            commitFloatingPaste();
    };
    connect(&m_view, &EditorViewState::exportSheetPresentedChanged, this, placeWhenPresented);
    connect(&m_view, &EditorViewState::timelinePresentedChanged, this, placeWhenPresented);
    connect(&m_playback, &Playback::displayChanged, this, [this] { invalidate(); });
    m_view.setTimelinePresented(doc->sprite().frames.size() >= 2);
}

EditorState::~EditorState() = default;

void EditorState::setActiveTool(ToolKind tool) {
    if (assignObserved(this, m_activeTool, tool, &EditorState::activeToolChanged))
        commitFloatingPaste();
}

void EditorState::setPrimaryColor(PixelColor color) {
    assignObserved(this, m_primaryColor, color, &EditorState::primaryColorChanged);
}

void EditorState::setSecondaryColor(PixelColor color) {
    assignObserved(this, m_secondaryColor, color, &EditorState::secondaryColorChanged);
}

void EditorState::setBrushSize(qint64 size) {
    assignObserved(this, m_brushSize, std::clamp(size, minimumBrushSize, maximumBrushSize),
                   &EditorState::brushSizeChanged);
}

void EditorState::setPixelPerfect(bool on) {
    assignObserved(this, m_pixelPerfect, on, &EditorState::pixelPerfectChanged);
}

void EditorState::setShapeFilled(bool filled) {
    assignObserved(this, m_shapeFilled, filled, &EditorState::shapeFilledChanged);
}

void EditorState::setSymmetry(SymmetryMode mode) {
    if (assignObserved(this, m_symmetry, mode, &EditorState::symmetryChanged))
        invalidate(); // the fold lines appear or vanish
}

void EditorState::setSelection(std::optional<PixelRect> rect) {
    assignObserved(this, m_selection, rect, &EditorState::selectionChanged);
}

void EditorState::invalidate(std::optional<PixelRect> rect) {
    if (invalidateCanvas)
        invalidateCanvas(rect);
}

void EditorState::clearPreview() {
    if (!m_preview)
        return;
    m_preview.reset();
    invalidate();
}

void EditorState::spriteWasReplaced() {
    m_playback.stop();
    // A stroke cannot outlive the sprite it was taken from.
    if (isGestureActive())
        strokes.abandon();
    setSelection(std::nullopt);
    m_view.setCursorPixel(std::nullopt);
    m_view.setTimelinePresented(doc->sprite().frames.size() >= 2);
    m_view.requestFit();
}

void EditorState::swapColors() {
    const PixelColor primary = m_primaryColor;
    setPrimaryColor(m_secondaryColor);
    setSecondaryColor(primary);
}

void EditorState::decreaseBrushSize() {
    setBrushSize(m_brushSize - 1);
}

void EditorState::increaseBrushSize() {
    setBrushSize(m_brushSize + 1);
}

void EditorState::announceGesture() {
    const bool active = isGestureActive();
    if (active == gestureAnnounced)
        return;
    gestureAnnounced = active;
    emit gestureActiveChanged(active);
}

PixelTool& EditorState::tool(ToolKind kind) {
    if (!tools)
        tools = std::make_unique<ToolTable>();
    return (*tools)[kind];
}

PixelTool& EditorState::resolvedTool(ToolModifiers modifiers) {
    const bool picks = m_activeTool == ToolKind::pencil || m_activeTool == ToolKind::eraser ||
                       m_activeTool == ToolKind::fill;
    return tool(modifiers.option && picks ? ToolKind::eyedropper : m_activeTool);
}

void EditorState::pointerDown(PixelPoint at, ToolModifiers modifiers) {
    // A second button pressed during a gesture must not start another one inside it.
    if (isGestureActive())
        return;
    m_playback.stop();
    gestureOnSecondaryButton = modifiers.secondaryButton;
    if (m_floatingPaste) {
        // The press belongs to the floating pixels: it grabs them, or places them.
        if (m_floatingPaste->rect().contains(at))
            m_floatingGrab = FloatingGrab{at, m_floatingPaste->origin};
        else
            commitFloatingPaste();
        announceGesture();
        return;
    }
    gestureTool = &resolvedTool(modifiers);
    announceGesture();
    withinMemory([&] { gestureTool->pointerDown(at, modifiers, *this); });
}

void EditorState::pointerMoved(PixelPoint to, ToolModifiers modifiers) {
    if (m_floatingGrab) {
        setFloatingOrigin({m_floatingGrab->origin.x + to.x - m_floatingGrab->point.x,
                           m_floatingGrab->origin.y + to.y - m_floatingGrab->point.y});
        return;
    }
    if (gestureTool)
        withinMemory([&] { gestureTool->pointerMoved(to, modifiers, *this); });
}

void EditorState::pointerUp(PixelPoint at, ToolModifiers modifiers) {
    if (modifiers.secondaryButton != gestureOnSecondaryButton)
        return; // the release of a button whose press was ignored
    if (m_floatingGrab) {
        m_floatingGrab.reset();
        announceGesture();
        return;
    }
    if (!gestureTool)
        return;
    withinMemory([&] { gestureTool->pointerUp(at, modifiers, *this); });
    gestureTool = nullptr;
    announceGesture();
}

void EditorState::withinMemory(const std::function<void()>& step) {
    try {
        step();
    } catch (const std::bad_alloc&) {
        if (gestureTool)
            gestureTool->cancel(*this);
        strokes.cancel();
        gestureTool = nullptr;
        announceGesture();
        emit refused(MemoryError::message(tr("draw")));
    }
}

bool EditorState::copySelection(bool merged) {
    try {
        return SelectionOperations::copySelection(*this, merged);
    } catch (const std::bad_alloc&) {
        emit refused(MemoryError::message(tr("copy")));
    }
    return false;
}

void EditorState::cutSelection() {
    try {
        SelectionOperations::cutSelection(*this);
    } catch (const std::bad_alloc&) {
        strokes.cancel();
        emit refused(MemoryError::message(tr("cut")));
    }
}

bool EditorState::commitFloatingPaste() {
    const std::optional<FloatingPaste> floating = m_floatingPaste;
    try {
        return SelectionOperations::commitFloatingPaste(*this);
    } catch (const std::bad_alloc&) {
        strokes.cancel();
        setFloatingPaste(floating); // still floating, to be placed once memory allows
        emit refused(MemoryError::message(tr("place the pasted pixels")));
    }
    return false;
}

void EditorState::paste(PasteAnchor anchor, bool replacing,
                        FloatingPaste::Destination destination) {
    try {
        SelectionOperations::paste(*this, anchor, replacing, destination);
    } catch (const std::bad_alloc&) {
        emit refused(MemoryError::message(tr("paste")));
    }
}

void EditorState::escape() {
    if (cancelFloatingPaste())
        return;
    if (gestureTool) {
        gestureTool->cancel(*this);
        gestureTool = nullptr;
        announceGesture();
    }
    deselect();
}

void EditorState::pickColor(PixelPoint at, bool intoSecondary) {
    const PixelColor color = doc->sprite().compositedColor(at, doc->sprite().activeFrameIndex);
    if (color.alpha() == 0)
        return;
    if (intoSecondary)
        setSecondaryColor(color);
    else
        setPrimaryColor(color);
}

void EditorState::setFloatingPaste(std::optional<FloatingPaste> paste) {
    if (m_floatingPaste == paste)
        return;
    m_floatingImage =
        paste ? PixelRenderer::makeStraightImage(paste->pixels, paste->width, paste->height)
              : QImage();
    m_floatingPaste = std::move(paste);
    if (!m_floatingPaste)
        m_floatingGrab.reset();
    emit floatingPasteChanged();
    announceGesture();
}

void EditorState::setFloatingOrigin(PixelPoint origin) {
    if (!m_floatingPaste || m_floatingPaste->origin == origin)
        return;
    m_floatingPaste->origin = origin;
    emit floatingPasteChanged();
    invalidate();
}

void EditorState::stampSpans(const PixelSpans& pixels, PixelColor color) {
    PixelBlocks::stampSpans(*this, pixels, color);
}

void EditorState::editStructure(const QString& actionName,
                                const std::function<void(Sprite&)>& edit) {
    if (isGestureActive())
        return;
    // Floating pixels belong to the layer and frame they were pasted over: place them first.
    commitFloatingPaste();
    doc->performStructuralEdit(actionName, undoStack, edit);
}

bool EditorState::allowsLayerFrames(qint64 layers, qint64 frames) {
    const QString refusal = SpriteLimits::layerFramesRefusal(layers, frames);
    if (!refusal.isEmpty())
        emit refused(refusal);
    return refusal.isEmpty();
}

void EditorState::addLayer() {
    const Sprite& sprite = doc->sprite();
    if (!allowsLayerFrames(sprite.layers.size() + 1, sprite.frames.size()))
        return;
    const QString name = doc->sprite().uniqueLayerName(tr("Layer"));
    editStructure(tr("Add Layer"), [&](Sprite& s) { LayerOperations::addLayer(s, name); });
}

void EditorState::duplicateLayer(const QUuid& id) {
    const Sprite& sprite = doc->sprite();
    if (!allowsLayerFrames(sprite.layers.size() + 1, sprite.frames.size()))
        return;
    editStructure(tr("Duplicate Layer"),
                  [&](Sprite& s) { LayerOperations::duplicateLayer(s, id); });
}

void EditorState::mergeLayerDown(const QUuid& id) {
    editStructure(tr("Merge Layer Down"),
                  [&](Sprite& s) { LayerOperations::mergeLayerDown(s, id); });
}

void EditorState::moveLayer(const QUuid& id, qint64 step) {
    editStructure(tr("Reorder Layer"), [&](Sprite& s) { LayerOperations::moveLayer(s, id, step); });
}

void EditorState::deleteLayer(const QUuid& id) {
    editStructure(tr("Delete Layer"), [&](Sprite& s) { LayerOperations::deleteLayer(s, id); });
}

void EditorState::renameLayer(const QUuid& id, const QString& text) {
    editStructure(tr("Rename Layer"),
                  [&](Sprite& s) { LayerOperations::renameLayer(s, id, text); });
}

void EditorState::setLayerVisibility(const QUuid& id, bool visible) {
    editStructure(tr("Toggle Layer Visibility"),
                  [&](Sprite& s) { LayerOperations::setVisibility(s, id, visible); });
}

void EditorState::setLayerOpacity(const QUuid& id, double opacity) {
    editStructure(tr("Change Layer Opacity"),
                  [&](Sprite& s) { LayerOperations::setOpacity(s, id, opacity); });
}

void EditorState::selectLayer(const QUuid& id) {
    Sprite& sprite = doc->sprite();
    // An unknown id would leave no active layer, and nothing could be drawn.
    if (isGestureActive() || sprite.activeLayerID == id || sprite.layerIndex(id) < 0)
        return;
    commitFloatingPaste();
    sprite.activeLayerID = id;
    // The active layer is saved with the project, so choosing one is a change to save.
    doc->notifyContentChanged(PixelRect{});
}

void EditorState::addCurrentColorToPalette() {
    const PixelColor color = m_primaryColor;
    editStructure(tr("Add Palette Color"),
                  [&](Sprite& s) { PaletteOperations::addColor(s.palette, color); });
}

void EditorState::removePaletteColor(qint64 index) {
    editStructure(tr("Remove Palette Color"),
                  [&](Sprite& s) { PaletteOperations::removeColor(s.palette, index); });
}

void EditorState::movePaletteColor(qint64 from, qint64 to) {
    editStructure(tr("Reorder Palette"),
                  [&](Sprite& s) { PaletteOperations::moveColor(s.palette, from, to); });
}

void EditorState::applyPalette(const Palette& palette) {
    editStructure(tr("Change Palette"), [&](Sprite& s) { s.palette = palette; });
}

void EditorState::editFrames(const QString& actionName, const std::function<void(Sprite&)>& edit) {
    if (isGestureActive())
        return;
    m_playback.stop();
    m_view.setTimelinePresented(true);
    editStructure(actionName, edit);
}

void EditorState::addEmptyFrame() {
    const Sprite& sprite = doc->sprite();
    if (!allowsLayerFrames(sprite.layers.size(), sprite.frames.size() + 1))
        return;
    editFrames(tr("Add Empty Frame"), FrameOperations::addEmptyFrame);
}

void EditorState::duplicateFrame(const QString& actionName) {
    const Sprite& sprite = doc->sprite();
    if (!allowsLayerFrames(sprite.layers.size(), sprite.frames.size() + 1))
        return;
    editFrames(actionName, FrameOperations::duplicateFrame);
}

void EditorState::clearFrame() {
    editStructure(tr("Clear Frame"), FrameOperations::clearFrame);
}

void EditorState::deleteFrame(std::optional<qint64> index) {
    if (isGestureActive())
        return;
    m_playback.stop();
    const qint64 target = index.value_or(doc->sprite().activeFrameIndex);
    editStructure(tr("Delete Frame"), [&](Sprite& s) { FrameOperations::deleteFrame(s, target); });
}

void EditorState::moveFrame(qint64 from, qint64 to) {
    editStructure(tr("Reorder Frame"), [&](Sprite& s) { FrameOperations::moveFrame(s, from, to); });
}

void EditorState::setFrameDuration(qint64 milliseconds, std::optional<qint64> index) {
    const qint64 target = index.value_or(doc->sprite().activeFrameIndex);
    editStructure(tr("Change Frame Duration"),
                  [&](Sprite& s) { FrameOperations::setFrameDuration(s, milliseconds, target); });
}

void EditorState::selectFrame(qint64 index) {
    const qint64 count = doc->sprite().frames.size();
    if (count >= 2)
        activateFrame(((index % count) + count) % count);
}

void EditorState::activateFrame(qint64 index) {
    if (isGestureActive())
        return;
    m_playback.stop();
    commitFloatingPaste();
    Sprite& sprite = doc->sprite();
    if (index < 0 || index >= sprite.frames.size() || index == sprite.activeFrameIndex)
        return;
    sprite.activeFrameIndex = index;
    doc->notifyContentChanged();
}

void EditorState::selectPreviousFrame() {
    selectFrame(doc->sprite().activeFrameIndex - 1);
}

void EditorState::selectNextFrame() {
    selectFrame(doc->sprite().activeFrameIndex + 1);
}

void EditorState::startPlayback() {
    if (m_playback.isPlaying() || doc->sprite().frames.size() < 2)
        return;
    commitFloatingPaste();
    m_view.setTimelinePresented(true);
    m_playback.start();
}
