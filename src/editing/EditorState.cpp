#include "EditorState.h"

#include "FrameOperations.h"
#include "LayerOperations.h"
#include "PaletteOperations.h"
#include "canvas/CanvasGeometry.h"
#include "canvas/PixelRenderer.h"
#include "settings/AppSettings.h"
#include "tools/PixelTool.h"
#include "tools/ToolTable.h"

#include <algorithm>
#include <cmath>

EditorState::EditorState(PixelDocument* document, QObject* parent)
    : QObject(parent), doc(document), undoStack(document->undoStack()),
      m_pixelPerfect(AppSettings::shared().pixelPerfect()),
      m_showPixelGrid(AppSettings::shared().showPixelGrid()) {
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, this, &EditorState::advancePlayback);
    doc->willSnapshot = [editor = QPointer<EditorState>(this)] {
        if (editor)
            editor->commitFloatingPaste();
    };
    m_timelinePresented = doc->sprite().frames.size() >= 2;
}

EditorState::~EditorState() = default;

template <typename T, typename Signal> bool EditorState::assign(T& field, T value, Signal changed) {
    if (field == value)
        return false;
    field = std::move(value);
    emit(this->*changed)(field);
    return true;
}

void EditorState::setActiveTool(ToolKind tool) {
    if (assign(m_activeTool, tool, &EditorState::activeToolChanged))
        commitFloatingPaste();
}

void EditorState::setPrimaryColor(PixelColor color) {
    assign(m_primaryColor, color, &EditorState::primaryColorChanged);
}

void EditorState::setSecondaryColor(PixelColor color) {
    assign(m_secondaryColor, color, &EditorState::secondaryColorChanged);
}

void EditorState::setBrushSize(qint64 size) {
    assign(m_brushSize, std::clamp(size, minimumBrushSize, maximumBrushSize),
           &EditorState::brushSizeChanged);
}

void EditorState::setPixelPerfect(bool on) {
    assign(m_pixelPerfect, on, &EditorState::pixelPerfectChanged);
    AppSettings::shared().setPixelPerfect(on);
}

void EditorState::setShapeFilled(bool filled) {
    assign(m_shapeFilled, filled, &EditorState::shapeFilledChanged);
}

void EditorState::setSymmetry(SymmetryMode mode) {
    if (assign(m_symmetry, mode, &EditorState::symmetryChanged))
        invalidate(); // the fold lines appear or vanish
}

void EditorState::setZoomFactor(double zoom) {
    assign(m_zoom, zoom, &EditorState::zoomChanged);
}

void EditorState::zoomIn() {
    if (performZoom)
        performZoom(ZoomIntent::zoomIn);
    else
        setZoomFactor(CanvasGeometry::stepUp(m_zoom));
}

void EditorState::zoomOut() {
    if (performZoom)
        performZoom(ZoomIntent::zoomOut);
    else
        setZoomFactor(CanvasGeometry::stepDown(m_zoom));
}

void EditorState::setZoom(double zoom) {
    if (std::isnan(zoom))
        return;
    if (zoom == 1 && performZoom)
        performZoom(ZoomIntent::actualSize);
    else
        setZoomFactor(CanvasGeometry::clampedZoom(zoom));
}

void EditorState::setPanOffset(QSizeF offset) {
    assign(m_panOffset, offset, &EditorState::panOffsetChanged);
}

void EditorState::setCursorPixel(std::optional<PixelPoint> pixel) {
    assign(m_cursorPixel, pixel, &EditorState::cursorPixelChanged);
}

void EditorState::setShowPixelGrid(bool show) {
    assign(m_showPixelGrid, show, &EditorState::showPixelGridChanged);
}

void EditorState::setSelection(std::optional<PixelRect> rect) {
    assign(m_selection, rect, &EditorState::selectionChanged);
}

void EditorState::setExportSheetPresented(bool presented) {
    if (assign(m_exportSheetPresented, presented, &EditorState::exportSheetPresentedChanged) &&
        presented)
        commitFloatingPaste();
}

void EditorState::setTimelinePresented(bool presented) {
    if (assign(m_timelinePresented, presented, &EditorState::timelinePresentedChanged) && presented)
        commitFloatingPaste();
}

void EditorState::setPlaying(bool playing) {
    assign(m_playing, playing, &EditorState::playingChanged);
}

void EditorState::setPlaybackFrame(qint64 frame) {
    assign(m_playbackFrame, frame, &EditorState::playbackFrameChanged);
}

void EditorState::setEditingText(bool editing) {
    assign(m_editingText, editing, &EditorState::editingTextChanged);
}

