#include "HueSlider.h"

#include "PixelColor.h"

#include <QLinearGradient>
#include <QPainter>

HueSlider::HueSlider(QWidget* parent) : ColorStrip(parent) {
    connect(this, &ColorStrip::fractionPicked, this,
            [this](double fraction) { emit huePicked(fraction * 360); });
}

void HueSlider::setHue(double hue) {
    if (degrees == hue)
        return;
    degrees = hue;
    update();
}

void HueSlider::paintTrack(QPainter& painter, const QRectF& track) {
    QLinearGradient gradient(track.topLeft(), track.topRight());
    for (int stop = 0; stop <= 12; ++stop)
        gradient.setColorAt(stop / 12.0, PixelColor::fromHsv(stop * 30, 1, 1, 255).toQColor());
    painter.fillRect(track, gradient);
}
