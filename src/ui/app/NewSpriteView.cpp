#include "NewSpriteView.h"

#include "AppSettings.h"

#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <algorithm>

namespace {

const QList<NewSpriteView::Background> backgrounds = {NewSpriteView::Background::transparent,
                                                      NewSpriteView::Background::white,
                                                      NewSpriteView::Background::custom};

// Wide enough to take any typed number, so that an oversized entry is clamped on Create
// rather than refused while typing. The remembered size shows as a new sprite gets it.
QSpinBox* sizeField(qint64 value) {
    auto* field = new QSpinBox;
    field->setRange(0, 99999);
    field->setValue(int(std::clamp<qint64>(value, 1, NewSpriteView::maximumSide)));
    field->setFixedWidth(80);
    return field;
}

QWidget* withUnit(QWidget* field, const QString& unit) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(field);
    layout->addWidget(new QLabel(unit));
    layout->addStretch();
    return row;
}

QIcon swatch(PixelColor color) {
    QPixmap pixmap(16, 16);
    pixmap.fill(color.toQColor());
    return QIcon(pixmap);
}

} // namespace

NewSpriteView::NewSpriteView(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("New Sprite"));
    setWindowModality(Qt::WindowModal);
    auto* buttons = new QDialogButtonBox;
    buttons->addButton(QDialogButtonBox::Cancel);
    QPushButton* createButton = buttons->addButton(tr("Create"), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &NewSpriteView::create);
    connect(buttons, &QDialogButtonBox::rejected, this, &NewSpriteView::reject);
    // The first window of a launch is this sheet: opening a project must be reachable from it.
    QPushButton* openButton = buttons->addButton(tr("Open…"), QDialogButtonBox::ActionRole);
    const auto openInstead = [this] {
        if (onOpen)
            onOpen();
    };
    connect(openButton, &QPushButton::clicked, this, openInstead);
    connect(new QShortcut(QKeySequence::Open, this), &QShortcut::activated, this, openInstead);

    auto* column = new QVBoxLayout(this);
    column->addWidget(new QLabel(tr("Preset")));
    column->addWidget(makePresetRow());
    column->addWidget(makeForm());
    column->addWidget(buttons);
    // Only a button inside its dialog can be the dialog's default.
    createButton->setDefault(true);
    // A size can be typed straight away: the width is selected, Tab leads to the height.
    widthField->setFocus();
    widthField->selectAll();
}

QWidget* NewSpriteView::makePresetRow() {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    for (qint64 side : presets()) {
        auto* button = new QPushButton(QString::number(side));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, side] { setSpriteSize(side, side); });
        layout->addWidget(button);
    }
    return row;
}

QWidget* NewSpriteView::makeForm() {
    const AppSettings& settings = AppSettings::shared();
    widthField = sizeField(settings.defaultNewWidth());
    heightField = sizeField(settings.defaultNewHeight());
    backgroundPicker = new QComboBox;
    backgroundPicker->setFixedWidth(130);
    for (Background background : backgrounds)
        backgroundPicker->addItem(title(background));
    colorButton = new QPushButton(tr("Color…"));
    colorButton->setAutoDefault(false);
    colorButton->setIcon(swatch(custom));
    connect(colorButton, &QPushButton::clicked, this, &NewSpriteView::chooseCustomColor);
    connect(backgroundPicker, &QComboBox::currentIndexChanged, this,
            &NewSpriteView::showBackgroundChoice);

    auto* backgroundRow = new QWidget;
    auto* rowLayout = new QHBoxLayout(backgroundRow);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    rowLayout->addWidget(backgroundPicker);
    rowLayout->addWidget(colorButton);
    rowLayout->addStretch();

    auto* form = new QWidget;
    auto* layout = new QFormLayout(form);
    layout->setContentsMargins(0, 8, 0, 8);
    layout->addRow(tr("Width"), withUnit(widthField, tr(" px")));
    layout->addRow(tr("Height"), withUnit(heightField, tr(" px")));
    layout->addRow(tr("Background"), backgroundRow);
    showBackgroundChoice();
    return form;
}

qint64 NewSpriteView::spriteWidth() const {
    return widthField->value();
}

qint64 NewSpriteView::spriteHeight() const {
    return heightField->value();
}

void NewSpriteView::setSpriteSize(qint64 width, qint64 height) {
    widthField->setValue(int(std::clamp<qint64>(width, 0, widthField->maximum())));
    heightField->setValue(int(std::clamp<qint64>(height, 0, heightField->maximum())));
}

NewSpriteView::Background NewSpriteView::background() const {
    return backgrounds.value(backgroundPicker->currentIndex(), Background::transparent);
}

void NewSpriteView::setBackground(Background background) {
    backgroundPicker->setCurrentIndex(int(backgrounds.indexOf(background)));
}

void NewSpriteView::setCustomColor(PixelColor color) {
    custom = color;
    colorButton->setIcon(swatch(color));
}

void NewSpriteView::chooseCustomColor() {
    const QColor chosen = QColorDialog::getColor(custom.toQColor(), this, tr("Background Color"),
                                                 QColorDialog::ShowAlphaChannel);
    if (chosen.isValid())
        setCustomColor(PixelColor::fromQColor(chosen));
}

void NewSpriteView::showBackgroundChoice() {
    colorButton->setVisible(background() == Background::custom);
}

void NewSpriteView::create() {
    const qint64 width = std::clamp(spriteWidth(), minimumSide, maximumSide);
    const qint64 height = std::clamp(spriteHeight(), minimumSide, maximumSide);
    AppSettings& settings = AppSettings::shared();
    settings.setDefaultNewWidth(width);
    settings.setDefaultNewHeight(height);
    const Sprite sprite = makeSprite(width, height, fillColor(background(), custom));
    if (onCreate)
        onCreate(sprite);
    QDialog::accept();
}

void NewSpriteView::reject() {
    if (onCancel)
        onCancel();
    QDialog::reject();
}

const QList<qint64>& NewSpriteView::presets() {
    static const QList<qint64> sides = {8, 16, 24, 32, 48, 64, 128, 256};
    return sides;
}

QString NewSpriteView::title(Background background) {
    switch (background) {
    case Background::white:
        return tr("White");
    case Background::custom:
        return tr("Custom");
    case Background::transparent:
        break;
    }
    return tr("Transparent");
}

PixelColor NewSpriteView::fillColor(Background background, PixelColor custom) {
    switch (background) {
    case Background::white:
        return PixelColor(0xFFFFFFFF);
    case Background::custom:
        return custom;
    case Background::transparent:
        break;
    }
    return PixelColor(0);
}

Sprite NewSpriteView::makeSprite(qint64 width, qint64 height, PixelColor fill) {
    Sprite sprite = Sprite::blank(std::clamp(width, minimumSide, maximumSide),
                                  std::clamp(height, minimumSide, maximumSide));
    if (fill.alpha() != 0) {
        sprite.ensureCel(0, 0);
        sprite.layers[0].cels[0]->fill(fill.raw);
    }
    return sprite;
}
