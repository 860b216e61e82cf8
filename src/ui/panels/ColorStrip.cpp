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

QRectF ColorStrip::trackRect() const {
    const qreal knobRadius = height() / 2.0;
    return QRectF(rect()).adjusted(knobRadius, 0, -knobRadius, 0);
}

void ColorStrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF track = trackRect();
    QPainterPath shape;
    shape.addRoundedRect(track, height() / 2.0, height() / 2.0);
    painter.save();
    painter.setClipPath(shape);
    paintTrack(painter, track);
    painter.restore();
    const QPointF knob(track.left() + knobFraction() * track.width(), height() / 2.0);
    SliderKnob::paint(painter, knob, height());
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
    const QRectF track = trackRect();
    const double x = std::clamp(event->position().x() - track.left(), 0.0, track.width());
    emit fractionPicked(x / std::max(track.width(), 1.0));
}
