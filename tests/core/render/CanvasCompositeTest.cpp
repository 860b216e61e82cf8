#include "CanvasComposite.h"
#include "PixelRenderer.h"
#include "SpriteSamples.h"

#include <gtest/gtest.h>

namespace {

QList<quint32> words(const QImage& image) {
    QList<quint32> result;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const quint32*>(image.constScanLine(y));
        result.append(QList<quint32>(row, row + image.width()));
    }
    return result;
}

struct CanvasCompositeTest : ::testing::Test {
    Sprite sprite = samples::mixedSprite(37, 23, 3, 11);
    CanvasComposite composite;

    CanvasComposite::Source source(qint64 frame = 0, std::optional<OnionSkin> skin = {}) const {
        return CanvasComposite::sourceOf(sprite, frame, skin);
    }
    void rebuild(const CanvasComposite::Source& s) { composite.rebuild(sprite, s); }
    void paint(PixelPoint at, quint32 word) {
        sprite.ensureCel(0, 0);
        sprite.layers[0].cels[0]->setWordAt(at.y * sprite.width + at.x, word);
        composite.invalidate(PixelRect::pixel(at));
    }
};

} // namespace

TEST_F(CanvasCompositeTest, PixelEditsRecompositeOnlyTheirRectangles) {
    rebuild(source());
    EXPECT_FALSE(composite.needsRebuild(source()));

    paint({3, 4}, 0xFF112233);
    paint({6, 2}, 0x80FFFFFF);
    ASSERT_TRUE(composite.needsRebuild(source()));
    rebuild(source());
    EXPECT_EQ(composite.statistics().partialRebuilds, 1);
    EXPECT_EQ(composite.statistics().fullRebuilds, 1);
    EXPECT_EQ(composite.statistics().lastRegion, PixelRect(3, 2, 4, 3));
    EXPECT_TRUE(composite.pendingDirty().isEmpty());
    // The patched picture equals a fresh composite of the edited sprite.
    EXPECT_EQ(words(composite.image()), PixelRenderer::composite(sprite, 0));
}

TEST_F(CanvasCompositeTest, ChangesOfWhatIsShownRebuildEverything) {
    rebuild(source());
    const std::pair<CanvasComposite::Source, qint64> steps[] = {
        {source(1), 2},
        {source(1, OnionSkin{1, 1, 0.5}), 3},
        {source(1, OnionSkin{1, 2, 0.5}), 4},
        {source(1, OnionSkin{1, 2, 0.5}), 4}, // the same again: only the dirty pixel
    };
    for (const auto& [next, fullRebuilds] : steps) {
        composite.invalidate(PixelRect::pixel({1, 1})); // would otherwise be incremental
        rebuild(next);
        EXPECT_EQ(composite.statistics().fullRebuilds, fullRebuilds);
    }
    composite.invalidateAll();
    rebuild(source(1, OnionSkin{1, 2, 0.5}));
    EXPECT_EQ(composite.statistics().fullRebuilds, 5);

    sprite = samples::mixedSprite(12, 40, 2, 5); // a new size
    EXPECT_TRUE(composite.needsRebuild(source()));
    rebuild(source());
    EXPECT_EQ(composite.statistics().fullRebuilds, 6);
    EXPECT_EQ(words(composite.image()), PixelRenderer::composite(sprite, 0));

    sprite = Sprite::blank(0, 5); // without area there is no picture
    rebuild(source());
    EXPECT_TRUE(composite.image().isNull());
    EXPECT_FALSE(composite.needsRebuild(source()));
}
