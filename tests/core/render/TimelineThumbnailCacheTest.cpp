#include "TimelineThumbnailCache.h"

#include <gtest/gtest.h>

TEST(TimelineThumbnailCache, RedrawsOnlyWhenTheRevisionMovesOn) {
    Sprite sprite = Sprite::blank(64, 16);
    sprite.insertFrame(1);
    sprite.ensureCel(0, 0);
    sprite.layers[0].cels[0]->fill(0xFFFF0000);
    const TimelineThumbnailCache::Key key{sprite.layers[0].id, 0};
    TimelineThumbnailCache cache;

    const QImage first = cache.thumbnail(sprite, key, 1, 32);
    EXPECT_EQ(first.size(), QSize(32, 8));
    EXPECT_EQ(first.pixel(0, 0), 0xFFFF0000u);

    sprite.layers[0].cels[0]->fill(0xFF0000FF);
    EXPECT_EQ(cache.thumbnail(sprite, key, 1, 32).cacheKey(), first.cacheKey());
    EXPECT_EQ(cache.thumbnail(sprite, key, 2, 32).pixel(0, 0), 0xFF0000FFu);

    EXPECT_TRUE(cache.thumbnail(sprite, {sprite.layers[0].id, 1}, 2, 32).isNull()); // no cel
    EXPECT_TRUE(cache.thumbnail(sprite, {QUuid::createUuid(), 0}, 2, 32).isNull());
}
