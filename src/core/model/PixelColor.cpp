#include "PixelColor.h"

#include "DecodingError.h"

#include <cmath>

namespace {

int roundedChannel(double unit) {
    return int(std::min(255.0, std::round(unit * 255.0)));
}

} // namespace

std::optional<PixelColor> PixelColor::fromHex(const QString& text) {
    QString digits = text.trimmed().toUpper();
    if (digits.startsWith('#'))
        digits.remove(0, 1);
    for (QChar c : digits) {
        const bool isHexDigit = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
        if (!isHexDigit)
            return std::nullopt;
    }
    switch (digits.size()) {
    case 3:
    case 4: {
        QString doubled;
        for (QChar c : digits)
            doubled += QString(2, c);
        return fromHex(doubled);
    }
    case 6:
        digits += "FF";
        break;
    case 8:
        break;
    default:
        return std::nullopt;
    }
    const quint32 rgba = digits.toUInt(nullptr, 16);
    return PixelColor((rgba << 24) | (rgba >> 8));
}

QString PixelColor::hexString() const {
    const auto two = [](int channel) {
        return QStringLiteral("%1").arg(channel, 2, 16, QChar('0')).toUpper();
    };
    QString text = '#' + two(red()) + two(green()) + two(blue());
    if (alpha() != 255)
        text += two(alpha());
    return text;
}

PixelColor::Hsv PixelColor::hsv() const {
    const double r = red() / 255.0, g = green() / 255.0, b = blue() / 255.0;
    const double maxValue = std::max({r, g, b});
    const double minValue = std::min({r, g, b});
    const double d = maxValue - minValue;
    double h = 0;
    if (d > 0) {
        if (maxValue == r)
            h = 60 * std::fmod((g - b) / d, 6);
        else if (maxValue == g)
            h = 60 * ((b - r) / d + 2);
        else
            h = 60 * ((r - g) / d + 4);
    }
    if (h < 0)
        h += 360;
    return {h, maxValue == 0 ? 0 : d / maxValue, maxValue};
}

PixelColor PixelColor::fromHsv(double h, double s, double v, int alpha) {
    h = std::fmod(h, 360);
    if (h < 0)
        h += 360;
    s = std::clamp(s, 0.0, 1.0);
    v = std::clamp(v, 0.0, 1.0);
    const double c = s * v;
    const double x = c * (1 - std::fabs(std::fmod(h / 60, 2) - 1));
    const double m = v - c;
    double r = 0, g = 0, b = 0;
    if (h < 60)
        r = c, g = x;
    else if (h < 120)
        r = x, g = c;
    else if (h < 180)
        g = c, b = x;
    else if (h < 240)
        g = x, b = c;
    else if (h < 300)
        r = x, b = c;
    else
        r = c, b = x;
    return fromChannels(roundedChannel(r + m), roundedChannel(g + m), roundedChannel(b + m), alpha);
}

QColor PixelColor::toQColor() const {
    return QColor::fromRgbF(red() / 255.0f, green() / 255.0f, blue() / 255.0f, alpha() / 255.0f);
}

PixelColor PixelColor::fromQColor(const QColor& color) {
    QColor srgb = color.spec() == QColor::Rgb ? color : color.toRgb();
    if (!srgb.isValid())
        srgb = color;
    return fromChannels(roundedChannel(srgb.redF()), roundedChannel(srgb.greenF()),
                        roundedChannel(srgb.blueF()), roundedChannel(srgb.alphaF()));
}

PixelColor PixelColor::blend(PixelColor source, double sourceAlpha, PixelColor backdrop) {
    if (sourceAlpha <= 0)
        return backdrop;
    const double sa = std::min(sourceAlpha, 1.0);
    const double da = backdrop.alpha() / 255.0;
    const double outA = sa + da * (1 - sa);
    if (outA <= 0)
        return PixelColor();
    const auto channel = [&](int s, int d) {
        return roundedChannel((s / 255.0 * sa + d / 255.0 * da * (1 - sa)) / outA);
    };
    return fromChannels(channel(source.red(), backdrop.red()),
                        channel(source.green(), backdrop.green()),
                        channel(source.blue(), backdrop.blue()), roundedChannel(outA));
}

PixelColor PixelColor::fromJson(const QJsonValue& value) {
    const QString text = value.toString();
    const auto color = value.isString() ? fromHex(text) : std::nullopt;
    if (!color)
        throw DecodingError(QStringLiteral("Invalid color ") + text);
    return *color;
}
