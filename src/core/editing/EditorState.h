#pragma once

#include "ContentDragOperations.h"
#include "EditorViewState.h"
#include "FloatingPaste.h"
#include "PasteAnchor.h"
#include "PixelDocument.h"
#include "Playback.h"
#include "SelectionOperations.h"
#include "StrokePipeline.h"
#include "SymmetryMode.h"
#include "ToolHost.h"
#include "ToolKind.h"
#include "ToolModifiers.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QUndoStack>
#include <functional>
#include <memory>
#include <optional>

class PixelTool;
class ToolTable;

// The editing state of one document window: tool, colours, brush, selection and floating
// pixels, and the pointer dispatch to the tools, which write through its stroke pipeline. What
// the window shows lives in view(), the animation in playback(). The document must outlive its
// editor (the window owns both and destroys the editor first).
class EditorState : public QObject, public ToolHost {
    Q_OBJECT
    Q_PROPERTY(ToolKind activeTool READ activeTool WRITE setActiveTool NOTIFY activeToolChanged)
    Q_PROPERTY(
        PixelColor primaryColor READ primaryColor WRITE setPrimaryColor NOTIFY primaryColorChanged)
    Q_PROPERTY(PixelColor secondaryColor READ secondaryColor WRITE setSecondaryColor NOTIFY
                   secondaryColorChanged)
    Q_PROPERTY(qint64 brushSize READ brushSize WRITE setBrushSize NOTIFY brushSizeChanged)
    Q_PROPERTY(bool pixelPerfect READ pixelPerfect WRITE setPixelPerfect NOTIFY pixelPerfectChanged)
    Q_PROPERTY(bool shapeFilled READ shapeFilled WRITE setShapeFilled NOTIFY shapeFilledChanged)
    Q_PROPERTY(SymmetryMode symmetry READ symmetry WRITE setSymmetry NOTIFY symmetryChanged)
    Q_PROPERTY(std::optional<PixelRect> selection READ selection WRITE setSelection NOTIFY
                   selectionChanged)
    Q_PROPERTY(bool gestureActive READ isGestureActive NOTIFY gestureActiveChanged)

public:
    // Pixels lifted by a move: the rectangle they came from and its words.
    struct ContentDrag {
        PixelRect origin;
        QList<quint32> content;
        bool tracksSelection = false; // the selection moves along with them
        bool changedPixels = false;   // some pixel showed other content during the drag
    };
    // Where floating pixels were grabbed: the pressed pixel, and the paste's origin then.
    struct FloatingGrab {
        PixelPoint point;
        PixelPoint origin;
        friend bool operator==(const FloatingGrab&, const FloatingGrab&) = default;
    };

    static constexpr qint64 minimumBrushSize = 1;
    static constexpr qint64 maximumBrushSize = 32;

    explicit EditorState(PixelDocument* document, QObject* parent = nullptr);
    ~EditorState() override;

    PixelDocument* document() const { return doc; }
    const Sprite& sprite() const override { return doc->sprite(); }
    QUndoStack* undoManager() const { return undoStack; }
    void setUndoManager(QUndoStack* stack) { undoStack = stack; }
    EditorViewState& view() { return m_view; }
    const EditorViewState& view() const { return m_view; }
    Playback& playback() { return m_playback; }
    const Playback& playback() const { return m_playback; }
    const StrokePipeline& stroke() const { return strokes; }

    ToolKind activeTool() const { return m_activeTool; }
    void setActiveTool(ToolKind tool);
    PixelColor primaryColor() const override { return m_primaryColor; }
    void setPrimaryColor(PixelColor color);
    PixelColor secondaryColor() const override { return m_secondaryColor; }
    void setSecondaryColor(PixelColor color);
    qint64 brushSize() const override { return m_brushSize; }
    void setBrushSize(qint64 size); // kept within 1...32
    bool pixelPerfect() const override { return m_pixelPerfect; }
    void setPixelPerfect(bool on);
    bool shapeFilled() const override { return m_shapeFilled; }
    void setShapeFilled(bool filled);
    SymmetryMode symmetry() const override { return m_symmetry; }
    void setSymmetry(SymmetryMode mode);
    std::optional<PixelRect> selection() const override { return m_selection; }
    void setSelection(std::optional<PixelRect> rect) override;

    const std::optional<ToolPreview>& preview() const { return m_preview; }
    void setPreview(std::optional<ToolPreview> preview) override { m_preview = std::move(preview); }
    void clearPreview() override;

