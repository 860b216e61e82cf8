#include "FrameImportService.h"
#include "ApngService.h"
#include "ExportService.h"
#include "ExportTestSupport.h"
#include "ExternalDecoders.h"
#include "GIFService.h"
#include "ImportError.h"
#include "SpriteSheetService.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestrin::test;

namespace {

Sprite sampleAnimation(qint64 frameCount) {
    QList<qint64> durations;
    for (qint64 f = 0; f < frameCount; ++f)
        durations.append(30 + 20 * f);
    Sprite sprite = animation(9, 7, frameCount, durations);
    for (qint64 f = 0; f < frameCount; ++f) {
        fill(sprite, 0, f, {f % 5, 1, 3, 4}, 0xFF10A040);
        paint(sprite, 0, f, {8, f % 7}, 0x7F2040FF);
    }
    return sprite;
}

QList<qint64> durations(const Sprite& sprite) {
    QList<qint64> list;
    for (const Frame& frame : sprite.frames)
        list.append(frame.duration);
    return list;
}

QString refusal(const std::function<void()>& import) {
    return messageOf<ImportError>(import);
}

} // namespace

TEST(FrameImportService, AnimatedPngAndGifExportsComeBackAsAViewerShowsThem) {
    QTemporaryDir folder;
    const Sprite sprite = sampleAnimation(6);
    const Sprite back = FrameImportService::animation(
        writtenFile(folder.filePath("walk.png"), ApngService::data(sprite, 100)));
    EXPECT_EQ(frameWords(back), composites(sprite));
    EXPECT_EQ(durations(back), durations(sprite));

    const QByteArray gif = GIFService::data(sprite, 200);
    const Sprite fromGif =
        FrameImportService::animation(writtenFile(folder.filePath("walk.gif"), gif));
    const auto decoded = decodedGif(gif);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(frameWords(fromGif), decoded->shown.mid(0, 6));
    EXPECT_EQ(durations(fromGif), QList<qint64>({30, 50, 70, 90, 110, 130}));
}

TEST(FrameImportService, NumberedSequenceInNumericOrder) {
    QTemporaryDir folder;
    const Sprite sprite = sampleAnimation(12);
    ExportService::writeFrames(sprite, 100, ExportFormat::png, folder.path(), "hero");
    writtenFile(folder.filePath("hero_notes.png"), QByteArray("not part of it"));
    const Sprite back = FrameImportService::sequence(folder.filePath("hero_005.png"));
    EXPECT_EQ(frameWords(back), composites(sprite));

    QTemporaryDir walk;
    for (int n : {10, 2, 1})
        ExportService::writeFile(ExportService::frameData(sprite, n, 100, ExportFormat::png),
                                 walk.filePath(QStringLiteral("walk_%1.png").arg(n)));
    const QStringList files = FrameImportService::sequenceFiles(walk.filePath("walk_10.png"));
    EXPECT_EQ(files, QStringList({walk.filePath("walk_1.png"), walk.filePath("walk_2.png"),
                                  walk.filePath("walk_10.png")}));

    ExportService::writeFile(
        ExportService::frameData(sampleAnimation(1), 0, 200, ExportFormat::png),
        walk.filePath("walk_3.png"));
    EXPECT_EQ(refusal([&] { FrameImportService::sequence(walk.filePath("walk_1.png")); }),
              "“walk_3.png” is 18 × 14 but the sequence's first image is 9 × 7.");
    QFile::copy(walk.filePath("walk_1.png"), walk.filePath("walk_01.png"));
    EXPECT_EQ(refusal([&] { FrameImportService::sequence(walk.filePath("walk_1.png")); }),
              "“walk_01.png” and “walk_1.png” carry the same number.");
    EXPECT_EQ(refusal([&] { FrameImportService::sequence(walk.filePath("walk.png")); }),
              "“walk.png” has no number before “.png”, so it starts no sequence.");
}

// Headers only: decoding would fail, so each message proves the header was enough.
TEST(FrameImportService, SizesCountsAndDamageAreRefused) {
    QTemporaryDir folder;
    const QByteArray apng = ApngService::data(sampleAnimation(3), 100);
    const QString unreadable = "That image could not be read.";
    const QList<std::tuple<QString, QByteArray, QString>> animations = {
        {"wide.png", pngHeader(5000, 10),
         "5000 × 10 is larger than the maximum canvas size of 4096 × 4096."},
        {"many.png", pngHeader(64, 64, 2000),
         "2000 frames of 64 × 64 are more than Kestrin can import at once (at most 1024)."},
        {"large.png", pngHeader(4096, 4096, 17), // all frames' pixels together are bounded too
         "17 frames of 4096 × 4096 are more than Kestrin can import at once (at most 16)."},
        {"wide.gif", QByteArray("GIF89a\x88\x13\x88\x13\0\0\0", 13),
         "5000 × 5000 is larger than the maximum canvas size of 4096 × 4096."},
        {"cut.png", apng.left(120), unreadable},
        {"junk.bin", "\x01\x02junk", "Only GIF and PNG animations can be imported as frames."},
    };
    for (const auto& [name, bytes, message] : animations)
        EXPECT_EQ(refusal([&] {
                      FrameImportService::animation(writtenFile(folder.filePath(name), bytes));
                  }),
                  message)
            << name.toStdString() << " of " << bytes.size() << " bytes";
    EXPECT_EQ(refusal([&] { FrameImportService::animation(folder.filePath("missing.gif")); }),
              unreadable);

    const QString huge = writtenFile(folder.filePath("huge.png"), pngHeader(20000, 16));
    EXPECT_EQ(refusal([&] { FrameImportService::sheet(huge, SheetCut{}); }),
              "A sprite sheet can be at most 16384 px on a side.");
}

// Pillow writes these itself, choosing its own cropping, with blending and both kinds of
// disposal; what Kestrin composites must match what Pillow shows.
TEST(FrameImportService, AnimatedPngFromAnotherEncoderIsCompositedAsItsReaderShows) {
    const auto python = pythonWithPillow();
    if (!python)
        GTEST_SKIP() << "Pillow is not installed (Debian package python3-pil)";
    QTemporaryDir folder;
    const QString path = folder.filePath("pillow.png");
    const char* script = R"(
import sys
from PIL import Image
frames = []
for i in range(4):
    im = Image.new("RGBA", (8, 6), (0, 0, 0, 0))
    for x in range(i, i + 3):
        for y in range(1, 4):
            im.putpixel((x, y), (200, 40 * i, 10, 255))
    im.putpixel((7, i), (0, 0, 255, 255))
    frames.append(im)
frames[0].save(sys.argv[1], save_all=True, append_images=frames[1:], duration=[100, 250, 40, 60],
               loop=0, disposal=[0, 1, 2, 1], blend=[0, 1, 1, 0])
)";
    ASSERT_TRUE(run(*python, {"-c", script, path}).has_value());
    const auto shown = decodedWithPillow(*python, path);
    ASSERT_TRUE(shown.has_value());
    const Sprite sprite = FrameImportService::animation(path);
    EXPECT_EQ(frameWords(sprite), shown->frames);
    EXPECT_EQ(durations(sprite), QList<qint64>({100, 250, 40, 60}));
}
