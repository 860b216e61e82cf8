#include "SaturationValueSquare.h"

#include "SliderKnob.h"
#include "PixelColor.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace {

constexpr qreal markerDiameter = 12;

} // namespace

SaturationValueSquare::SaturationValueSquare(QWidget* parent) : QWidget(parent) {
    setFixedHeight(squareHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setCursor(Qt::CrossCursor);
}

void SaturationValueSquare::setHue(double newHue) {
    if (hue == newHue)
        return;
    hue = newHue;
    update();
}

void SaturationValueSquare::setSaturationValue(double newSaturation, double newValue) {
    if (saturation == newSaturation && value == newValue)
        return;
    saturation = newSaturation;
    value = newValue;
    update();
}

void SaturationValueSquare::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = rect();
    QPainterPath shape;
    shape.addRoundedRect(area, 4, 4);
    painter.save();
    painter.setClipPath(shape);
    painter.fillRect(area, PixelColor::fromHsv(hue, 1, 1, 255).toQColor());
    QLinearGradient whitening(area.topLeft(), area.topRight());
    whitening.setColorAt(0, Qt::white);
    whitening.setColorAt(1, QColor(255, 255, 255, 0));
    painter.fillRect(area, whitening);
    QLinearGradient darkening(area.topLeft(), area.bottomLeft());
    darkening.setColorAt(0, QColor(0, 0, 0, 0));
    darkening.setColorAt(1, Qt::black);
    painter.fillRect(area, darkening);
    painter.restore();
    // Kept whole inside the field, so pure hues and black do not hide it in a corner.
    const qreal radius = markerDiameter / 2;
    const QPointF marker(std::clamp(saturation * width(), radius, width() - radius),
                         std::clamp((1 - value) * height(), radius, height() - radius));
    SliderKnob::paint(painter, marker, markerDiameter);
}

void SaturationValueSquare::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        pick(event->position());
}

void SaturationValueSquare::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton)
        pick(event->position());
}

void SaturationValueSquare::pick(QPointF point) {
    const double s = std::clamp(point.x() / std::max(width(), 1), 0.0, 1.0);
    const double v = 1 - std::clamp(point.y() / std::max(height(), 1), 0.0, 1.0);
    emit saturationValuePicked(s, v);
}
