#pragma once

#include "ColorStrip.h"
#include "PixelColor.h"

// The alpha strip: over a checkerboard, the base colour from transparent to opaque.
class AlphaSlider : public ColorStrip {
    Q_OBJECT

public:
    explicit AlphaSlider(QWidget* parent = nullptr);

    double alpha() const { return opacity; }
    void setAlpha(double alpha); // shows it; announces nothing
    PixelColor base() const { return baseColor; }
    void setBase(PixelColor opaqueColor);

signals:
    void alphaPicked(double alpha);

protected:
    void paintTrack(QPainter& painter, const QRectF& track) override;
    double knobFraction() const override { return opacity; }

private:
    double opacity = 1;
    PixelColor baseColor{0xFF000000};
};
