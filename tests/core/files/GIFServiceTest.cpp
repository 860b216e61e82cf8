#include "GIFService.h"
#include "ExportError.h"
#include "ExportTestSupport.h"
#include "ExternalDecoders.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestrin::test;

namespace {

DecodedGif decoded(const Sprite& sprite, qint64 percent) {
    const auto gif = decodedGif(GIFService::data(sprite, percent));
    EXPECT_TRUE(gif.has_value());
    return gif.value_or(DecodedGif{});
}

} // namespace

TEST(GIFService, LoopsForeverWithEachFramesDelay) {
    const DecodedGif gif = decoded(changingAnimation(4, 4), 100);
    EXPECT_EQ(gif.loopCount, 0);
    EXPECT_EQ(gif.delays, QList<qint64>({10, 25, 4, 1, 123})); // repeated frames stay images
    for (const auto& [milliseconds, hundredths] : QList<std::pair<qint64, qint64>>{
             {44, 4}, {45, 5}, {0, 0}, {655350, 65535}, {10'000'000, 65535}})
        EXPECT_EQ(GIFService::delayHundredths(milliseconds), hundredths) << milliseconds;
}

TEST(GIFService, EveryImageShowsItsFrameOverTwoLoops) {
    for (qint64 width : {1, 2, 9, 17}) {
        const Sprite sprite = changingAnimation(width, 4);
        for (qint64 percent : {25, 100, 300}) {
            const DecodedGif gif = decoded(sprite, percent);
            ASSERT_EQ(gif.shown.size(), 10) << width << " at " << percent;
            for (qint64 i = 0; i < 10; ++i)
                EXPECT_EQ(gif.shown[i], expectedGifFrame(sprite, i % 5, percent))
                    << "width " << width << " at " << percent << "%, image " << i;
        }
    }
}

TEST(GIFService, KeepsUpTo255ColoursExactly) {
    Sprite exact = animation(16, 16, 2);
    for (qint64 i = 0; i < 255; ++i)
        paint(exact, 0, 0, {i % 16, i / 16}, 0xFF000000u | quint32(i * 0x010305));
    paint(exact, 0, 1, {0, 0}, 0xFFFFFFFF);
    const DecodedGif kept = decoded(exact, 100);
    EXPECT_EQ(kept.colorCounts[0], 256); // 255 colours and the transparent pixel
    EXPECT_EQ(kept.shown[0], expectedGifFrame(exact, 0, 100));
}

TEST(GIFService, RefusesWhatCannotBeAGif) {
    Sprite noFrames = animation(4, 4, 1);
    noFrames.frames.clear();
    EXPECT_THROW(GIFService::data(noFrames, 100), ExportError);
    EXPECT_THROW(GIFService::data(animation(4000, 1, 2), 500), ExportError);
    EXPECT_EQ(GIFService::declaringGIF89a("GIF87a\x01\x02"), "GIF89a\x01\x02");
    EXPECT_EQ(GIFService::declaringGIF89a("GIF8"), "GIF8");
}

// Opaque all over, then a hole, then whole again: the hole is cleared by disposing of an image
// to the background, which another decoder must clear to transparency, not to a colour.
TEST(GIFService, PillowShowsPixelsThatTurnTransparentAgain) {
    const auto python = pythonWithPillow();
    if (!python)
        GTEST_SKIP() << "Pillow is not installed (Debian package python3-pil)";
    Sprite sprite = animation(4, 3, 3);
    for (qint64 f = 0; f < 3; ++f)
        fill(sprite, 0, f, sprite.bounds(), 0xFF336699);
    paint(sprite, 0, 1, {2, 1}, 0);
    QTemporaryDir folder;
    const QString path = writtenFile(folder.filePath("hole.gif"), GIFService::data(sprite, 100));
    const auto shown = decodedWithPillow(*python, path);
    ASSERT_TRUE(shown.has_value());
    ASSERT_EQ(shown->frames.size(), 3);
    for (qint64 f = 0; f < 3; ++f) {
        QList<quint32> frame = shown->frames[f];
        for (quint32& word : frame)
            word = word >> 24 ? word : 0;
        EXPECT_EQ(frame, expectedGifFrame(sprite, f, 100)) << "frame " << f;
    }
}
