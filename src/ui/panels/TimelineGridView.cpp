#include "TimelineGridView.h"

#include "CheckerboardBackground.h"
#include "SymbolIcons.h"

#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace {

constexpr int celInset = 4;
constexpr int thumbnailSide = TimelineGridView::rowHeight - 2 * celInset;
constexpr int eyeSize = 12;

// The largest rectangle of the image's proportions centred in the frame.
QRect fitted(QSize image, const QRect& frame) {
    const double scale =
        std::min(double(frame.width()) / image.width(), double(frame.height()) / image.height());
    const QSize size(std::max(1, qRound(image.width() * scale)),
                     std::max(1, qRound(image.height() * scale)));
    return QRect(frame.center() - QPoint(size.width() / 2, size.height() / 2), size);
}

QColor highlightTint(const QPalette& palette, int alpha) {
    QColor color = palette.color(QPalette::Highlight);
    color.setAlpha(alpha);
    return color;
}

} // namespace

TimelineGridView::TimelineGridView(EditorState* editor, QWidget* parent)
    : QWidget(parent), editor(editor) {
    // Taking focus on a click ends any edit in the duration field, which commits it.
    setFocusPolicy(Qt::ClickFocus);
    shownSize = sizeHint();
    connect(editor->document(), &PixelDocument::changed, this, &TimelineGridView::documentChanged);
    connect(&editor->playback(), &Playback::frameChanged, this, qOverload<>(&QWidget::update));
    connect(&editor->playback(), &Playback::playingChanged, this, qOverload<>(&QWidget::update));
}

QSize TimelineGridView::sizeHint() const {
    return {nameWidth + int(frameCount()) * frameWidth, headerHeight + int(rowCount()) * rowHeight};
}

QRect TimelineGridView::headerRect(qint64 frame) const {
    return {nameWidth + int(frame) * frameWidth, 0, frameWidth, headerHeight};
}

QRect TimelineGridView::nameRect(qint64 row) const {
    return {0, headerHeight + int(row) * rowHeight, nameWidth, rowHeight};
}

QRect TimelineGridView::celRect(qint64 row, qint64 frame) const {
    return {nameWidth + int(frame) * frameWidth, headerHeight + int(row) * rowHeight, frameWidth,
            rowHeight};
}

TimelineGridView::Hit TimelineGridView::hitTest(QPoint point) const {
    const qint64 frame = point.x() >= nameWidth ? (point.x() - nameWidth) / frameWidth : -1;
    const qint64 row = point.y() >= headerHeight ? (point.y() - headerHeight) / rowHeight : -1;
    const bool onFrame = frame >= 0 && frame < frameCount();
    if (point.y() >= 0 && point.y() < headerHeight)
        return onFrame ? Hit{Hit::header, -1, frame} : Hit{};
    if (row < 0 || row >= rowCount())
        return {};
    if (point.x() >= 0 && point.x() < nameWidth)
        return {Hit::name, row, -1};
    return onFrame ? Hit{Hit::cel, row, frame} : Hit{};
}

void TimelineGridView::documentChanged() {
    if (sizeHint() != shownSize) {
        shownSize = sizeHint();
        updateGeometry();
    }
    update();
}

// --- input ---

void TimelineGridView::mousePressEvent(QMouseEvent* event) {
    cancelHeaderDrag();
    if (event->button() != Qt::LeftButton)
        return;
    const Hit hit = hitTest(event->position().toPoint());
    switch (hit.kind) {
    case Hit::header:
        pressedHeader = hit.frame;
        pressPosition = event->position().toPoint();
        break;
    case Hit::name:
        editor->selectLayer(sprite().layers[layerIndex(hit.row)].id);
        break;
    case Hit::cel:
        celClicked(hit.row, hit.frame);
        break;
    case Hit::nothing:
        break;
    }
}

void TimelineGridView::mouseMoveEvent(QMouseEvent* event) {
    if (!pressedHeader || !(event->buttons() & Qt::LeftButton))
        return;
    const QPoint position = event->position().toPoint();
    if (!dragging) {
        if ((position - pressPosition).manhattanLength() < QApplication::startDragDistance())
            return;
        dragging = pressedHeader;
        setCursor(Qt::ClosedHandCursor);
    }
    const Hit hit = hitTest(position);
    const auto target = hit.kind == Hit::header ? std::optional(hit.frame) : std::nullopt;
    if (target != dropTarget) {
        dropTarget = target;
        update();
    }
}

void TimelineGridView::mouseReleaseEvent(QMouseEvent* event) {
    const Hit hit = hitTest(event->position().toPoint());
    if (event->button() == Qt::LeftButton && hit.kind == Hit::header) {
        if (dragging)
            dropHeader(hit.frame);
        else if (pressedHeader == hit.frame)
            headerClicked(hit.frame);
    }
    cancelHeaderDrag();
}

void TimelineGridView::keyPressEvent(QKeyEvent* event) {
    if (dragging && event->key() == Qt::Key_Escape)
        cancelHeaderDrag();
    else
        QWidget::keyPressEvent(event);
}

void TimelineGridView::headerClicked(qint64 frame) {
    editor->activateFrame(frame);
}

void TimelineGridView::celClicked(qint64 row, qint64 frame) {
    editor->selectLayer(sprite().layers[layerIndex(row)].id);
    editor->activateFrame(frame);
}

