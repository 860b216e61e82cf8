#include "ColorWellPair.h"

#include "CheckerboardBackground.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

ColorWellPair::ColorWellPair(EditorState* editor, int swatchSize, int overlap, QWidget* parent)
    : QWidget(parent), editor(editor), swatchSize(swatchSize), overlap(overlap) {
    setFixedSize(sizeHint());
    setToolTip(tr("Primary and secondary color \u2014 click to swap (X)"));
    connect(editor, &EditorState::primaryColorChanged, this, qOverload<>(&QWidget::update));
    connect(editor, &EditorState::secondaryColorChanged, this, qOverload<>(&QWidget::update));
}

QSize ColorWellPair::sizeHint() const {
    return {swatchSize + overlap, swatchSize + overlap};
}

QRect ColorWellPair::primaryWellRect() const {
    return {0, 0, swatchSize, swatchSize};
}

QRect ColorWellPair::secondaryWellRect() const {
    return {overlap, overlap, swatchSize, swatchSize};
}

void ColorWellPair::paintEvent(QPaintEvent*) {
    if (!editor)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    paintWell(painter, secondaryWellRect(), editor->secondaryColor());
    paintWell(painter, primaryWellRect(), editor->primaryColor());
}

void ColorWellPair::paintWell(QPainter& painter, const QRect& well, PixelColor color) const {
    QPainterPath shape;
    shape.addRoundedRect(QRectF(well).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    painter.save();
    painter.setClipPath(shape);
    CheckerboardBackground::paint(painter, well);
    painter.fillRect(well, color.toQColor());
    painter.restore();
    QColor edge = palette().color(QPalette::WindowText);
    edge.setAlphaF(0.25f);
    painter.setPen(QPen(edge, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(shape);
}

void ColorWellPair::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && editor)
        editor->swapColors();
}
