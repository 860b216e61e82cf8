#include "CanvasView.h"

#include "AppSettings.h"
#include "CanvasGeometry.h"
#include "CanvasSceneBuilder.h"

#include <QApplication>
#include <QKeyEvent>
#include <QNativeGestureEvent>
#include <QPaintEvent>
#include <QWheelEvent>
#include <cmath>
#include <new>

namespace {

bool isModifierKey(int key) {
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
           key == Qt::Key_Meta || key == Qt::Key_AltGr;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Attaching

CanvasView::CanvasView(EditorState* editor, QWidget* parent)
    : QWidget(parent), editorState(editor), document(editor->document()),
      zoomControl(editor->view(), *editor->document()) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::CrossCursor);
    attach();
    connectRedraws();
}

CanvasView::~CanvasView() {
    detachFromEditor();
}

void CanvasView::attach() {
    const QPointer<CanvasView> view(this);
    editorState->invalidateCanvas = [view](std::optional<PixelRect> rect) {
        if (view)
            view->invalidate(rect);
    };
    editorState->view().performZoom = [view](EditorViewState::ZoomIntent intent) {
        if (view)
            view->handleZoom(intent);
    };
    document->onPixelsChanged = [view](PixelRect rect) {
        if (view)
            view->invalidate(rect);
    };
    document->onStructureChanged = [view] {
        if (view)
            view->structureChanged();
    };
}

void CanvasView::detachFromEditor() {
    if (editorState) {
        editorState->invalidateCanvas = nullptr;
        editorState->view().performZoom = nullptr;
    }
    if (document) {
        document->onPixelsChanged = nullptr;
        document->onStructureChanged = nullptr;
    }
}

void CanvasView::connectRedraws() {
    const auto redraw = [this] {
        update();
        refreshCursorArea();
        refreshSelectionArea();
    };
    const auto cursorChanged = [this] {
        refreshCursor();
        refreshCursorArea();
    };
    connect(&editorState->view(), &EditorViewState::zoomChanged, this, redraw);
    connect(&editorState->view(), &EditorViewState::panOffsetChanged, this, redraw);
    connect(&editorState->view(), &EditorViewState::showPixelGridChanged, this, redraw);
    connect(editorState, &EditorState::selectionChanged, this, &CanvasView::refreshSelectionArea);
    connect(&editorState->view(), &EditorViewState::cursorPixelChanged, this, cursorChanged);
    connect(editorState, &EditorState::brushSizeChanged, this, cursorChanged);
    connect(editorState, &EditorState::activeToolChanged, this, cursorChanged);
    connect(&editorState->playback(), &Playback::playingChanged, this, cursorChanged);
    connect(editorState, &EditorState::floatingPasteChanged, this, cursorChanged);
    AppSettings* settings = &AppSettings::shared();
    connect(settings, &AppSettings::gridOpacityChanged, this, redraw);
    connect(settings, &AppSettings::automaticGridChanged, this, redraw);
    connect(settings, &AppSettings::automaticGridZoomChanged, this, redraw);
    connect(settings, &AppSettings::showCheckerboardChanged, this, redraw);
    connect(settings, &AppSettings::onionSkinEnabledChanged, this, redraw);
    connect(settings, &AppSettings::onionSkinFramesBeforeChanged, this, redraw);
    connect(settings, &AppSettings::onionSkinFramesAfterChanged, this, redraw);
    connect(settings, &AppSettings::onionSkinOpacityChanged, this, redraw);
}

// ---------------------------------------------------------------------------------------------
// Geometry, zoom and invalidation

QPointF CanvasView::canvasOrigin() const {
    const Sprite& sprite = document->sprite();
    return CanvasGeometry::canvasOrigin(size(), sprite.width, sprite.height,
                                        editorState->view().zoom(),
                                        editorState->view().panOffset());
}

QRectF CanvasView::canvasRect() const {
    const Sprite& sprite = document->sprite();
    const double zoom = editorState->view().zoom();
    return {canvasOrigin(), QSizeF(double(sprite.width) * zoom, double(sprite.height) * zoom)};
}

PixelPoint CanvasView::pixelAt(QPointF point) const {
    return CanvasGeometry::pixelAt(point, canvasOrigin(), editorState->view().zoom());
}

QRect CanvasView::viewArea(const PixelRect& rect) const {
    // Clipped before rounding: a canvas panned far away must not overflow the integers.
    return CanvasGeometry::viewRect(rect, canvasOrigin(), editorState->view().zoom())
        .intersected(QRectF(this->rect()))
        .toAlignedRect();
}

void CanvasView::invalidate(std::optional<PixelRect> rect) {
    // A whole-view redraw needs no recompositing of its own: the composite notices by itself
    // when the frame, the size or the onion skin changed, and pixel edits come with their
    // rectangles.
    if (!rect) {
        update();
        return;
    }
    const PixelRect changed = rect->intersection(document->sprite().bounds());
    if (changed.isEmpty())
        return;
    picture.invalidate(changed);
    update(viewArea(changed));
}

