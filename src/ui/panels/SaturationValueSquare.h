#pragma once

#include <QWidget>

// The saturation-value field of the colour inspector: the hue at full strength, whitened to
// the left and darkened to the bottom. A press or drag anywhere picks (x / width, 1 - y / height).
class SaturationValueSquare : public QWidget {
    Q_OBJECT

public:
    static constexpr int squareHeight = 108;

    explicit SaturationValueSquare(QWidget* parent = nullptr);

    QSize sizeHint() const override { return {200, squareHeight}; }

    // Show these values; none of them announces anything.
    void setHue(double hue);
    void setSaturationValue(double saturation, double value);

signals:
    void saturationValuePicked(double saturation, double value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void pick(QPointF point);

    double hue = 0;
    double saturation = 0;
    double value = 0;
};
