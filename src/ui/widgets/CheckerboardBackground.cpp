#include "CheckerboardBackground.h"

#include <cmath>

CheckerboardBackground::CheckerboardBackground(qreal square, QWidget* parent)
    : QWidget(parent), side(square) {}

void CheckerboardBackground::setSquare(qreal square) {
    if (side == square)
        return;
    side = square;
    update();
}

void CheckerboardBackground::paint(QPainter& painter, const QRectF& rect, qreal square) {
    painter.fillRect(rect, Qt::white);
    if (square <= 0)
        return;
    QColor grey(128, 128, 128);
    grey.setAlphaF(0.45f);
    const qint64 columns = qint64(std::ceil(rect.width() / square));
    const qint64 rows = qint64(std::ceil(rect.height() / square));
    for (qint64 row = 0; row < rows; ++row) {
        for (qint64 column = (row % 2 == 0) ? 1 : 0; column < columns; column += 2) {
            const QRectF cell(rect.x() + column * square, rect.y() + row * square, square, square);
            painter.fillRect(cell.intersected(rect), grey);
        }
    }
}

void CheckerboardBackground::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paint(painter, rect(), side);
}
