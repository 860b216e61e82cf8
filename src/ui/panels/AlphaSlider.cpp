#include "AlphaSlider.h"

#include "CheckerboardBackground.h"

#include <QLinearGradient>
#include <QPainter>

AlphaSlider::AlphaSlider(QWidget* parent) : ColorStrip(parent) {
    connect(this, &ColorStrip::fractionPicked, this, &AlphaSlider::alphaPicked);
}

void AlphaSlider::setAlpha(double alpha) {
    if (opacity == alpha)
        return;
    opacity = alpha;
    update();
}

void AlphaSlider::setBase(PixelColor opaqueColor) {
    if (baseColor == opaqueColor)
        return;
    baseColor = opaqueColor;
    update();
}

void AlphaSlider::paintTrack(QPainter& painter, const QRectF& track) {
    CheckerboardBackground::paint(painter, track, track.height() / 2);
    QColor clear = baseColor.toQColor();
    clear.setAlpha(0);
    QLinearGradient gradient(track.topLeft(), track.topRight());
    gradient.setColorAt(0, clear);
    gradient.setColorAt(1, baseColor.toQColor());
    painter.fillRect(track, gradient);
}