    // The canvas's redraw hook; no rectangle means the whole canvas.
    std::function<void(std::optional<PixelRect>)> invalidateCanvas;
    // Asks the canvas, when one listens, to redraw the rectangle or everything.
    void invalidate(std::optional<PixelRect> rect = std::nullopt) override;

    // The window replaced the whole sprite (a size chosen for a blank document).
    void spriteWasReplaced();

    void swapColors();
    void decreaseBrushSize();
    void increaseBrushSize();

    // --- tools and pointer dispatch ---
    // The one tool object of a kind, built with all the others on first use. Tools keep their
    // gesture state, so it survives switching tools.
    PixelTool& tool(ToolKind kind);
    // The tool that received the running gesture's press.
    PixelTool* activeGestureTool() const { return gestureTool; }
    // A left or right press on the canvas. Alt with the pencil, eraser or fill picks colours
    // instead. Presses while a gesture runs are ignored.
    void pointerDown(PixelPoint at, ToolModifiers modifiers);
    // A drag of the running gesture: drags grabbed floating pixels, or goes to its tool.
    void pointerMoved(PixelPoint to, ToolModifiers modifiers);
    // The release of the button that began the gesture.
    void pointerUp(PixelPoint at, ToolModifiers modifiers);
    // Escape: throws floating pixels away, or else cancels the gesture and drops the selection.
    void escape();
    // The colour the visible layers show at the point, unless it is fully transparent.
    void pickColor(PixelPoint at, bool intoSecondary) override;

    // --- selection, floating pixels and clipboard ---
    const std::optional<FloatingPaste>& floatingPaste() const { return m_floatingPaste; }
    // The floating pixels' image, for the canvas; null without floating pixels.
    const QImage& floatingImage() const { return m_floatingImage; }
    // Replaces the floating pixels and remakes their image; clearing them also ends a grab.
    void setFloatingPaste(std::optional<FloatingPaste> paste);
    void setFloatingOrigin(PixelPoint origin);
    std::optional<FloatingGrab> floatingGrab() const { return m_floatingGrab; }
    const std::optional<ContentDrag>& contentDrag() const { return m_contentDrag; }
    void setContentDrag(std::optional<ContentDrag> drag) { m_contentDrag = std::move(drag); }

    // Out of memory, these are refused (refused is emitted) and the document stays as it was.
    bool copySelection(bool merged);
    void cutSelection();
    void paste(PasteAnchor anchor, bool replacing, FloatingPaste::Destination destination);
    bool canPaste() const { return SelectionOperations::canPaste(); }
    bool canPasteInPlace() const { return SelectionOperations::canPasteInPlace(); }
    // Places floating pixels; false when there were none.
    bool commitFloatingPaste();
    bool cancelFloatingPaste() { return SelectionOperations::cancelFloatingPaste(*this); }
    bool floatingPasteIsClipped() const {
        return SelectionOperations::floatingPasteIsClipped(*this);
    }
    void deleteSelection() { SelectionOperations::deleteSelection(*this); }
    void deselect() { SelectionOperations::deselect(*this); }

    void beginContentDrag() override { ContentDragOperations::beginContentDrag(*this); }
    void updateContentDrag(qint64 dx, qint64 dy) override {
        ContentDragOperations::updateContentDrag(*this, dx, dy);
    }
    void endContentDrag() override { ContentDragOperations::endContentDrag(*this); }
    void cancelContentDrag() override { ContentDragOperations::cancelContentDrag(*this); }
    void nudgeContent(qint64 dx, qint64 dy) { ContentDragOperations::nudgeContent(*this, dx, dy); }

    // --- the stroke pipeline, as the tools see it ---
    void beginStroke() override { strokes.begin(); }
    void plot(qint64 x, qint64 y, PixelColor color) override { strokes.plot(x, y, color); }
    void write(qint64 x, qint64 y, PixelColor color) { strokes.write(x, y, color); }
    void stamp(PixelPoint at, PixelColor color, std::optional<qint64> size = {}) override {
        strokes.stamp(at, color, size);
    }
    void stampSpans(const PixelSpans& pixels, PixelColor color) override;
    void writePixel(qint64 layerIndex, qint64 x, qint64 y, PixelColor color) override {
        strokes.writePixel(layerIndex, x, y, color);
    }
    void revert(qint64 x, qint64 y) override { strokes.revert(x, y); }
    Cel* strokeCel() override { return strokes.cel(); }
    void markDirty(const PixelRect& rect) override { strokes.markDirty(rect); }
    void endStroke(const QString& actionName, bool keepUnchanged = false) override {
        strokes.end(actionName, keepUnchanged);
    }
    void cancelStroke() override { strokes.cancel(); }
    const std::optional<Cel>& strokeSnapshot() const override {
        return strokes.snapshotCel();
    }
    std::optional<QUuid> strokeLayerID() const override { return strokes.layerID(); }

