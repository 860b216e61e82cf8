#include "PixelColor.h"
#include "DecodingError.h"
#include "PixelRect.h"

#include <gtest/gtest.h>
#include <tuple>

TEST(PixelColor, HexAndJsonRoundTripsAndBadText) {
    EXPECT_EQ(PixelColor(0xFF102030).hexString(), "#102030");
    EXPECT_EQ(PixelColor(0x80102030).hexString(), "#10203080");
    EXPECT_EQ(PixelColor(0).hexString(), "#00000000");

    for (const char* red : {"#ff0000", "FF0000FF", "  f00 \n", "#F00F"})
        EXPECT_EQ(PixelColor::fromHex(red), PixelColor(0xFFFF0000)) << red;
    EXPECT_EQ(PixelColor::fromHex("#abc"), PixelColor::fromHex("#AABBCCFF"));
    EXPECT_EQ(PixelColor::fromHex("#abcd")->alpha(), 0xDD);
    EXPECT_EQ(PixelColor::fromHex("#11223344"), PixelColor(0x44112233));
    for (const char* bad : {"#", "", "#12345", "#GG0000", "+FF0000", "#FF 000", "0x123456"})
        EXPECT_FALSE(PixelColor::fromHex(bad).has_value()) << bad;
    for (quint32 alpha = 0; alpha < 256; ++alpha) {
        const PixelColor color((alpha << 24) | 0x00A1B2C3);
        EXPECT_EQ(PixelColor::fromHex(color.hexString()), color);
        EXPECT_EQ(PixelColor::fromJson(color.toJson()), color);
    }
    try {
        PixelColor::fromJson(QJsonValue(QStringLiteral("#XYZ")));
        FAIL() << "no error";
    } catch (const DecodingError& error) {
        EXPECT_EQ(error.message(), "Invalid color #XYZ");
    }
    EXPECT_THROW(PixelColor::fromJson(QJsonValue(12)), DecodingError);
}

TEST(PixelColor, HsvBothWays) {
    const auto expectHsv = [](quint32 word, double h, double s, double v) {
        const auto hsv = PixelColor(word).hsv();
        EXPECT_EQ(std::tuple(hsv.h, hsv.s, hsv.v), std::tuple(h, s, v)) << std::hex << word;
    };
    expectHsv(0xFF0000FF, 240, 1, 1);
    expectHsv(0xFF808080, 0, 0, 128 / 255.0);
    expectHsv(0xFFFF00FF, 300, 1, 1); // magenta: red wins the tie, fmod gives -1 → 300

    EXPECT_EQ(PixelColor::fromHsv(360, 1, 1, 255), PixelColor(0xFFFF0000));
    EXPECT_EQ(PixelColor::fromHsv(-120, 1, 1, 255), PixelColor::fromHsv(240, 1, 1, 255));
    EXPECT_EQ(PixelColor::fromHsv(0, 2, -1, 7), PixelColor(0x07000000));
    EXPECT_EQ(PixelColor::fromQColor(PixelColor(0x80FF4020).toQColor()), PixelColor(0x80FF4020));
    // Every opaque 6-bit-step colour survives hsv → fromHsv.
    for (int r = 0; r < 256; r += 17)
        for (int g = 0; g < 256; g += 51)
            for (int b = 0; b < 256; b += 85) {
                const auto color = PixelColor::fromChannels(r, g, b);
                const auto hsv = color.hsv();
                EXPECT_EQ(PixelColor::fromHsv(hsv.h, hsv.s, hsv.v, 255), color);
            }
}

TEST(PixelColor, BlendSourceOver) {
    const PixelColor source(0xFF336699);
    const PixelColor transparent(0x00ABCDEF);
    EXPECT_EQ(PixelColor::blend(source, 0, transparent), transparent);
    EXPECT_EQ(PixelColor::blend(source, -1, PixelColor(0x80112233)), PixelColor(0x80112233));
    EXPECT_EQ(PixelColor::blend(source, 1.5, PixelColor(0xFF000000)), PixelColor(0xFF336699));
    EXPECT_EQ(PixelColor::blend(source, 0.5, PixelColor(0)), PixelColor(0x80336699));
    // Half white over opaque black: (1 × 0.5) / 1 → 127.5 rounds away from zero to 128.
    EXPECT_EQ(PixelColor::blend(PixelColor(0xFFFFFFFF), 0.5, PixelColor(0xFF000000)),
              PixelColor(0xFF808080));
}

TEST(PixelRect, UnionAndIntersection) {
    EXPECT_EQ((PixelRect{5, 5, 0, 3}.unionWith({1, 1, 2, 2})), (PixelRect{1, 1, 2, 2}));
    EXPECT_EQ((PixelRect{1, 1, 2, 2}.unionWith({5, 5, -1, 3})), (PixelRect{1, 1, 2, 2}));
    EXPECT_EQ((PixelRect{0, 0, 2, 2}.unionWith({5, 5, 2, 2})), (PixelRect{0, 0, 7, 7}));
    EXPECT_EQ((PixelRect{0, 0, 2, 2}.intersection({5, 5, 2, 2})), (PixelRect{5, 5, 0, 0}));
    EXPECT_EQ((PixelRect{0, 0, 4, 4}.intersection({2, -1, 5, 2})), (PixelRect{2, 0, 2, 1}));
    EXPECT_NE((PixelRect{0, 0, 0, 0}), (PixelRect{1, 1, 0, 0}));
    EXPECT_TRUE((PixelRect{0, 0, 2, 2}.contains(PixelPoint{1, 1})));
    EXPECT_FALSE((PixelRect{0, 0, 2, 2}.contains(PixelPoint{2, 1})));
}