void CanvasView::structureChanged() {
    picture.invalidateAll();
    update();
}

void CanvasView::setZoom(double zoom, std::optional<QPointF> focus) {
    zoomControl.setZoom(zoom, focus, size());
    update();
}

void CanvasView::fit() {
    zoomControl.fit(size());
    update();
}

void CanvasView::handleZoom(EditorViewState::ZoomIntent intent) {
    const QPointF focus = hoverPoint && rect().contains(hoverPoint->toPoint())
                              ? *hoverPoint
                              : QRectF(rect()).center();
    zoomControl.perform(intent, focus, size());
    update();
}

void CanvasView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!hasPerformedInitialFit && width() > 1 && height() > 1) {
        hasPerformedInitialFit = true;
        fit();
    }
    refreshCursorArea();
    refreshSelectionArea();
}

// ---------------------------------------------------------------------------------------------
// Compositing and painting

void CanvasView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    try {
        const CanvasComposite::Source source = CanvasSceneBuilder::compositeSource(*editorState);
        if (picture.needsRebuild(source))
            picture.rebuild(document->sprite(), source);
        const CanvasSceneBuilder::ViewFacts facts{canvasOrigin(), devicePixelRatioF(),
                                                  CanvasSceneBuilder::colors(palette()),
                                                  drawsOwnCursor()};
        CanvasPainter::paint(painter,
                             CanvasSceneBuilder::scene(*editorState, picture.image(), facts),
                             event->region(), deviceScratch);
    } catch (const std::bad_alloc&) {
        // Out of memory: the canvas stays blank, and the next repaint composites it anew.
        picture.invalidateAll();
        painter.fillRect(event->rect(), palette().window());
    }
}

void CanvasView::redrawChangedArea(QRegion& last, const QRegion& now) {
    if (last == now)
        return;
    update(last);
    update(now);
    last = now;
}

void CanvasView::refreshCursorArea() {
    const auto target = drawsOwnCursor()
                            ? CanvasSceneBuilder::cursorTarget(*editorState, canvasOrigin())
                            : std::nullopt;
    redrawChangedArea(cursorArea, target ? CanvasSceneBuilder::outlineRegion(
                                               CanvasGeometry::targetSquare(*target), rect())
                                         : QRegion());
}

void CanvasView::refreshSelectionArea() {
    const auto selection = CanvasSceneBuilder::selectionRect(*editorState, canvasOrigin());
    redrawChangedArea(selectionArea, selection
                                         ? CanvasSceneBuilder::outlineRegion(*selection, rect())
                                         : QRegion());
}

// ---------------------------------------------------------------------------------------------
// Pointer gestures

ToolModifiers CanvasView::modifiersFrom(Qt::KeyboardModifiers keys, bool secondaryButton) const {
    return {keys.testFlag(Qt::AltModifier), keys.testFlag(Qt::ShiftModifier),
            keys.testFlag(Qt::ControlModifier), secondaryButton};
}

void CanvasView::trackPointer(QPointF point) {
    hoverPoint = point;
    editorState->view().setCursorPixel(pixelAt(point));
}

void CanvasView::mousePressEvent(QMouseEvent* event) {
    event->accept();
    // A release taken by a popup never reaches us: a gesture whose button is up has ended.
    if (gestureButton != Qt::NoButton && !event->buttons().testFlag(gestureButton))
        endGesture(event->position(), event->modifiers());
    if (gestureButton != Qt::NoButton)
        return; // one gesture at a time: other buttons wait for its release
    setFocus(Qt::MouseFocusReason);
    const Qt::MouseButton button = event->button();
    const bool panKeys = isSpaceDown || event->modifiers().testFlag(Qt::ControlModifier);
    if (button == Qt::RightButton || (button == Qt::LeftButton && !panKeys))
        beginDrawing(event->position(), button, event->modifiers());
    else
        beginPan(event->position(), button);
}

void CanvasView::beginPan(QPointF point, Qt::MouseButton button) {
    gestureButton = button;
    isPanning = true;
    panAnchor = point;
    panStartOffset = editorState->view().panOffset();
    refreshCursor();
    refreshCursorArea();
}

void CanvasView::beginDrawing(QPointF point, Qt::MouseButton button, Qt::KeyboardModifiers keys) {
    gestureButton = button;
    isDrawingGesture = true;
    trackPointer(point);
    refreshCursor();
    editorState->pointerDown(pixelAt(point), modifiersFrom(keys, button == Qt::RightButton));
}

void CanvasView::mouseMoveEvent(QMouseEvent* event) {
    const QPointF point = event->position();
    if (isPanning) {
        hoverPoint = point;
        const QPointF moved = point - panAnchor;
        editorState->view().setPanOffset(
            {panStartOffset.width() + moved.x(), panStartOffset.height() + moved.y()});
    } else if (isDrawingGesture) {
        continueDrawing(point, event->modifiers());
    } else {
        hover(point);
    }
}

