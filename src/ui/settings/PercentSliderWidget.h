#pragma once

#include <QWidget>

class QLabel;
class QSlider;

// A slider over a fraction with its value beside it as a whole percentage ("25%").
class PercentSliderWidget : public QWidget {
    Q_OBJECT

public:
    static constexpr int valueWidth = 40;

    PercentSliderWidget(double minimum, double maximum, QWidget* parent = nullptr);

    // "25%" for 0.25: the fraction times 100, rounded to a whole number.
    static QString percentText(double fraction);

    double value() const { return current; }
    // Shows a value without announcing it, as it is drawn: within 0…1 (0 for no number).
    void setValue(double fraction);

    QSlider* slider() const { return track; }
    QLabel* valueLabel() const { return text; }

signals:
    // The user moved the slider.
    void valueChanged(double fraction);

private:
    QSlider* track;
    QLabel* text;
    double current = 0;
};
