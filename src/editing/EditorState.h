#pragma once

#include "PixelDocument.h"
#include "model/PixelColor.h"
#include "model/PixelRect.h"
#include "tools/ContentDragOperations.h"
#include "tools/FloatingPaste.h"
#include "tools/PasteAnchor.h"
#include "tools/SelectionOperations.h"
#include "tools/SymmetryMode.h"
#include "tools/ToolKind.h"
#include "tools/ToolModifiers.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QSizeF>
#include <QTimer>
#include <QUndoStack>
#include <functional>
#include <memory>
#include <optional>

class PixelTool;
class ToolTable;

// The editing state of one document window: tool, colours, brush, view settings, selection and
// floating pixels, playback, the pointer dispatch to the tools, and the stroke pipeline through
// which every tool writes pixels. The document must outlive its editor (the window owns both
// and destroys the editor first).
class EditorState : public QObject {
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
    Q_PROPERTY(double zoom READ zoom WRITE setZoomFactor NOTIFY zoomChanged)
    Q_PROPERTY(QSizeF panOffset READ panOffset WRITE setPanOffset NOTIFY panOffsetChanged)
    Q_PROPERTY(std::optional<PixelPoint> cursorPixel READ cursorPixel WRITE setCursorPixel NOTIFY
                   cursorPixelChanged)
    Q_PROPERTY(
        bool showPixelGrid READ showPixelGrid WRITE setShowPixelGrid NOTIFY showPixelGridChanged)
    Q_PROPERTY(std::optional<PixelRect> selection READ selection WRITE setSelection NOTIFY
                   selectionChanged)
    Q_PROPERTY(bool exportSheetPresented READ isExportSheetPresented WRITE setExportSheetPresented
                   NOTIFY exportSheetPresentedChanged)
    Q_PROPERTY(bool timelinePresented READ isTimelinePresented WRITE setTimelinePresented NOTIFY
                   timelinePresentedChanged)
    Q_PROPERTY(bool playing READ isPlaying NOTIFY playingChanged)
    Q_PROPERTY(qint64 playbackFrame READ playbackFrame NOTIFY playbackFrameChanged)
    Q_PROPERTY(bool editingText READ isEditingText WRITE setEditingText NOTIFY editingTextChanged)
    Q_PROPERTY(qint64 clipboardGeneration READ clipboardGeneration WRITE setClipboardGeneration
                   NOTIFY clipboardGenerationChanged)
    Q_PROPERTY(bool gestureActive READ isGestureActive NOTIFY gestureActiveChanged)

public:
    enum class ZoomIntent { zoomIn, zoomOut, actualSize, fit, center };

    // Pixels drawn over the canvas but not into the cel (line and shape tools while dragging).
    struct Preview {
        QList<PixelPoint> pixels;
        PixelColor color;
        friend bool operator==(const Preview&, const Preview&) = default;
    };
    // Pixels lifted by a move: the rectangle they came from and its words.
    struct ContentDrag {
        PixelRect origin;
        QList<quint32> content;
        bool tracksSelection = false; // the selection moves along with them
    };
    // Where floating pixels were grabbed: the pressed pixel, and the paste's origin then.
    struct FloatingGrab {
        PixelPoint point;
        PixelPoint origin;
        friend bool operator==(const FloatingGrab&, const FloatingGrab&) = default;
    };

    static constexpr qint64 minimumBrushSize = 1;
    static constexpr qint64 maximumBrushSize = 32;
    // A frame longer than this is still shown for this long: QTimer counts in int milliseconds.
    static constexpr qint64 maximumPlaybackDelay = 60 * 60 * 1000;

    explicit EditorState(PixelDocument* document, QObject* parent = nullptr);
    ~EditorState() override;

    PixelDocument* document() const { return doc; }
    QUndoStack* undoManager() const { return undoStack; }
    void setUndoManager(QUndoStack* stack) { undoStack = stack; }

