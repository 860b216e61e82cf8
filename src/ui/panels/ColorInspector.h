#pragma once

#include "EditorState.h"

#include <QLineEdit>
#include <QPointer>
#include <QWidget>
#include <array>
#include <optional>

class AlphaSlider;
class HueSlider;
class SaturationValueSquare;

// Edits the primary colour through a saturation-value square, hue and alpha strips, a hex
// field and R, G, B, A fields, all kept in step. Colour edits are not undo steps.
class ColorInspector : public QWidget {
    Q_OBJECT

public:
    enum Channel { red, green, blue, alpha };

    explicit ColorInspector(EditorState* editor, QWidget* parent = nullptr);

    double hue() const { return m_hue; }
    double saturation() const { return m_saturation; }
    double value() const { return m_value; }
    double alphaFraction() const { return m_alpha; }

    SaturationValueSquare* saturationValueSquare() const { return square; }
    HueSlider* hueSlider() const { return hueStrip; }
    AlphaSlider* alphaSlider() const { return alphaStrip; }
    QLineEdit* hexField() const { return hex; }
    QLineEdit* channelField(Channel channel) const { return channels[channel]; }

private:
    QWidget* makeHexRow();
    QWidget* makeChannelRow();

    // Sets every control from a colour. Greys, black and white keep the hue shown before.
    void syncFromColor(PixelColor color);
    // Writes hue, saturation, value and alpha to the primary colour (not while syncing).
    void commitHSV();
    void commitHex();
    void commitChannel(Channel channel);
    void updateChannel(Channel channel, int amount);
    void setPrimary(PixelColor color);
    void showColor(PixelColor color);

    QPointer<EditorState> editor;
    double m_hue = 0;
    double m_saturation = 0;
    double m_value = 0;
    double m_alpha = 1;
    bool isSyncing = false;

    SaturationValueSquare* square;
    HueSlider* hueStrip;
    AlphaSlider* alphaStrip;
    QLineEdit* hex = nullptr;
    std::array<QLineEdit*, 4> channels{};
};
