#pragma once

#include <QWidget>

// A thin horizontal strip with a knob: a press or drag anywhere on it (no minimum distance)
// picks the fraction clamp(x, 0, width) / max(width, 1) along its track. The track leaves half
// a knob free at either end, so the knob is whole at 0 and at 1. Subclasses paint the track.
class ColorStrip : public QWidget {
    Q_OBJECT

public:
    static constexpr int stripHeight = 14;

    explicit ColorStrip(QWidget* parent = nullptr);

    QSize sizeHint() const override { return {200, stripHeight}; }
    QRectF trackRect() const;

signals:
    void fractionPicked(double fraction);

protected:
    virtual void paintTrack(QPainter& painter, const QRectF& track) = 0;
    // Where the knob sits, 0...1 along the strip.
    virtual double knobFraction() const = 0;

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void pick(QMouseEvent* event);
};
