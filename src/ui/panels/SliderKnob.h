#pragma once

#include <QPainter>
#include <QPointF>

// The round handle of the hue and alpha strips, also the marker of the saturation-value square.
namespace SliderKnob {

void paint(QPainter& painter, QPointF centre, qreal diameter);

} // namespace SliderKnob
