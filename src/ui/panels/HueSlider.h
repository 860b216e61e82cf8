#pragma once

#include "ColorStrip.h"

// The hue strip: the opaque colours of hue 0, 30 ... 360 at full saturation and value.
class HueSlider : public ColorStrip {
    Q_OBJECT

public:
    explicit HueSlider(QWidget* parent = nullptr);

    double hue() const { return degrees; }
    void setHue(double hue); // shows it; announces nothing

signals:
    void huePicked(double hue);

protected:
    void paintTrack(QPainter& painter, const QRectF& track) override;
    double knobFraction() const override { return degrees / 360; }

private:
    double degrees = 0;
};
