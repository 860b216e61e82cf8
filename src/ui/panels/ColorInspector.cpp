#include "ColorInspector.h"

#include "AlphaSlider.h"
#include "EditingTextTracker.h"
#include "HueSlider.h"
#include "SaturationValueSquare.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

QLabel* caption(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * 0.85);
    label->setFont(font);
    label->setForegroundRole(QPalette::PlaceholderText);
    return label;
}

int channelOf(PixelColor color, ColorInspector::Channel channel) {
    switch (channel) {
    case ColorInspector::red:
        return color.red();
    case ColorInspector::green:
        return color.green();
    case ColorInspector::blue:
        return color.blue();
    case ColorInspector::alpha:
        return color.alpha();
    }
    return 0;
}

// A whole number, with the typographic minus accepted; absent when it is not one.
std::optional<qint64> parseWholeNumber(QString text) {
    text = text.trimmed().replace(QChar(0x2212), QLatin1Char('-'));
    bool ok = false;
    const qint64 number = text.toLongLong(&ok);
    return ok ? std::optional<qint64>(number) : std::nullopt;
}

} // namespace

ColorInspector::ColorInspector(EditorState* editor, QWidget* parent)
    : QWidget(parent), editor(editor), square(new SaturationValueSquare(this)),
      hueStrip(new HueSlider(this)), alphaStrip(new AlphaSlider(this)) {
    auto* pickers = new QVBoxLayout;
    pickers->setSpacing(6);
    pickers->addWidget(square);
    pickers->addWidget(hueStrip);
    pickers->addWidget(alphaStrip);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);
    layout->addLayout(pickers);
    layout->addWidget(makeHexRow());
    layout->addWidget(makeChannelRow());

    connect(square, &SaturationValueSquare::saturationValuePicked, this,
            [this](double s, double v) {
                if (s == m_saturation && v == m_value)
                    return;
                m_saturation = s;
                m_value = v;
                commitHSV();
            });
    connect(hueStrip, &HueSlider::huePicked, this, [this](double h) {
        if (h == m_hue)
            return;
        m_hue = h;
        commitHSV();
    });
    connect(alphaStrip, &AlphaSlider::alphaPicked, this, [this](double a) {
        if (a == m_alpha)
            return;
        m_alpha = a;
        commitHSV();
    });
    connect(editor, &EditorState::primaryColorChanged, this, [this](PixelColor color) {
        if (!isSyncing)
            syncFromColor(color);
    });
    syncFromColor(editor->primaryColor());
}

QWidget* ColorInspector::makeHexRow() {
    auto* row = new QWidget(this);
    hex = new QLineEdit(row);
    hex->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    hex->setAccessibleName(tr("Hex"));
    EditingTextTracker::track(hex, editor);
    connect(hex, &QLineEdit::editingFinished, this, &ColorInspector::commitHex);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(caption(tr("HEX"), row));
    layout->addWidget(hex, 1);
    return row;
}

QWidget* ColorInspector::makeChannelRow() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    const QString letters[] = {tr("R"), tr("G"), tr("B"), tr("A")};
    for (Channel channel : {red, green, blue, alpha}) {
        auto* field = new QLineEdit(row);
        field->setAccessibleName(letters[channel]);
        field->setMinimumWidth(28);
        EditingTextTracker::track(field, editor);
        connect(field, &QLineEdit::editingFinished, this,
                [this, channel] { commitChannel(channel); });
        channels[channel] = field;
        layout->addWidget(caption(letters[channel], row));
        layout->addWidget(field, 1);
    }
    return row;
}

void ColorInspector::syncFromColor(PixelColor color) {
    isSyncing = true;
    const PixelColor::Hsv hsv = color.hsv();
    if (hsv.s > 0 && hsv.v > 0)
        m_hue = hsv.h;
    m_saturation = hsv.s;
    m_value = hsv.v;
    m_alpha = color.alpha() / 255.0;
    showColor(color);
    isSyncing = false;
}

void ColorInspector::commitHSV() {
    if (isSyncing)
        return;
    isSyncing = true;
    const int a = int(std::lround(m_alpha * 255));
    const PixelColor color = PixelColor::fromHsv(m_hue, m_saturation, m_value, a);
    setPrimary(color);
    showColor(color);
    isSyncing = false;
}

void ColorInspector::commitHex() {
    if (const auto color = PixelColor::fromHex(hex->text())) {
        setPrimary(*color);
        syncFromColor(*color);
    } else {
        hex->setText(editor->primaryColor().hexString());
    }
}

void ColorInspector::commitChannel(Channel channel) {
    if (const auto number = parseWholeNumber(channels[channel]->text()))
        updateChannel(channel, int(std::clamp<qint64>(*number, 0, 255)));
    else
        channels[channel]->setText(QString::number(channelOf(editor->primaryColor(), channel)));
}

void ColorInspector::updateChannel(Channel channel, int amount) {
    const PixelColor current = editor->primaryColor();
    const auto pick = [&](Channel c) { return c == channel ? amount : channelOf(current, c); };
    const PixelColor color =
        PixelColor::fromChannels(pick(red), pick(green), pick(blue), pick(alpha));
    setPrimary(color);
    syncFromColor(color);
}

void ColorInspector::setPrimary(PixelColor color) {
    if (editor && editor->primaryColor() != color)
        editor->setPrimaryColor(color);
}

// Puts the fields and the pictures in step with the colour and the hue, saturation, value and
// alpha just chosen.
void ColorInspector::showColor(PixelColor color) {
    square->setHue(m_hue);
    square->setSaturationValue(m_saturation, m_value);
    hueStrip->setHue(m_hue);
    alphaStrip->setAlpha(m_alpha);
    alphaStrip->setBase(PixelColor::fromHsv(m_hue, m_saturation, m_value, 255));
    hex->setText(color.hexString());
    for (Channel channel : {red, green, blue, alpha})
        channels[channel]->setText(QString::number(channelOf(color, channel)));
}
