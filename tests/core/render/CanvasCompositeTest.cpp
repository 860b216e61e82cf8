#include "CanvasComposite.h"
#include "PixelRenderer.h"
#include "SpriteSamples.h"

#include <gtest/gtest.h>

namespace {

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
    EXPECT_EQ(composite.statistics().lastRegion, PixelRect(3, 2, 4, 3));
    EXPECT_TRUE(composite.pendingDirty().isEmpty());
    // The patched picture equals a fresh composite of the edited sprite.
    EXPECT_TRUE(composite.image() == PixelRenderer::makeImage(PixelRenderer::composite(sprite, 0),
                                                              sprite.width, sprite.height));
}

TEST_F(CanvasCompositeTest, ChangesOfWhatIsShownRebuildEverything) {
    rebuild(source(1, OnionSkin{1, 1, 0.5}));
    composite.invalidate(PixelRect::pixel({1, 1})); // would otherwise be incremental
    rebuild(source(1, OnionSkin{1, 2, 0.5}));
    composite.invalidateAll();
    rebuild(source(1, OnionSkin{1, 2, 0.5}));
    EXPECT_EQ(composite.statistics().fullRebuilds, 3);

    sprite = samples::mixedSprite(12, 40, 2, 5); // a new size
    rebuild(source());
    EXPECT_EQ(composite.statistics().fullRebuilds, 4);
    EXPECT_TRUE(composite.image() == PixelRenderer::makeImage(PixelRenderer::composite(sprite, 0),
                                                              sprite.width, sprite.height));

    sprite = Sprite::blank(0, 5); // without area there is no picture
    rebuild(source());
    EXPECT_TRUE(composite.image().isNull());
    EXPECT_FALSE(composite.needsRebuild(source()));
}