    // True while a pointer gesture or a stroke runs. Commands that change pixels, layers or
    // frames are ignored meanwhile, and the window must refuse undo and redo until it ends.
    bool isGestureActive() const {
        return strokes.isOpen() || gestureTool || m_floatingGrab.has_value();
    }
    // Emits gestureActiveChanged when the answer of isGestureActive changed.
    void announceGesture();

    // --- layers (by id; the menus pass the active layer's) ---
    void addLayer();
    void duplicateLayer(const QUuid& id);
    void mergeLayerDown(const QUuid& id);
    void moveLayer(const QUuid& id, qint64 step);
    void deleteLayer(const QUuid& id);
    void renameLayer(const QUuid& id, const QString& text);
    void setLayerVisibility(const QUuid& id, bool visible);
    void setLayerOpacity(const QUuid& id, double opacity);
    void selectLayer(const QUuid& id);

    // --- palette: each change one undo step; the palette never recolours pixels ---
    void addCurrentColorToPalette();
    void removePaletteColor(qint64 index);
    void movePaletteColor(qint64 from, qint64 to);
    void applyPalette(const Palette& palette);

    // --- frames (no index means the active frame) ---
    void addEmptyFrame();
    void duplicateFrame(const QString& actionName);
    void clearFrame();
    void deleteFrame(std::optional<qint64> index = std::nullopt);
    void moveFrame(qint64 from, qint64 to);
    void setFrameDuration(qint64 milliseconds, std::optional<qint64> index = std::nullopt);
    void selectPreviousFrame();
    void selectNextFrame();
    // A frame chosen in the timeline: stops playback and places floating pixels, then makes
    // the frame active when the index is one of the frames.
    void activateFrame(qint64 index);
    // Plays the animation in the timeline, after placing floating pixels.
    void startPlayback();
    // The frame the canvas shows.
    qint64 displayFrame() const { return m_playback.displayFrame(); }

signals:
    void activeToolChanged(ToolKind tool);
    void primaryColorChanged(PixelColor color);
    void secondaryColorChanged(PixelColor color);
    void brushSizeChanged(qint64 size);
    void pixelPerfectChanged(bool on);
    void shapeFilledChanged(bool filled);
    void symmetryChanged(SymmetryMode mode);
    void selectionChanged(std::optional<PixelRect> rect);
    void gestureActiveChanged(bool active);
    void floatingPasteChanged();
    // A command was refused for a reason the user should read (a limit it would pass, or
    // memory running out); the sprite is as it was.
    void refused(const QString& message);

private:
    PixelTool& resolvedTool(ToolModifiers modifiers);
    // Runs a layer or frame command as one named undo step, unless a gesture is running.
    void editStructure(const QString& actionName, const std::function<void(Sprite&)>& edit);
    // Frame commands that show the timeline and stop playback first.
    void editFrames(const QString& actionName, const std::function<void(Sprite&)>& edit);
    void selectFrame(qint64 index);
    // Runs a pointer event of the gesture; out of memory, the gesture is taken back.
    void withinMemory(const std::function<void()>& step);
    // False, with refused emitted, when layers × frames would pass the sprite's limit.
    bool allowsLayerFrames(qint64 layers, qint64 frames);

    PixelDocument* const doc;
    QPointer<QUndoStack> undoStack;
    EditorViewState m_view;
    Playback m_playback;
    StrokePipeline strokes{*this};
    ToolKind m_activeTool = ToolKind::pencil;
    PixelColor m_primaryColor{0xFF000000};
    PixelColor m_secondaryColor{0xFFFFFFFF};
    qint64 m_brushSize = 1;
    bool m_pixelPerfect = false;
    bool m_shapeFilled = false;
    SymmetryMode m_symmetry = SymmetryMode::off;
    std::optional<PixelRect> m_selection;
    std::optional<ToolPreview> m_preview;
    std::unique_ptr<ToolTable> tools;
    PixelTool* gestureTool = nullptr;
    bool gestureOnSecondaryButton = false;
    bool gestureAnnounced = false;
    std::optional<FloatingPaste> m_floatingPaste;
    QImage m_floatingImage;
    std::optional<FloatingGrab> m_floatingGrab;
    std::optional<ContentDrag> m_contentDrag;
};