void CanvasView::continueDrawing(QPointF point, Qt::KeyboardModifiers keys) {
    trackPointer(point);
    editorState->pointerMoved(pixelAt(point),
                              modifiersFrom(keys, gestureButton == Qt::RightButton));
    refreshCursorArea();
}

void CanvasView::hover(QPointF point) {
    trackPointer(point);
    refreshCursor();
    refreshCursorArea();
}

void CanvasView::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != gestureButton)
        return;
    endGesture(event->position(), event->modifiers());
}

void CanvasView::endGesture(QPointF point, Qt::KeyboardModifiers keys) {
    const bool secondary = gestureButton == Qt::RightButton;
    gestureButton = Qt::NoButton;
    trackPointer(point);
    if (isPanning) {
        isPanning = false;
    } else if (isDrawingGesture) {
        isDrawingGesture = false;
        editorState->pointerUp(pixelAt(point), modifiersFrom(keys, secondary));
    }
    refreshCursor();
    refreshCursorArea();
}

void CanvasView::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    hoverPoint.reset();
    editorState->view().setCursorPixel(std::nullopt);
    showSystemCursor();
    refreshCursorArea();
}

// ---------------------------------------------------------------------------------------------
// Wheel and pinch

void CanvasView::wheelEvent(QWheelEvent* event) {
    event->accept();
    hoverPoint = event->position();
    zoomControl.scroll(*event, size());
    update();
}

bool CanvasView::event(QEvent* event) {
    if (event->type() == QEvent::NativeGesture) {
        pinch(static_cast<QNativeGestureEvent*>(event));
        return true;
    }
    return QWidget::event(event);
}

void CanvasView::pinch(QNativeGestureEvent* event) {
    if (event->gestureType() != Qt::ZoomNativeGesture)
        return;
    hoverPoint = event->position();
    zoomControl.pinch(event->value(), event->position(), size());
    update();
}

// ---------------------------------------------------------------------------------------------
// Keys

void CanvasView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
        return nudge(-1, 0);
    case Qt::Key_Right:
        return nudge(1, 0);
    case Qt::Key_Down:
        return nudge(0, 1);
    case Qt::Key_Up:
        return nudge(0, -1);
    case Qt::Key_Space:
        if (!event->isAutoRepeat()) {
            isSpaceDown = true;
            refreshCursor();
            refreshCursorArea();
        }
        return;
    case Qt::Key_Escape:
        return editorState->escape();
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!editorState->commitFloatingPaste())
            event->ignore();
        return;
    default:
        if (isModifierKey(event->key()))
            refreshCursor();
        QWidget::keyPressEvent(event);
    }
}

void CanvasView::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        isSpaceDown = false;
        refreshCursor();
        refreshCursorArea();
        return;
    }
    if (isModifierKey(event->key()))
        refreshCursor();
    QWidget::keyReleaseEvent(event);
}

void CanvasView::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    // The release of a Space held while focus left never reaches us.
    if (isSpaceDown) {
        isSpaceDown = false;
        refreshCursor();
        refreshCursorArea();
    }
}

void CanvasView::nudge(qint64 dx, qint64 dy) {
    if (const auto& paste = editorState->floatingPaste()) {
        editorState->setFloatingOrigin({paste->origin.x + dx, paste->origin.y + dy});
        return;
    }
    if (!editorState->selection() && editorState->activeTool() != ToolKind::move)
        return;
    editorState->nudgeContent(dx, dy);
}

// ---------------------------------------------------------------------------------------------
// The system cursor

bool CanvasView::drawsOwnCursor() const {
    const auto pixel = editorState->view().cursorPixel();
    return !editorState->playback().isPlaying() && !isPanning && !isSpaceDown && hoverPoint &&
           QRectF(rect()).contains(*hoverPoint) && pixel &&
           document->sprite().bounds().contains(*pixel);
}

bool CanvasView::isOverFloatingPaste() const {
    const auto& paste = editorState->floatingPaste();
    const auto pixel = editorState->view().cursorPixel();
    return paste && pixel && hoverPoint && paste->rect().contains(*pixel);
}

Qt::CursorShape CanvasView::cursorShape() const {
    if (isPanning)
        return Qt::ClosedHandCursor;
    if (isSpaceDown || isOverFloatingPaste())
        return Qt::OpenHandCursor;
    return Qt::CrossCursor;
}

void CanvasView::refreshCursor() {
    setCursor(drawsOwnCursor() ? Qt::BlankCursor : cursorShape());
}

void CanvasView::showSystemCursor() {
    setCursor(cursorShape());
}

void CanvasView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    setFocus(Qt::OtherFocusReason);
}

void CanvasView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    showSystemCursor();
}

void CanvasView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        showSystemCursor();
}
