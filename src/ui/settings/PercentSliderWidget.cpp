#include "PercentSliderWidget.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <algorithm>
#include <cmath>

namespace {

// Slider positions per whole fraction: fine enough to move continuously.
constexpr double steps = 1000;

// Stored values are not range-checked: a hand-edited one may be huge or not a number.
double bounded(double value) {
    return std::isfinite(value) ? std::clamp(value, -1e6, 1e6) : 0;
}

// Opacities are drawn within 0…1 (nothing for a value that is not a number), whatever is
// stored; the control shows the value as it is drawn.
double asDrawn(double fraction) {
    return std::isnan(fraction) ? 0.0 : std::clamp(fraction, 0.0, 1.0);
}

int position(double fraction) {
    return int(std::lround(bounded(fraction) * steps));
}

} // namespace

PercentSliderWidget::PercentSliderWidget(double minimum, double maximum, QWidget* parent)
    : QWidget(parent), track(new QSlider(Qt::Horizontal)), text(new QLabel) {
    track->setRange(position(minimum), position(maximum));
    track->setSingleStep(int(steps / 100));
    track->setPageStep(int(steps / 20));
    text->setFixedWidth(valueWidth);
    text->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(track, 1);
    layout->addWidget(text);
    connect(track, &QSlider::valueChanged, this, [this](int at) {
        current = at / steps;
        text->setText(percentText(current));
        emit valueChanged(current);
    });
}

QString PercentSliderWidget::percentText(double fraction) {
    return tr("%1%").arg(std::llround(bounded(fraction) * 100));
}

void PercentSliderWidget::setValue(double fraction) {
    current = asDrawn(fraction);
    const QSignalBlocker quiet(track);
    track->setValue(position(current));
    text->setText(percentText(current));
}
