#include "Palette.h"
#include "DecodingError.h"

#include <QJsonArray>
#include <gtest/gtest.h>

TEST(Palette, CodedFormRoundTripAndErrors) {
    const Palette empty{"Nothing", {}};
    const QJsonObject coded = empty.toJson();
    EXPECT_EQ(coded.keys(), (QStringList{"colors", "name"}));
    EXPECT_EQ(Palette::fromJson(coded), empty);

    const Palette mixed{"Mixed", {PixelColor(0xFF102030), PixelColor(0x40102030)}};
    EXPECT_EQ(mixed.toJson()["colors"].toArray().at(1).toString(), "#10203040");
    EXPECT_EQ(Palette::fromJson(mixed.toJson()), mixed);

    EXPECT_THROW(Palette::fromJson(QJsonObject{{"name", "x"}}), DecodingError);
    EXPECT_THROW(Palette::fromJson(QJsonObject{{"colors", QJsonArray()}}), DecodingError);
    EXPECT_THROW(Palette::fromJson(QJsonObject{{"name", 3}, {"colors", QJsonArray()}}),
                 DecodingError);
    EXPECT_THROW(Palette::fromJson(QJsonValue("text")), DecodingError);
    EXPECT_THROW(Palette::fromJson(QJsonObject{{"name", "x"}, {"colors", QJsonArray{"#12"}}}),
                 DecodingError);
}
