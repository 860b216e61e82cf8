#include "model/Palette.h"
#include "model/DecodingError.h"

#include <QJsonArray>
#include <gtest/gtest.h>

TEST(Palette, Presets) {
    const auto& presets = Palette::presets();
    ASSERT_EQ(presets.size(), 5);
    QStringList names;
    for (const Palette& palette : presets)
        names << palette.name;
    EXPECT_EQ(names, (QStringList{"Default", "Game Boy", "PICO-8", "Grayscale", "NES-inspired"}));
    EXPECT_EQ(Palette::defaultPalette().colors.size(), 28);
    EXPECT_EQ(Palette::defaultPalette().colors.mid(0, 16), Palette::pico8().colors);
    EXPECT_EQ(Palette::gameBoy().colors.size(), 4);
    EXPECT_EQ(Palette::nes().colors.size(), 55);
    const auto& gray = Palette::grayscale().colors;
    ASSERT_EQ(gray.size(), 16);
    EXPECT_EQ(gray.first(), PixelColor(0xFF000000));
    EXPECT_EQ(gray[1], PixelColor(0xFF111111));
    EXPECT_EQ(gray.last(), PixelColor(0xFFFFFFFF));
    EXPECT_EQ(Palette::defaultPalette().colors.last(), PixelColor(0xFFC020A0));
}

TEST(Palette, CodedFormRoundTripAndErrors) {
    const Palette empty{"Nothing", {}};
    const QJsonObject coded = empty.toJson();
    EXPECT_EQ(coded.keys(), (QStringList{"colors", "name"}));
    EXPECT_TRUE(coded["colors"].toArray().isEmpty());
    EXPECT_EQ(Palette::fromJson(coded), empty);

    const Palette mixed{"Mixed", {PixelColor(0xFF102030), PixelColor(0x40102030)}};
    EXPECT_EQ(mixed.toJson()["colors"].toArray().at(1).toString(), "#10203040");
    EXPECT_EQ(Palette::fromJson(mixed.toJson()), mixed);

    EXPECT_THROW(Palette::fromJson(QJsonObject{{"name", "x"}}), DecodingError);
    EXPECT_THROW(Palette::fromJson(QJsonObject{{"colors", QJsonArray()}}), DecodingError);
    EXPECT_THROW(Palette::fromJson(QJsonObject{{"name", 3}, {"colors", QJsonArray()}}),
                 DecodingError);
    EXPECT_THROW(Palette::fromJson(QJsonValue("text")), DecodingError);
    try {
        Palette::fromJson(QJsonObject{{"name", "x"}, {"colors", QJsonArray{"#12"}}});
        FAIL();
    } catch (const DecodingError& error) {
        EXPECT_EQ(error.message(), "Invalid color #12");
    }
}
