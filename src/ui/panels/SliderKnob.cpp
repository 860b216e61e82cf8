#include "SliderKnob.h"

namespace SliderKnob {

// A white ring with a dark edge reads on every colour the strips can show.
void paint(QPainter& painter, QPointF centre, qreal diameter) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal radius = diameter / 2 - 1;
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0, 0, 0, 110), 3.5));
    painter.drawEllipse(centre, radius, radius);
    painter.setPen(QPen(Qt::white, 2));
    painter.drawEllipse(centre, radius, radius);
    painter.restore();
}

} // namespace SliderKnob