void TimelineGridView::contextMenuEvent(QContextMenuEvent* event) {
    const Hit hit = hitTest(event->pos());
    if (hit.kind == Hit::header)
        headerMenu(hit.frame)->popup(event->globalPos());
}

// The frame commands act on the frame whose header was clicked, so that frame becomes the
// active one first.
QMenu* TimelineGridView::headerMenu(qint64 frame) {
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const auto onFrame = [this, frame](const std::function<void()>& command) {
        return [this, frame, command] {
            editor->activateFrame(frame);
            command();
        };
    };
    menu->addAction(tr("Duplicate Frame"), this,
                    onFrame([this] { editor->duplicateFrame(tr("Duplicate Frame")); }));
    menu->addAction(tr("New Empty Frame"), this, onFrame([this] { editor->addEmptyFrame(); }));
    menu->addAction(tr("Clear Frame"), this, onFrame([this] { editor->clearFrame(); }));
    menu->addSeparator();
    QAction* remove =
        menu->addAction(tr("Delete Frame"), this, [this, frame] { editor->deleteFrame(frame); });
    remove->setEnabled(frameCount() >= 2);
    return menu;
}

bool TimelineGridView::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const Hit hit = hitTest(help->pos());
    if (hit.kind == Hit::cel)
        QToolTip::showText(help->globalPos(), tr("Select that layer and frame together."), this,
                           celRect(hit.row, hit.frame));
    else
        QToolTip::hideText();
    return true;
}

// --- reordering by dragging a header ---

void TimelineGridView::cancelHeaderDrag() {
    const bool wasDragging = dragging.has_value();
    pressedHeader.reset();
    dragging.reset();
    dropTarget.reset();
    if (wasDragging) {
        unsetCursor();
        update();
    }
}

// Dropping a header on itself is no move and leaves no undo step.
void TimelineGridView::dropHeader(qint64 target) {
    if (dragging && *dragging != target)
        editor->moveFrame(*dragging, target);
}

// --- painting ---

void TimelineGridView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const qint64 displayed = editor->displayFrame();
    const auto activeLayer = sprite().activeLayerIndex();
    painter.fillRect(QRect(0, 0, width(), headerHeight), palette().color(QPalette::AlternateBase));
    for (qint64 frame = 0; frame < frameCount(); ++frame)
        paintHeader(painter, frame, frame == displayed);
    for (qint64 row = 0; row < rowCount(); ++row) {
        paintName(painter, row);
        const bool activeRow = activeLayer == layerIndex(row);
        for (qint64 frame = 0; frame < frameCount(); ++frame)
            paintCel(painter, row, frame, activeRow && frame == displayed);
    }
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(0, headerHeight - 1, width(), headerHeight - 1);
    if (dropTarget)
        paintDropMarker(painter, *dropTarget);
}

// Where the dragged frame will land: a bar on the side of the target it moves to.
void TimelineGridView::paintDropMarker(QPainter& painter, qint64 target) const {
    const QRect header = headerRect(target);
    const int x = dragging && *dragging < target ? header.right() - 1 : header.left();
    painter.fillRect(QRect(x, 0, 3, height()), palette().color(QPalette::Highlight));
}

void TimelineGridView::paintHeader(QPainter& painter, qint64 frame, bool displayed) const {
    const QRect rect = headerRect(frame);
    if (displayed)
        painter.fillRect(rect, palette().color(QPalette::Highlight));
    painter.setPen(palette().color(displayed ? QPalette::HighlightedText : QPalette::WindowText));
    painter.drawText(rect, Qt::AlignCenter, QString::number(frame + 1));
}

void TimelineGridView::paintName(QPainter& painter, qint64 row) const {
    const Layer& layer = sprite().layers[layerIndex(row)];
    const QRect rect = nameRect(row);
    const QRect eye(rect.left() + 6, rect.center().y() - eyeSize / 2, eyeSize, eyeSize);
    const QString symbol = layer.isVisible ? QStringLiteral("eye") : QStringLiteral("eye.slash");
    SymbolIcons::icon(symbol, palette(), eyeSize).paint(&painter, eye);
    const QRect text = rect.adjusted(eye.right() + 6, 0, -4, 0);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(text, Qt::AlignVCenter | Qt::AlignLeft,
                     fontMetrics().elidedText(layer.name, Qt::ElideRight, text.width()));
    painter.setPen(palette().color(QPalette::Midlight));
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());
}

void TimelineGridView::paintCel(QPainter& painter, qint64 row, qint64 frame, bool active) {
    const QRect cell = celRect(row, frame);
    const TimelineThumbnailCache::Key key{sprite().layers[layerIndex(row)].id, frame};
    const QImage image =
        thumbnails.thumbnail(sprite(), key, editor->document()->revision(), thumbnailSide);
    if (active)
        painter.fillRect(cell, highlightTint(palette(), 60));
    if (!image.isNull()) {
        const QRect target =
            fitted(image.size(), cell.adjusted(celInset, celInset, -celInset, -celInset));
        CheckerboardBackground::paint(painter, target);
        painter.drawImage(target, image);
    }
    painter.setPen(palette().color(QPalette::Midlight));
    painter.drawLine(cell.topRight(), cell.bottomRight());
    painter.drawLine(cell.bottomLeft(), cell.bottomRight());
    if (active) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRect(cell.adjusted(1, 1, -1, -1));
    }
}
