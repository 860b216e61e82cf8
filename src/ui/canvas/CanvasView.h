#pragma once

#include "CanvasComposite.h"
#include "CanvasPainter.h"
#include "CanvasZoom.h"
#include "EditorState.h"
#include "ToolModifiers.h"

#include <QPointer>
#include <QWidget>
#include <optional>

class QNativeGestureEvent;

// The editing surface of a document window: shows the displayed frame at the editor's zoom
// and pan with its overlays, and turns pointer, wheel, pinch and key events into editor
// calls, zoom and pan. It installs the editor's and document's redraw callbacks while it
// lives and removes them when it goes.
class CanvasView : public QWidget {
    Q_OBJECT

public:
    explicit CanvasView(EditorState* editor, QWidget* parent = nullptr);
    ~CanvasView() override;

    EditorState* editor() const { return editorState; }

    // A changed canvas region, redrawn on the next paint; none redraws the whole view.
    void invalidate(std::optional<PixelRect> rect);
    void handleZoom(EditorViewState::ZoomIntent intent);
    // Clamped to the zoom range; with a focus the canvas point under it stays under it.
    void setZoom(double zoom, std::optional<QPointF> focus);
    // The largest zoom step that shows the whole sprite with a margin, centred.
    void fit();
    void detachFromEditor();

    QPointF canvasOrigin() const;
    QRectF canvasRect() const;
    PixelPoint pixelAt(QPointF point) const;
    // True while the view draws its own cursor and the system cursor is blank.
    bool drawsOwnCursor() const;
    const CanvasComposite& composite() const { return picture; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void attach();
    void connectRedraws();
    void structureChanged();
    QRect viewArea(const PixelRect& rect) const;

    // overlays
    void redrawChangedArea(QRegion& last, const QRegion& now);
    void refreshCursorArea();
    void refreshSelectionArea();

    // pointer gestures
    ToolModifiers modifiersFrom(Qt::KeyboardModifiers keys, bool secondaryButton) const;
    void trackPointer(QPointF point);
    void beginPan(QPointF point, Qt::MouseButton button);
    void beginDrawing(QPointF point, Qt::MouseButton button, Qt::KeyboardModifiers keys);
    void continueDrawing(QPointF point, Qt::KeyboardModifiers keys);
    void endGesture(QPointF point, Qt::KeyboardModifiers keys);
    void hover(QPointF point);
    void pinch(QNativeGestureEvent* event);

    // keys
    void nudge(qint64 dx, qint64 dy);

    // the system cursor
    Qt::CursorShape cursorShape() const;
    bool isOverFloatingPaste() const;
    void refreshCursor();
    void showSystemCursor();

    QPointer<EditorState> editorState;
    QPointer<PixelDocument> document;
    CanvasZoom zoomControl;
    CanvasComposite picture;
    QImage deviceScratch;
    bool isSpaceDown = false;
    bool isPanning = false;
    QPointF panAnchor;
    QSizeF panStartOffset;
    bool isDrawingGesture = false;
    // The button that started the running gesture; others are ignored until it is released.
    Qt::MouseButton gestureButton = Qt::NoButton;
    bool hasPerformedInitialFit = false;
    std::optional<QPointF> hoverPoint;
    // View areas last asked to show the drawn cursor and the selection outline.
    QRegion cursorArea;
    QRegion selectionArea;
};
