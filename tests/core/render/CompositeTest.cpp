#include "PixelRenderer.h"
#include "ReferenceCompositor.h"
#include "SpriteSamples.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

constexpr quint32 black = 0xFF000000;

// A one-layer sprite whose frame f holds one opaque pixel at x = f on row 0.
Sprite framePerColumn(qint64 frameCount) {
    Sprite sprite = Sprite::blank(frameCount, 1);
    for (qint64 f = 1; f < frameCount; ++f)
        sprite.insertFrame(f);
    for (qint64 f = 0; f < frameCount; ++f) {
        sprite.ensureCel(0, f);
        sprite.layers[0].cels[f]->setWordAt(f, black);
    }
    return sprite;
}

QList<quint32> regional(const Sprite& sprite, qint64 frame, std::optional<OnionSkin> skin) {
    QList<quint32> buffer(sprite.width * sprite.height, 0u);
    QList<quint32> scratch;
    PixelRenderer::composite(sprite, buffer, sprite.bounds(), frame, skin, scratch);
    return buffer;
}

} // namespace

// Ghost alphas over transparent are the ghost weights: 255 × opacity / distance, tinted cool
// (72, 152, 255) after the frame and warm (255, 64, 96) before it.
TEST(Composite, GhostTintsAndWhatCannotShow) {
    Sprite sprite = framePerColumn(4);
    EXPECT_EQ(regional(sprite, 0, OnionSkin{0, 3, 0.5}),
              (QList<quint32>{black, 0x7F132945u, 0x3F091422u, 0x2A060D17u}));
    EXPECT_EQ(regional(sprite, 3, OnionSkin{1, 0, 1.0})[2], 0xFF8C2334u);
    EXPECT_EQ(PixelRenderer::composite(sprite, 4), QList<quint32>(4, 0u)); // no such frame
    EXPECT_EQ(PixelRenderer::composite(sprite, -1), QList<quint32>(4, 0u));
    EXPECT_TRUE(PixelRenderer::composite(Sprite::blank(0, 4), 0).isEmpty());

    // Regional composites refuse mismatched buffers and regions off the canvas.
    QList<quint32> scratch;
    QList<quint32> shortBuffer(3, 0x12345678u);
    PixelRenderer::composite(sprite, shortBuffer, sprite.bounds(), 1, OnionSkin{1, 1, 1}, scratch);
    EXPECT_EQ(shortBuffer, QList<quint32>(3, 0x12345678u));
    QList<quint32> buffer(4, 0x12345678u);
    for (const PixelRect& outside : {PixelRect{4, 0, 3, 3}, PixelRect{-4, 0, 4, 4}, PixelRect{}})
        PixelRenderer::composite(sprite, buffer, outside, 0, std::nullopt, scratch);
    EXPECT_EQ(buffer, QList<quint32>(4, 0x12345678u));
    EXPECT_TRUE(scratch.isEmpty());

    sprite.layers[0].opacity = std::nan("");
    EXPECT_EQ(PixelRenderer::composite(sprite, 0), QList<quint32>(4, 0u));
}

// The vector paths must give the bits of the plain rules, at every width where row tails and
// blocks split differently, whole frames and regions, with and without ghosts.
TEST(Composite, MatchesReferenceWithAndWithoutGhosts) {
    // Ghosts reach past the first and last frames, vanish at opacity 0 and truncate to 0.
    const std::optional<OnionSkin> skins[] = {
        std::nullopt,         OnionSkin{1, 1, 0.4},  OnionSkin{2, 3, 0.5},   OnionSkin{3, 0, 1.0},
        OnionSkin{1, 1, 0.0}, OnionSkin{0, 2, 0.05}, OnionSkin{4, 0, 0.004}, OnionSkin{4, 4, 0.9}};
    QRandomGenerator random(11);
    for (qint64 width : kestrin::test::awkwardWidths + QList<qint64>{64, 65}) {
        const Sprite sprite = samples::mixedSprite(width, 6, 5, quint32(100 + width));
        for (qint64 frame = 0; frame < 5; ++frame)
            ASSERT_EQ(PixelRenderer::composite(sprite, frame), reference::composite(sprite, frame))
                << "width " << width << " frame " << frame;
        for (const std::optional<OnionSkin>& skin : skins) {
            const qint64 frame = random.bounded(5);
            const PixelRect rect{random.bounded(-2, int(width)), random.bounded(-2, 6),
                                 random.bounded(1, int(width) + 3), random.bounded(1, 8)};
            QList<quint32> expected = samples::pixelRuns(width * 6, random); // stale canvas
            QList<quint32> actual = expected;
            QList<quint32> scratch{1, 2, 3};
            reference::composite(sprite, expected, rect, frame, skin);
            PixelRenderer::composite(sprite, actual, rect, frame, skin, scratch);
            ASSERT_EQ(actual, expected) << "width " << width << " frame " << frame;
        }
    }
    const Sprite wide = samples::mixedSprite(2100, 3, 1, 7); // runs across row ends
    EXPECT_EQ(PixelRenderer::composite(wide, 0), reference::composite(wide, 0));
}