    ToolKind activeTool() const { return m_activeTool; }
    void setActiveTool(ToolKind tool);
    PixelColor primaryColor() const { return m_primaryColor; }
    void setPrimaryColor(PixelColor color);
    PixelColor secondaryColor() const { return m_secondaryColor; }
    void setSecondaryColor(PixelColor color);
    qint64 brushSize() const { return m_brushSize; }
    void setBrushSize(qint64 size); // kept within 1...32
    bool pixelPerfect() const { return m_pixelPerfect; }
    void setPixelPerfect(bool on); // also stored in the settings, for new windows
    bool shapeFilled() const { return m_shapeFilled; }
    void setShapeFilled(bool filled);
    SymmetryMode symmetry() const { return m_symmetry; }
    void setSymmetry(SymmetryMode mode);
    double zoom() const { return m_zoom; }
    void setZoomFactor(double zoom);
    // The menu zoom commands: through the canvas when one is attached (anchored on the
    // pointer), else straight to the next step or the clamped value.
    void zoomIn();
    void zoomOut();
    void setZoom(double zoom);
    QSizeF panOffset() const { return m_panOffset; }
    void setPanOffset(QSizeF offset);
    std::optional<PixelPoint> cursorPixel() const { return m_cursorPixel; }
    void setCursorPixel(std::optional<PixelPoint> pixel);
    bool showPixelGrid() const { return m_showPixelGrid; }
    void setShowPixelGrid(bool show);
    std::optional<PixelRect> selection() const { return m_selection; }
    void setSelection(std::optional<PixelRect> rect);
    bool isExportSheetPresented() const { return m_exportSheetPresented; }
    void setExportSheetPresented(bool presented);
    bool isTimelinePresented() const { return m_timelinePresented; }
    void setTimelinePresented(bool presented);
    bool isPlaying() const { return m_playing; }
    qint64 playbackFrame() const { return m_playbackFrame; }
    bool isEditingText() const { return m_editingText; }
    void setEditingText(bool editing);
    qint64 clipboardGeneration() const { return m_clipboardGeneration; }
    void setClipboardGeneration(qint64 generation);

    const std::optional<Preview>& preview() const { return m_preview; }
    void setPreview(std::optional<Preview> preview) { m_preview = std::move(preview); }
    void clearPreview();

    // The canvas's redraw hook; no rectangle means the whole canvas.
    std::function<void(std::optional<PixelRect>)> invalidateCanvas;
    std::function<void(ZoomIntent)> performZoom;
    // Asks the canvas, when one listens, to redraw the rectangle or everything.
    void invalidate(std::optional<PixelRect> rect = std::nullopt);

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
    void pickColor(PixelPoint at, bool intoSecondary);

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

    bool copySelection(bool merged) { return SelectionOperations::copySelection(*this, merged); }
    void cutSelection() { SelectionOperations::cutSelection(*this); }
    void paste(PasteAnchor anchor, bool replacing, FloatingPaste::Destination destination) {
        SelectionOperations::paste(*this, anchor, replacing, destination);
    }
    bool canPaste() const { return SelectionOperations::canPaste(); }
    bool canPasteInPlace() const { return SelectionOperations::canPasteInPlace(); }
    // Places floating pixels; false when there were none.
    bool commitFloatingPaste() { return SelectionOperations::commitFloatingPaste(*this); }
    bool cancelFloatingPaste() { return SelectionOperations::cancelFloatingPaste(*this); }
    bool floatingPasteIsClipped() const {
        return SelectionOperations::floatingPasteIsClipped(*this);
    }
    void deleteSelection() { SelectionOperations::deleteSelection(*this); }
    void deselect() { SelectionOperations::deselect(*this); }

    void beginContentDrag() { ContentDragOperations::beginContentDrag(*this); }
    void updateContentDrag(qint64 dx, qint64 dy) {
        ContentDragOperations::updateContentDrag(*this, dx, dy);
    }
    void endContentDrag() { ContentDragOperations::endContentDrag(*this); }
    void cancelContentDrag() { ContentDragOperations::cancelContentDrag(*this); }
    void nudgeContent(qint64 dx, qint64 dy) { ContentDragOperations::nudgeContent(*this, dx, dy); }

    // --- stroke pipeline: beginStroke, any writes, then endStroke or cancelStroke ---
    void beginStroke();
    void plot(qint64 x, qint64 y, PixelColor color);
    void write(qint64 x, qint64 y, PixelColor color);
    void stamp(PixelPoint at, PixelColor color, std::optional<qint64> size = std::nullopt);
    void writePixel(qint64 layerIndex, qint64 x, qint64 y, PixelColor color);
    void revert(qint64 x, qint64 y);
    void markDirty(const PixelRect& rect);
    // A stroke whose pixels ended as they began leaves no step, unless keepUnchanged (a move
    // that came back to where it started is still the user's move).
    void endStroke(const QString& actionName, bool keepUnchanged = false);
    void cancelStroke();

