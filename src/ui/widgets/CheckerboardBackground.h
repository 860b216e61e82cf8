#pragma once

#include <QPainter>
#include <QWidget>

// The small transparency pattern behind swatches and thumbnails: white, with every square
// whose column + row is odd in grey at 45 % opacity, counted from the top left.
class CheckerboardBackground : public QWidget {
    Q_OBJECT

public:
    static constexpr qreal defaultSquare = 4;

    explicit CheckerboardBackground(qreal square = defaultSquare, QWidget* parent = nullptr);

    qreal square() const { return side; }
    void setSquare(qreal square);

    // Paints the pattern into rect, starting its squares at the rect's top left. Clip the
    // painter first for rounded shapes.
    static void paint(QPainter& painter, const QRectF& rect, qreal square = defaultSquare);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    qreal side;
};
