#include "ExportService.h"
#include "ExportError.h"
#include "ExportTestSupport.h"
#include "PackageTestSupport.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestrin::test;

namespace {

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// Random straight pixels on a bottom layer and a half-opaque top layer, so the composite has
// translucent, opaque and empty pixels.
Sprite layeredSprite(qint64 width, qint64 height, quint32 seed) {
    Sprite sprite = animation(width, height, 1);
    sprite.ensureCel(0, 0);
    sprite.layers[0].cels[0] = Cel(width, height, randomPixels(width * height, seed));
    const qint64 top = addLayer(sprite, "Top");
    sprite.layers[top].opacity = 0.5;
    fill(sprite, top, 0, {0, 0, width, 1}, 0xFF336699);
    return sprite;
}

} // namespace

TEST(ExportService, OffersTheScalesThatFitTheFormat) {
    const QList<qint64> all = {25, 50, 100, 200, 300, 400, 500, 600, 700, 800, 900, 1000};
    struct Case {
        qint64 width, height;
        ExportFormat format;
        QList<qint64> offered;
    } cases[] = {
        {64, 64, ExportFormat::ico, {25, 50, 100, 200, 400}},
        {48, 32, ExportFormat::ico, {}},
        {4096, 4096, ExportFormat::png, {25, 50, 100, 200, 300, 400}},
        {1, 1, ExportFormat::png, all},
        {16, 16, ExportFormat::ico, {100, 200, 300, 400, 800}},
        {3, 3, ExportFormat::ico, {800}}, // 24 px
        // A canvas that fits no scale is offered none, never one that passes the limit.
        {65540, 4, ExportFormat::png, {}},
        {65536, 4, ExportFormat::svg, {25}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExportService::percents(c.width, c.height, c.format), c.offered)
            << c.width << "×" << c.height << " " << ExportFormats::rawValue(c.format).toStdString();
}

TEST(ExportService, StillFormatsReadBackAsTheScaledComposite) {
    for (qint64 width : {1, 7, 17}) {
        const Sprite sprite = layeredSprite(width, 5, quint32(width));
        for (qint64 percent : {25, 100, 300}) {
            const QImage expected = expectedImage(sprite, 0, percent);
            const QByteArray png = ExportService::frameData(sprite, 0, percent, ExportFormat::png);
            EXPECT_EQ(words(decodedImage(png)), words(expected)) << width << " at " << percent;

            // BMP keeps the colour channels of every pixel and drops alpha.
            const QByteArray bmp = ExportService::frameData(sprite, 0, percent, ExportFormat::bmp);
            QList<quint32> opaque = words(expected);
            for (quint32& word : opaque)
                word |= 0xFF000000u;
            EXPECT_EQ(words(decodedImage(bmp)), opaque) << width << " at " << percent;
        }
    }
}

TEST(ExportService, RefusesWhatCannotBeExported) {
    const Sprite sprite = layeredSprite(16, 16, 1);
    auto kindOf = [&](auto export_) -> std::optional<ExportError::Kind> {
        try {
            export_();
        } catch (const ExportError& error) {
            EXPECT_FALSE(error.message().isEmpty());
            return error.kind();
        }
        return std::nullopt;
    };
    using Kind = ExportError::Kind;
    EXPECT_EQ(kindOf([&] { ExportService::frameData(sprite, 0, 50, ExportFormat::ico); }),
              Kind::renderFailed);
    EXPECT_EQ(kindOf([&] { ExportService::frameData(sprite, 1, 100, ExportFormat::png); }),
              Kind::renderFailed);
    // 16 × 1100 % would be 176 px: fine. 2000 × 1000 % would be 20000 px: refused up front.
    EXPECT_EQ(kindOf([&] { ExportService::frameData(sprite, 0, 1100, ExportFormat::png); }),
              std::nullopt);
    EXPECT_EQ(kindOf([&] {
                  ExportService::frameData(animation(2000, 1, 1), 0, 1000, ExportFormat::svg);
              }),
              Kind::tooLarge);
}

TEST(ExportService, WritesEveryFrameAndEveryVisibleLayer) {
    QTemporaryDir folder;
    Sprite sprite = animation(4, 4, 12);
    for (qint64 f = 0; f < 12; ++f)
        paint(sprite, 0, f, {f % 4, f / 4}, 0xFF00FF00);
    EXPECT_EQ(ExportService::writeFrames(sprite, 200, ExportFormat::png, folder.path(), "hero"),
              12);
    const QStringList frameFiles = filesIn(folder.path());
    ASSERT_EQ(frameFiles.size(), 12);
    EXPECT_EQ(frameFiles.first(), "hero_000.png");
    EXPECT_EQ(frameFiles.last(), "hero_011.png");
    EXPECT_EQ(words(decodedImage(fileBytes(folder.filePath("hero_005.png")))),
              words(expectedImage(sprite, 5, 200)));

    QTemporaryDir layerFolder;
    Sprite layered = animation(2, 2, 2);
    layered.layers[0].name = "Background";
    fill(layered, 0, 1, {0, 0, 2, 2}, 0xFF0000FF);
    const qint64 hidden = addLayer(layered, "Sketch");
    layered.layers[hidden].isVisible = false;
    fill(layered, hidden, 1, {0, 0, 2, 2}, 0xFFFF0000);
    const qint64 eyes = addLayer(layered, "a/b");
    layered.layers[eyes].opacity = 0.5;
    paint(layered, eyes, 1, {1, 1}, 0xFFFFFFFF);
    EXPECT_EQ(
        ExportService::writeLayers(layered, 1, 100, ExportFormat::png, layerFolder.path(), ""), 2);
    const QImage eyesAlone = decodedImage(fileBytes(layerFolder.filePath("Untitled_02_a-b.png")));
    EXPECT_EQ(words(eyesAlone), QList<quint32>({0, 0, 0, 0x7FFFFFFF})); // its own opacity, alone
}

// A failed write must leave neither a partial file nor a changed one behind.
TEST(ExportService, FailedWritesLeaveNothingPartial) {
    QTemporaryDir folder;
    const QString target = folder.filePath("hero.png");
    ExportService::writeFile("old contents", target);
    EXPECT_THROW(ExportService::writeFile("x", folder.filePath("missing/hero.png")), ExportError);
    EXPECT_THROW(ExportService::writeFile("x", folder.path()), ExportError);

    bool failed = false;
    try { // the small file fits, the large one does not: neither may land
        const FileSizeLimit limit(4096);
        ExportService::writeFiles(
            {{folder.filePath("hero.json"), "{}"}, {target, QByteArray(1 << 20, 'x')}});
    } catch (const ExportError& error) {
        failed = error.kind() == ExportError::Kind::writeFailed;
    }
    EXPECT_TRUE(failed);
    EXPECT_EQ(fileBytes(target), "old contents");
    EXPECT_EQ(filesIn(folder.path()), QStringList({"hero.png"}));

    // A folder export stops at the first failure and keeps what it wrote.
    QDir(folder.path()).mkdir("frames");
    QDir(folder.filePath("frames")).mkdir("hero_001.png"); // blocks the second file
    EXPECT_THROW(ExportService::writeFrames(animation(2, 2, 3), 100, ExportFormat::png,
                                            folder.filePath("frames"), "hero"),
                 ExportError);
    EXPECT_EQ(filesIn(folder.filePath("frames")), QStringList({"hero_000.png"}));
}