    // True while a pointer gesture or a stroke runs. Commands that change pixels, layers or
    // frames are ignored meanwhile, and the window must refuse undo and redo until it ends.
    bool isGestureActive() const {
        return stroke.snapshot.has_value() || gestureTool || m_floatingGrab.has_value();
    }
    const std::optional<QList<quint32>>& strokeSnapshot() const { return stroke.snapshot; }
    std::optional<QUuid> strokeLayerID() const { return stroke.layerID; }
    qint64 strokeFrame() const { return stroke.frame; }
    bool strokeCreatedCel() const { return stroke.createdCel; }
    PixelRect strokeDirtyRect() const { return stroke.dirtyRect; }

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

    // --- playback: loops, each frame for its own duration; never changes the sprite ---
    void startPlayback();
    void stopPlayback();
    // Called by the playback timer: shows the next frame and times it.
    void advancePlayback();
    // The frame the canvas shows.
    qint64 displayFrame() const;
    // The pending one-shot step, active while playback waits for the next frame.
    const QTimer& playbackTimer() const { return timer; }

signals:
    void activeToolChanged(ToolKind tool);
    void primaryColorChanged(PixelColor color);
    void secondaryColorChanged(PixelColor color);
    void brushSizeChanged(qint64 size);
    void pixelPerfectChanged(bool on);
    void shapeFilledChanged(bool filled);
    void symmetryChanged(SymmetryMode mode);
    void zoomChanged(double zoom);
    void panOffsetChanged(QSizeF offset);
    void cursorPixelChanged(std::optional<PixelPoint> pixel);
    void showPixelGridChanged(bool show);
    void selectionChanged(std::optional<PixelRect> rect);
    void exportSheetPresentedChanged(bool presented);
    void timelinePresentedChanged(bool presented);
    void playingChanged(bool playing);
    void playbackFrameChanged(qint64 frame);
    void editingTextChanged(bool editing);
    void clipboardGenerationChanged(qint64 generation);
    void gestureActiveChanged(bool active);
    void floatingPasteChanged();

private:
    struct Stroke {
        std::optional<QList<quint32>> snapshot; // the cel's whole array at stroke begin
        std::optional<QUuid> layerID;
        qint64 frame = 0;
        bool createdCel = false;
        PixelRect dirtyRect;
    };

    template <typename T, typename Signal> bool assign(T& field, T value, Signal changed);
    void setPlaying(bool playing);
    void setPlaybackFrame(qint64 frame);
    void announceGesture();
    PixelTool& resolvedTool(ToolModifiers modifiers);

    std::optional<qint64> activeLayerIndex() const;
    // Clips to canvas and selection, then mirrors: the shared core of plot and stamp.
    void plotInto(qint64 layerIndex, PixelPoint point, PixelColor color);
    void writeInto(qint64 layerIndex, PixelPoint point, PixelColor color);
    bool insideSelection(PixelPoint point) const;
    void closeStroke();
    std::optional<PixelPatch> strokePatch(bool keepUnchanged) const;

    // Runs a layer or frame command as one named undo step, unless a gesture is running.
    void editStructure(const QString& actionName, const std::function<void(Sprite&)>& edit);
    void selectFrame(qint64 index);
    void schedulePlaybackStep();

    PixelDocument* const doc;
    QPointer<QUndoStack> undoStack;
    ToolKind m_activeTool = ToolKind::pencil;
    PixelColor m_primaryColor{0xFF000000};
    PixelColor m_secondaryColor{0xFFFFFFFF};
    qint64 m_brushSize = 1;
    bool m_pixelPerfect = false;
    bool m_shapeFilled = false;
    SymmetryMode m_symmetry = SymmetryMode::off;
    double m_zoom = 8.0;
    QSizeF m_panOffset{0, 0};
    std::optional<PixelPoint> m_cursorPixel;
    bool m_showPixelGrid = true;
    std::optional<PixelRect> m_selection;
    bool m_exportSheetPresented = false;
    bool m_timelinePresented = false;
    bool m_playing = false;
    qint64 m_playbackFrame = 0;
    QTimer timer;
    bool m_editingText = false;
    qint64 m_clipboardGeneration = 0;
    std::optional<Preview> m_preview;
    Stroke stroke;
    std::unique_ptr<ToolTable> tools;
    PixelTool* gestureTool = nullptr;
    bool gestureOnSecondaryButton = false;
    bool gestureAnnounced = false;
    std::optional<FloatingPaste> m_floatingPaste;
    QImage m_floatingImage;
    std::optional<FloatingGrab> m_floatingGrab;
    std::optional<ContentDrag> m_contentDrag;
    // The last stroke's snapshot, released when the next stroke begins (where the cel is
    // copied anyway): freeing a big canvas's array would otherwise make lifting the pointer
    // cost as much as the canvas, not the stroke.
    QList<quint32> retiredSnapshot;
};
