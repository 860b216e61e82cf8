#include "Palette.h"

#include "DecodingError.h"

#include <QJsonArray>

namespace {

Palette fromHexList(const QString& name, const QString& hexList) {
    Palette palette{name, {}};
    for (const QString& hex : hexList.split(' ', Qt::SkipEmptyParts)) {
        if (const auto color = PixelColor::fromHex(hex))
            palette.colors.append(*color);
    }
    return palette;
}

Palette makeGrayscale() {
    Palette palette{QStringLiteral("Grayscale"), {}};
    for (int level = 0; level < 16; ++level)
        palette.colors.append(PixelColor::fromChannels(level * 0x11, level * 0x11, level * 0x11));
    return palette;
}

const QString pico8Colors = QStringLiteral(
    "#000000 #1D2B53 #7E2553 #008751 #AB5236 #5F574F #C2C3C7 #FFF1E8 #FF004D #FFA300 #FFEC27 "
    "#00E436 #29ADFF #83769C #FF77A8 #FFCCAA");

} // namespace

QJsonObject Palette::toJson() const {
    QJsonArray array;
    for (PixelColor color : colors)
        array.append(color.toJson());
    return QJsonObject{{"name", name}, {"colors", array}};
}

Palette Palette::fromJson(const QJsonValue& value) {
    const QJsonObject object = value.toObject();
    if (!value.isObject() || !object.value("name").isString())
        throw DecodingError(QStringLiteral("The palette has no valid \"name\"."));
    if (!object.value("colors").isArray())
        throw DecodingError(QStringLiteral("The palette has no valid \"colors\" list."));
    Palette palette{object.value("name").toString(), {}};
    for (const QJsonValue& color : object.value("colors").toArray())
        palette.colors.append(PixelColor::fromJson(color));
    return palette;
}

const QList<Palette>& Palette::presets() {
    static const QList<Palette> all = {
        fromHexList(QStringLiteral("Default"),
                    pico8Colors + QStringLiteral(" #FFFFFF #E4E4E4 #888888 #444444 #A02020 "
                                                 "#F08020 #F0E020 #20A040 #20C0C0 #2060C0 "
                                                 "#8020C0 #C020A0")),
        fromHexList(QStringLiteral("Game Boy"), QStringLiteral("#0F380F #306230 #8BAC0F #9BBC0F")),
        fromHexList(QStringLiteral("PICO-8"), pico8Colors),
        makeGrayscale(),
        fromHexList(
            QStringLiteral("NES-inspired"),
            QStringLiteral(
                "#7C7C7C #0000FC #0000BC #4428BC #940084 #A80020 #A81000 #881400 #503000 #007800 "
                "#006800 #005800 #004058 #000000 #BCBCBC #0078F8 #0058F8 #6844FC #D800CC #E40058 "
                "#F83800 #E45C10 #AC7C00 #00B800 #00A800 #00A844 #008888 #F8F8F8 #3CBCFC #6888FC "
                "#9878F8 #F878F8 #F85898 #F87858 #FCA044 #F8B800 #B8F818 #58D854 #58F898 #00E8D8 "
                "#787878 #FCFCFC #A4E4FC #B8B8F8 #D8B8F8 #F8B8F8 #F8A4C0 #F0D0B0 #FCE0A8 #F8D878 "
                "#D8F878 #B8F8B8 #B8F8D8 #00FCFC #F8D8F8")),
    };
    return all;
}

const Palette& Palette::defaultPalette() {
    return presets()[0];
}
const Palette& Palette::gameBoy() {
    return presets()[1];
}
const Palette& Palette::pico8() {
    return presets()[2];
}
const Palette& Palette::grayscale() {
    return presets()[3];
}
const Palette& Palette::nes() {
    return presets()[4];
}
