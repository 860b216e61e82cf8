#pragma once

#include <QColor>
#include <QHashFunctions>
#include <QJsonValue>
#include <QString>
#include <QtGlobal>
#include <optional>

// One pixel: 0xAARRGGBB, straight alpha. The word 0 is the empty pixel.
struct PixelColor {
    quint32 raw = 0;

    constexpr PixelColor() = default;
    constexpr explicit PixelColor(quint32 word) : raw(word) {}

    static constexpr PixelColor fromChannels(int red, int green, int blue, int alpha = 255) {
        return PixelColor((quint32(alpha & 0xFF) << 24) | (quint32(red & 0xFF) << 16) |
                          (quint32(green & 0xFF) << 8) | quint32(blue & 0xFF));
    }

    constexpr int alpha() const { return int(raw >> 24); }
    constexpr int red() const { return int((raw >> 16) & 0xFF); }
    constexpr int green() const { return int((raw >> 8) & 0xFF); }
    constexpr int blue() const { return int(raw & 0xFF); }
    constexpr bool isPainted() const { return raw >= 0x01000000u; }

    // "#RRGGBB", "#RGB", "RRGGBBAA", "#RGBA", surrounding white space allowed; absent otherwise.
    static std::optional<PixelColor> fromHex(const QString& text);
    QString hexString() const;

    struct Hsv {
        double h = 0; // degrees, 0 up to but excluding 360
        double s = 0; // 0...1
        double v = 0; // 0...1
    };
    Hsv hsv() const;
    static PixelColor fromHsv(double h, double s, double v, int alpha);

    QColor toQColor() const;
    static PixelColor fromQColor(const QColor& color);

    // Source-over of one pixel; sourceAlpha is the whole effective alpha of the source.
    static PixelColor blend(PixelColor source, double sourceAlpha, PixelColor backdrop);

    // The coded form in project files is the hex text.
    QJsonValue toJson() const { return hexString(); }
    static PixelColor fromJson(const QJsonValue& value); // throws DecodingError

    friend constexpr bool operator==(PixelColor a, PixelColor b) { return a.raw == b.raw; }
};

inline size_t qHash(PixelColor color, size_t seed = 0) {
    return qHash(color.raw, seed);
}
