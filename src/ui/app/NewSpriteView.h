#pragma once

#include "PixelColor.h"
#include "Sprite.h"

#include <QDialog>
#include <functional>

class QComboBox;
class QPushButton;
class QSpinBox;

// The sheet that asks a new blank document for its canvas size and background. It opens with
// the size used last and remembers the size it creates; cancelling keeps the remembered size.
class NewSpriteView : public QDialog {
    Q_OBJECT

public:
    enum class Background { transparent, white, custom };

    static constexpr qint64 minimumSide = 1;
    static constexpr qint64 maximumSide = 2048;

    explicit NewSpriteView(QWidget* parent = nullptr);

    std::function<void(Sprite)> onCreate;
    std::function<void()> onCancel;
    // The "Open…" button and Ctrl+O: the user wants an existing project instead.
    std::function<void()> onOpen;

    qint64 spriteWidth() const;
    qint64 spriteHeight() const;
    void setSpriteSize(qint64 width, qint64 height);
    Background background() const;
    void setBackground(Background background);
    PixelColor customColor() const { return custom; }
    void setCustomColor(PixelColor color);

    // Clamps the size, remembers it, builds the sprite, hands it to onCreate and closes.
    void create();
    // Escape, the Cancel button and closing the sheet all end here.
    void reject() override;

    static const QList<qint64>& presets();
    static QString title(Background background);
    // Transparent black, opaque white, or the custom colour.
    static PixelColor fillColor(Background background, PixelColor custom);
    // A sprite of the size, clamped to 1...2048 a side: the default palette, one visible
    // "Layer 1", one 100 ms frame; its cel filled with the colour unless that is transparent.
    static Sprite makeSprite(qint64 width, qint64 height, PixelColor fill);

private:
    QWidget* makePresetRow();
    QWidget* makeForm();
    void chooseCustomColor();
    void showBackgroundChoice();

    QSpinBox* widthField = nullptr;
    QSpinBox* heightField = nullptr;
    QComboBox* backgroundPicker = nullptr;
    QPushButton* colorButton = nullptr;
    PixelColor custom{0xFF808080};
};
