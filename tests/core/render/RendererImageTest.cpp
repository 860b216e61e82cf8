#include "PixelRenderer.h"
#include "TestSupport.h"

#include <QColorSpace>
#include <gtest/gtest.h>

namespace {

using kestrin::test::words;

// An image whose pixel (x, y) is the opaque word 0xFF000000 | y << 12 | x.
QImage coordinates(int width, int height) {
    QList<quint32> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.append(0xFF000000u | quint32(y) << 12 | quint32(x));
    return PixelRenderer::makeStraightImage(pixels, width, height);
}

QList<int> sampledColumns(const QImage& image) {
    QList<int> columns;
    for (quint32 word : words(image).mid(0, image.width()))
        columns.append(int(word & 0xFFF));
    return columns;
}

} // namespace

TEST(RendererImages, MakeImageSharesWordsAndRefusesBadSizes) {
    QList<quint32> pixels{0x80402010, 0xFF00FF00, 0, 0x01020304};
    const QImage straight = PixelRenderer::makeStraightImage(pixels, 2, 2);
    EXPECT_EQ(PixelRenderer::makeImage(pixels, 4, 1).format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(straight.colorSpace(), QColorSpace(QColorSpace::SRgb));
    EXPECT_EQ(straight.constBits(), reinterpret_cast<const uchar*>(pixels.constData()));

    pixels[0] = 0xFFFFFFFF; // the list detaches; the image keeps what it was made from
    EXPECT_EQ(straight.pixel(0, 0), 0x80402010u);

    EXPECT_TRUE(PixelRenderer::makeImage(pixels, 3, 1).isNull());
    EXPECT_TRUE(PixelRenderer::makeImage(pixels, 0, 4).isNull());
}

QImage indexed() {
    QImage image(3, 1, QImage::Format_Indexed8);
    image.setColorTable({0xFF112233, 0x80FF0000, 0x00ABCDEF});
    for (int x = 0; x < 3; ++x)
        image.setPixel(x, 0, uint(x));
    return image;
}

QImage filled(QImage::Format format, const QColor& color,
              QColorSpace::NamedColorSpace space = QColorSpace::SRgb) {
    QImage image(2, 1, format);
    image.fill(color);
    image.setColorSpace(space);
    return image;
}

TEST(RendererImages, BufferFromAnyImageIsStraightSrgb) {
    const auto expectBuffer = [](const QImage& image, const QList<quint32>& expected) {
        const auto result = PixelRenderer::buffer(image);
        ASSERT_TRUE(result);
        EXPECT_EQ(QSize(result->width, result->height), image.size());
        EXPECT_EQ(result->pixels, expected);
    };
    expectBuffer(indexed(), {0xFF112233, 0x80FF0000, 0});
    const QColor grey16 = QColor::fromRgba64(0x8080, 0x8080, 0x8080);
    expectBuffer(filled(QImage::Format_Grayscale16, grey16), {0xFF808080, 0xFF808080});
    const QColor linearGrey(128, 128, 128);
    expectBuffer(filled(QImage::Format_RGB32, linearGrey, QColorSpace::SRgbLinear),
                 {0xFFBCBCBC, 0xFFBCBCBC});
    // A colour hidden under full transparency is not kept.
    expectBuffer(filled(QImage::Format_ARGB32, QColor(1, 2, 3, 0)), {0, 0});
    expectBuffer(filled(QImage::Format_ARGB32_Premultiplied, QColor(0, 0, 255, 51)),
                 {0x330000FF, 0x330000FF});
    EXPECT_FALSE(PixelRenderer::buffer(QImage()));
    EXPECT_TRUE(PixelRenderer::pngData(QImage()).isEmpty());
}

TEST(RendererImages, ScaledIsNearestNeighbourAtRoundedSizesKeepingWords) {
    const QImage image = coordinates(3, 3);
    EXPECT_EQ(words(PixelRenderer::scaled(image, 25)), QList<quint32>{0xFF001001}); // the centre

    const QImage larger = PixelRenderer::scaled(image, 150); // 4.5 rounds to 5
    EXPECT_EQ(larger.size(), QSize(5, 5));
    EXPECT_EQ(larger.pixel(0, 4), 0xFF002000u);
    // No drift at large sizes: every target pixel's centre lies inside the pixel it shows.
    for (auto [width, percent] :
         {std::pair{3, 150}, {16, 25}, {999, 150}, {4096, 25}, {1000, 33}}) {
        const QList<int> columns =
            sampledColumns(PixelRenderer::scaled(coordinates(width, 1), percent));
        const qint64 targetWidth = columns.size();
        for (qint64 x = 0; x < targetWidth; ++x) {
            const qint64 centre = (2 * x + 1) * width; // in units of 1 / (2 × targetWidth)
            ASSERT_LE(columns[x] * 2 * targetWidth, centre) << width << " at " << percent;
            ASSERT_GT((columns[x] + 1) * 2 * targetWidth, centre) << width << " at " << percent;
        }
    }

    for (qint64 unchanged : {100, 0, -40})
        EXPECT_EQ(PixelRenderer::scaled(image, unchanged).cacheKey(), image.cacheKey());
    EXPECT_EQ(PixelRenderer::scaled(coordinates(1, 1), 10).size(), QSize(1, 1));
    EXPECT_TRUE(PixelRenderer::scaled(QImage(), 200).isNull());

    // Words are kept exactly, straight or premultiplied as they came.
    const QImage straight =
        PixelRenderer::scaled(PixelRenderer::makeStraightImage({0x80FF0001, 0, 0, 0}, 2, 2), 200);
    EXPECT_EQ(straight.format(), QImage::Format_ARGB32);
    EXPECT_EQ(straight.pixel(1, 1), 0x80FF0001u);
    const QImage fromIndexed = PixelRenderer::scaled(indexed(), 200);
    EXPECT_EQ(fromIndexed.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(words(fromIndexed).mid(0, 6),
              (QList<quint32>{0xFF112233, 0xFF112233, 0x80FF0000, 0x80FF0000, 0, 0}));
}