void EditorState::setClipboardGeneration(qint64 generation) {
    assign(m_clipboardGeneration, generation, &EditorState::clipboardGenerationChanged);
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
    stopPlayback();
    // A stroke cannot outlive the sprite it was taken from.
    if (isGestureActive())
        closeStroke();
    setSelection(std::nullopt);
    setCursorPixel(std::nullopt);
    setTimelinePresented(doc->sprite().frames.size() >= 2);
    if (performZoom)
        performZoom(ZoomIntent::fit);
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
    stopPlayback();
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
    gestureTool->pointerDown(at, modifiers, *this);
}

void EditorState::pointerMoved(PixelPoint to, ToolModifiers modifiers) {
    if (m_floatingGrab) {
        setFloatingOrigin({m_floatingGrab->origin.x + to.x - m_floatingGrab->point.x,
                           m_floatingGrab->origin.y + to.y - m_floatingGrab->point.y});
        return;
    }
    if (gestureTool)
        gestureTool->pointerMoved(to, modifiers, *this);
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
    gestureTool->pointerUp(at, modifiers, *this);
    gestureTool = nullptr;
    announceGesture();
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

std::optional<qint64> EditorState::activeLayerIndex() const {
    return doc->sprite().activeLayerIndex();
}

void EditorState::beginStroke() {
    const auto layerIndex = activeLayerIndex();
    Sprite& sprite = doc->sprite();
    const qint64 frame = sprite.activeFrameIndex;
    if (!layerIndex || frame < 0 || frame >= sprite.frames.size())
        return;
    const bool created = sprite.celPointer(*layerIndex, frame) == nullptr;
    sprite.ensureCel(*layerIndex, frame);
    retiredSnapshot = {};
    // Shares the cel's array: the first write copies it once, later writes go in place.
    stroke = {sprite.celPointer(*layerIndex, frame)->pixels,
              std::as_const(sprite).layers[*layerIndex].id, frame, created, PixelRect{}};
    announceGesture();
}

bool EditorState::insideSelection(PixelPoint point) const {
    return !m_selection || m_selection->contains(point);
}

void EditorState::writeInto(qint64 layerIndex, PixelPoint point, PixelColor color) {
    if (!doc->sprite().bounds().contains(point) || !insideSelection(point))
        return;
    writePixel(layerIndex, point.x, point.y, color);
}

void EditorState::plotInto(qint64 layerIndex, PixelPoint point, PixelColor color) {
    writeInto(layerIndex, point, color);
    for (const PixelPoint image :
         SymmetryModes::reflections(m_symmetry, point, doc->sprite().bounds()))
        writeInto(layerIndex, image, color);
}

void EditorState::write(qint64 x, qint64 y, PixelColor color) {
    if (const auto layerIndex = activeLayerIndex())
        writeInto(*layerIndex, {x, y}, color);
}

void EditorState::plot(qint64 x, qint64 y, PixelColor color) {
    if (const auto layerIndex = activeLayerIndex())
        plotInto(*layerIndex, {x, y}, color);
}

void EditorState::stamp(PixelPoint at, PixelColor color, std::optional<qint64> size) {
    const qint64 side = size.value_or(m_brushSize);
    const auto layerIndex = activeLayerIndex();
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
    const PixelRect canvas = doc->sprite().bounds();
    const qint64 reach = std::max(canvas.width, canvas.height);
    const PixelRect visited =
        dab.intersection({-reach, -reach, canvas.width + 2 * reach, canvas.height + 2 * reach});
    for (qint64 y = visited.y; y < visited.bottom(); ++y) {
        for (qint64 x = visited.x; x < visited.right(); ++x)
            plotInto(*layerIndex, {x, y}, color);
    }
}

void EditorState::writePixel(qint64 layerIndex, qint64 x, qint64 y, PixelColor color) {
    Sprite& sprite = doc->sprite();
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

void EditorState::revert(qint64 x, qint64 y) {
    const auto layerIndex = activeLayerIndex();
    if (!stroke.snapshot || !layerIndex || !doc->sprite().bounds().contains(PixelPoint{x, y}))
        return;
    const qint64 index = y * doc->sprite().width + x;
    if (index < stroke.snapshot->size())
        writePixel(*layerIndex, x, y, PixelColor(stroke.snapshot->constData()[index]));
}

void EditorState::markDirty(const PixelRect& rect) {
    stroke.dirtyRect = stroke.dirtyRect.unionWith(rect);
    invalidate(rect);
}

std::optional<PixelPatch> EditorState::strokePatch(bool keepUnchanged) const {
    if (!stroke.snapshot || !stroke.layerID || stroke.dirtyRect.isEmpty())
        return std::nullopt;
    const Sprite& sprite = doc->sprite();
    const Cel* cel = sprite.celPointer(sprite.layerIndex(*stroke.layerID), stroke.frame);
    // A snapshot of another size no longer describes this cel: no coherent step exists.
    if (!cel || cel->pixels.size() != stroke.snapshot->size())
        return std::nullopt;
    const PixelRect rect =
        stroke.dirtyRect.intersection(sprite.bounds()).intersection(cel->bounds());
    if (rect.isEmpty())
        return std::nullopt;
    QList<quint32> before = Cel(cel->width, cel->height, *stroke.snapshot).extract(rect);
    QList<quint32> after = cel->extract(rect);
    if (before == after && !keepUnchanged)
        return std::nullopt; // painted back to the old colours
    return PixelPatch{*stroke.layerID,   stroke.frame,     rect,
                      std::move(before), std::move(after), stroke.createdCel};
}

void EditorState::endStroke(const QString& actionName, bool keepUnchanged) {
    const auto patch = strokePatch(keepUnchanged);
    closeStroke();
    if (!patch)
        return;
    // The pixels are already in the cel: register the step and announce the rectangle.
    doc->registerAppliedPatch(*patch, undoStack, actionName);
    doc->notifyContentChanged(patch->rect);
}

void EditorState::cancelStroke() {
    if (!stroke.snapshot)
        return;
    Sprite& sprite = doc->sprite();
    const qint64 layerIndex = stroke.layerID ? sprite.layerIndex(*stroke.layerID) : -1;
    if (layerIndex >= 0 && stroke.frame < sprite.layers[layerIndex].cels.size()) {
        std::optional<Cel>& slot = sprite.layers[layerIndex].cels[stroke.frame];
        if (stroke.createdCel)
            slot.reset();
        else if (slot)
            slot->pixels = std::move(*stroke.snapshot);
    }
    const PixelRect dirty = stroke.dirtyRect;
    closeStroke();
    invalidate(dirty.isEmpty() ? std::nullopt : std::optional<PixelRect>(dirty));
}

void EditorState::closeStroke() {
    // Only an array nobody else holds is costly to drop; a shared one must not be kept, or the
    // next write to the cel sharing it would copy it again.
    if (stroke.snapshot && stroke.snapshot->isDetached())
        retiredSnapshot = std::move(*stroke.snapshot);
    stroke = Stroke{};
    announceGesture();
}

void EditorState::editStructure(const QString& actionName,
                                const std::function<void(Sprite&)>& edit) {
    if (isGestureActive())
        return;
    // Floating pixels belong to the layer and frame they were pasted over: place them first.
    commitFloatingPaste();
    doc->performStructuralEdit(actionName, undoStack, edit);
}

void EditorState::addLayer() {
    const QString name = doc->sprite().uniqueLayerName(tr("Layer"));
    editStructure(tr("Add Layer"), [&](Sprite& s) { LayerOperations::addLayer(s, name); });
}

void EditorState::duplicateLayer(const QUuid& id) {
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

void EditorState::addEmptyFrame() {
    if (isGestureActive())
        return;
    stopPlayback();
    setTimelinePresented(true);
    editStructure(tr("Add Empty Frame"), FrameOperations::addEmptyFrame);
}

void EditorState::duplicateFrame(const QString& actionName) {
    if (isGestureActive())
        return;
    stopPlayback();
    setTimelinePresented(true);
    editStructure(actionName, FrameOperations::duplicateFrame);
}

void EditorState::clearFrame() {
    editStructure(tr("Clear Frame"), FrameOperations::clearFrame);
}

void EditorState::deleteFrame(std::optional<qint64> index) {
    if (isGestureActive())
        return;
    stopPlayback();
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
    stopPlayback();
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
    if (m_playing || doc->sprite().frames.size() < 2)
        return;
    commitFloatingPaste();
    setTimelinePresented(true);
    setPlaybackFrame(doc->sprite().activeFrameIndex);
    setPlaying(true);
    schedulePlaybackStep();
}

void EditorState::schedulePlaybackStep() {
    const QList<Frame>& frames = doc->sprite().frames;
    const qint64 shown = std::min(m_playbackFrame, qint64(frames.size()) - 1);
    const qint64 duration =
        shown >= 0 && shown < frames.size() ? frames[shown].duration : Frame::defaultDuration;
    // Bounded both ways: a zero or negative duration from a file must not spin the loop,
    // and QTimer takes int milliseconds.
    timer.start(int(std::clamp(duration, Frame::minimumDuration, maximumPlaybackDelay)));
}

void EditorState::advancePlayback() {
    if (!m_playing)
        return;
    const qint64 count = doc->sprite().frames.size();
    if (count < 2) {
        stopPlayback();
        return;
    }
    setPlaybackFrame((m_playbackFrame + 1) % count);
    invalidate();
    schedulePlaybackStep();
}

void EditorState::stopPlayback() {
    timer.stop();
    if (!m_playing)
        return;
    setPlaying(false);
    invalidate();
}

qint64 EditorState::displayFrame() const {
    if (!m_playing)
        return doc->sprite().activeFrameIndex;
    const qint64 count = doc->sprite().frames.size();
    return count > 0 ? std::min(m_playbackFrame, count - 1) : std::max<qint64>(m_playbackFrame, 0);
}
