#include "ImportService.h"
#include "ExportTestSupport.h"
#include "GIFService.h"
#include "ImportError.h"
#include "PixelRenderer.h"
#include "TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace kestrin::test;

namespace {

struct ImportFixture : ::testing::Test {
    QTemporaryDir folder;

    QString save(const QImage& image, const QString& name) {
        const QString path = folder.filePath(name);
        EXPECT_TRUE(image.save(path));
        return path;
    }
    QString saveBytes(const QByteArray& bytes, const QString& name) {
        return writtenFile(folder.filePath(name), bytes);
    }
};

QString refusal(const QString& path) {
    return messageOf<ImportError>([&] { ImportService::spriteFromImageAt(path); });
}

} // namespace

TEST_F(ImportFixture, PixelsComeInExactlyAsOneLayerSprite) {
    const QList<quint32> words = {0xFF102030, 0x80FF0000, 0x01020304,
                                  0x00FFFFFF, 0x7F00FF00, 0xFF102030};
    const Sprite sprite = ImportService::spriteFromImageAt(
        save(PixelRenderer::makeStraightImage(words, 3, 2), "hero.png"));
    EXPECT_EQ(sprite.width, 3);
    EXPECT_EQ(sprite.height, 2);
    ASSERT_EQ(sprite.layers.size(), 1);
    EXPECT_EQ(sprite.layers[0].name, "hero");
    // Read straight: a nearly transparent pixel keeps its colour exactly, and transparent ones
    // become the empty pixel.
    EXPECT_EQ(sprite.cel(0, 0)->words(),
              (QList<quint32>{0xFF102030, 0x80FF0000, 0x01020304, 0, 0x7F00FF00, 0xFF102030}));
    EXPECT_EQ(sprite.frames, QList<Frame>{Frame{100}});
    EXPECT_EQ(sprite.palette.colors.size(), 4);
}

TEST_F(ImportFixture, SizeLimitsAndUnreadableFiles) {
    QImage largest(4096, 4096, QImage::Format_ARGB32);
    largest.fill(0xFF336699);
    EXPECT_EQ(ImportService::spriteFromImageAt(save(largest, "largest.png")).width, 4096);

    QImage wide(4097, 10, QImage::Format_ARGB32);
    wide.fill(0xFF000000);
    EXPECT_EQ(refusal(save(wide, "wide.png")),
              "4097 × 10 is larger than the maximum canvas size of 4096 × 4096.");

    // Refused from the header, before the decoder would try to allocate 40 GB.
    const QByteArray pngOf1x1 = PixelRenderer::pngData(QImage(1, 1, QImage::Format_ARGB32));
    try {
        ImportService::spriteFromImageAt(
            saveBytes(pngHeader(100000, 100000) + pngOf1x1.mid(33), "huge.png"));
        ADD_FAILURE() << "imported";
    } catch (const ImportError& error) {
        EXPECT_EQ(error.kind(), ImportError::tooLarge);
        EXPECT_EQ(error.width(), 100000);
        EXPECT_EQ(error.message(),
                  "100000 × 100000 is larger than the maximum canvas size of 4096 × 4096.");
    }

    const QString fifo = folder.filePath("pipe.png");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& path :
         {saveBytes("just text", "text.png"), saveBytes({}, "empty.png"),
          folder.filePath("missing.png"), fifo, folder.path()}) // a pipe would block if opened
        EXPECT_EQ(refusal(path), "That image could not be read.") << path.toStdString();
}

TEST(ImportFromPixels, ClipboardPixelsFollowTheSameRules) {
    const Sprite pasted =
        ImportService::spriteFromPixels({{0xFF00FF00, 0}, 2, 1}, QStringLiteral("Pasted"));
    EXPECT_EQ(pasted.cel(0, 0)->words(), (QList<quint32>{0xFF00FF00, 0}));

    const auto kindOf = [](const PixelRenderer::Buffer& buffer) {
        try {
            ImportService::spriteFromPixels(buffer, "Pasted");
        } catch (const ImportError& error) {
            return int(error.kind());
        }
        return -1;
    };
    EXPECT_EQ(kindOf({QList<quint32>(4097, 0), 4097, 1}), ImportError::tooLarge);
    EXPECT_EQ(kindOf({{1, 2}, 3, 1}), ImportError::unreadableImage);
}

namespace {

QImage halves(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::blue);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width / 2; ++x)
            image.setPixel(x, y, qRgb(255, 0, 0));
    return image;
}

} // namespace

TEST_F(ImportFixture, TruncatedImagesOfEveryFormatAreRefused) {
    const QImage picture = halves(64, 48);
    for (const char* format : {"png", "jpeg", "gif"}) {
        const QByteArray whole = // Qt reads GIF but does not write it
            QByteArray(format) == "gif"
                ? GIFService::data(
                      ImportService::spriteFromPixels(*PixelRenderer::buffer(picture), "picture"),
                      100)
                : encodedImage(picture, format);
        const QString name = QStringLiteral("picture.") + format;
        EXPECT_EQ(ImportService::spriteFromImageAt(saveBytes(whole, name)).width, 64);
        for (const qsizetype cut : {whole.size() - 1, whole.size() / 2})
            EXPECT_EQ(refusal(saveBytes(whole.left(cut), name)), "That image could not be read.");
    }
}
