#include "ColorStrip.h"

#include "SliderKnob.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

ColorStrip::ColorStrip(QWidget* parent) : QWidget(parent) {
    setFixedHeight(stripHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
}

void ColorStrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF track = rect();
    QPainterPath shape;
    shape.addRoundedRect(track, height() / 2.0, height() / 2.0);
    painter.save();
    painter.setClipPath(shape);
    paintTrack(painter, track);
    painter.restore();
    SliderKnob::paint(painter, QPointF(knobFraction() * width(), height() / 2.0), height());
}

void ColorStrip::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        pick(event);
}

void ColorStrip::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton)
        pick(event);
}

void ColorStrip::pick(QMouseEvent* event) {
    const double x = std::clamp(event->position().x(), 0.0, double(width()));
    emit fractionPicked(x / std::max(width(), 1));
}
