#include "PaletteSwatchGrid.h"

#include "CheckerboardBackground.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QHelpEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>
#include <algorithm>

namespace {

constexpr qreal cornerRadius = 3;
constexpr int pitch = PaletteSwatchGrid::swatchSide + PaletteSwatchGrid::spacing;

} // namespace

PaletteSwatchGrid::PaletteSwatchGrid(EditorState* editor, QWidget* parent)
    : QWidget(parent), runDrag([](QDrag& drag) { drag.exec(Qt::MoveAction); }), editor(editor) {
    setAcceptDrops(true);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    connect(editor->document(), &PixelDocument::changed, this, [this] {
        updateGeometry();
        update();
    });
    connect(editor, &EditorState::primaryColorChanged, this, qOverload<>(&QWidget::update));
}

const QList<PixelColor>& PaletteSwatchGrid::colors() const {
    return editor->document()->sprite().palette.colors;
}

qint64 PaletteSwatchGrid::columnsFor(int width) {
    return std::max<qint64>(1, (width + spacing) / pitch);
}

qint64 PaletteSwatchGrid::columnCount() const {
    return columnsFor(width());
}

int PaletteSwatchGrid::heightForWidth(int width) const {
    const qint64 rows = (colors().size() + columnsFor(width) - 1) / columnsFor(width);
    return int(std::max<qint64>(0, rows * pitch - spacing));
}

QSize PaletteSwatchGrid::sizeHint() const {
    const int width = 8 * pitch - spacing;
    return {width, heightForWidth(width)};
}

QSize PaletteSwatchGrid::minimumSizeHint() const {
    return {swatchSide, 0};
}

QRect PaletteSwatchGrid::swatchRect(qint64 index) const {
    const qint64 columns = columnCount();
    return {int(index % columns) * pitch, int(index / columns) * pitch, swatchSide, swatchSide};
}

std::optional<qint64> PaletteSwatchGrid::swatchAt(QPoint point) const {
    if (point.x() < 0 || point.y() < 0)
        return std::nullopt;
    const qint64 column = point.x() / pitch;
    const qint64 index = point.y() / pitch * columnCount() + column;
    if (column >= columnCount() || index >= colors().size() || !swatchRect(index).contains(point))
        return std::nullopt;
    return index;
}

void PaletteSwatchGrid::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    for (qint64 index = 0; index < colors().size(); ++index)
        paintSwatch(painter, index);
}

void PaletteSwatchGrid::paintSwatch(QPainter& painter, qint64 index) const {
    const PixelColor color = colors()[index];
    const QRectF square = swatchRect(index);
    QPainterPath shape;
    shape.addRoundedRect(square, cornerRadius, cornerRadius);
    painter.save();
    painter.setClipPath(shape);
    CheckerboardBackground::paint(painter, square);
    painter.fillRect(square, color.toQColor());
    painter.restore();

    const bool isPrimary = color == editor->primaryColor();
    QColor edge =
        isPrimary ? palette().color(QPalette::Highlight) : palette().color(QPalette::WindowText);
    if (!isPrimary)
        edge.setAlphaF(0.18f);
    const qreal lineWidth = isPrimary ? 2 : 1;
    const qreal inset = lineWidth / 2;
    painter.setPen(QPen(edge, lineWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(square.adjusted(inset, inset, -inset, -inset), cornerRadius,
                            cornerRadius);
}

bool PaletteSwatchGrid::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (const auto index = swatchAt(help->pos()))
            QToolTip::showText(help->globalPos(), colors()[*index].hexString(), this,
                               swatchRect(*index));
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void PaletteSwatchGrid::mousePressEvent(QMouseEvent* event) {
    pressedIndex = swatchAt(event->position().toPoint());
    pressPosition = event->position().toPoint();
}

// The colour is chosen on release, so a swatch dragged to a new place does not become primary.
void PaletteSwatchGrid::mouseReleaseEvent(QMouseEvent* event) {
    const auto pressed = pressedIndex;
    pressedIndex.reset();
    if (event->button() == Qt::LeftButton && pressed &&
        swatchAt(event->position().toPoint()) == pressed)
        editor->setPrimaryColor(colors()[*pressed]);
}

void PaletteSwatchGrid::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) || !pressedIndex ||
        (event->position().toPoint() - pressPosition).manhattanLength() <
            QApplication::startDragDistance())
        return;
    const qint64 index = *pressedIndex;
    pressedIndex.reset();
    startDrag(index);
}

void PaletteSwatchGrid::startDrag(qint64 index) {
    dragging = index;
    QDrag drag(this);
    auto* payload = new QMimeData;
    payload->setText(QString::number(index));
    drag.setMimeData(payload);
    QPixmap picture(swatchSide, swatchSide);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.fillRect(picture.rect(), colors()[index].toQColor());
    painter.end();
    drag.setPixmap(picture);
    runDrag(drag);
    // However the drag ended, a later drop from elsewhere must not reorder anything.
    dragging.reset();
}

void PaletteSwatchGrid::contextMenuEvent(QContextMenuEvent* event) {
    const auto index = swatchAt(event->pos());
    if (!index)
        return;
    const PixelColor color = colors()[*index];
    const qint64 position = *index;
    QMenu menu(this);
    QPointer<EditorState> target = editor;
    menu.addAction(tr("Set as Primary"), this, [target, color] {
        if (target)
            target->setPrimaryColor(color);
    });
    menu.addAction(tr("Set as Secondary"), this, [target, color] {
        if (target)
            target->setSecondaryColor(color);
    });
    menu.addSeparator();
    menu.addAction(tr("Remove"), this, [target, position] {
        if (target)
            target->removePaletteColor(position);
    });
    menu.exec(event->globalPos());
}

void PaletteSwatchGrid::dragEnterEvent(QDragEnterEvent* event) {
    if (dragging && event->mimeData()->hasText())
        event->acceptProposedAction();
    else
        event->ignore();
}

void PaletteSwatchGrid::dragMoveEvent(QDragMoveEvent* event) {
    const auto target = swatchAt(event->position().toPoint());
    if (dragging && target && *target != *dragging)
        event->acceptProposedAction();
    else
        event->ignore();
}

void PaletteSwatchGrid::dropEvent(QDropEvent* event) {
    const auto target = swatchAt(event->position().toPoint());
    const auto source = dragging;
    dragging.reset();
    if (!source || !target || *source == *target) {
        event->ignore();
        return;
    }
    editor->movePaletteColor(*source, *target);
    event->acceptProposedAction();
}
