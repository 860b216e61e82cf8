#include "Sprite.h"

#include <gtest/gtest.h>

namespace {

// A sprite whose every cel is painted with one pixel that tells it apart.
Sprite identifiedSprite(qint64 layers, qint64 frames) {
    Sprite sprite = Sprite::blank(4, 3);
    for (qint64 f = 1; f < frames; ++f)
        sprite.insertFrame(f);
    for (qint64 l = 1; l < layers; ++l)
        sprite.layers.append(Layer(sprite.uniqueLayerName("Layer"), frames));
    for (qint64 l = 0; l < layers; ++l)
        for (qint64 f = 0; f < frames; ++f) {
            sprite.ensureCel(l, f);
            sprite.layers[l].cels[f]->setWordAt(0, 0xFF000000u | quint32(l * 16 + f));
        }
    for (qint64 f = 0; f < frames; ++f)
        sprite.frames[f].duration = 100 + f;
    return sprite;
}

quint32 mark(const Sprite& sprite, qint64 layer, qint64 frame) {
    return sprite.layers[layer].cels[frame]->wordAt(0);
}

} // namespace

TEST(Sprite, InsertFrame) {
    Sprite sprite = identifiedSprite(2, 2);
    sprite.frames[1].duration = 5;
    sprite.insertFrame(99, 1); // past the end appends; a 5 ms source gives 10 ms
    ASSERT_EQ(sprite.frames.size(), 3);
    EXPECT_EQ(sprite.frames[2].duration, 10);
    EXPECT_EQ(mark(sprite, 1, 2), mark(sprite, 1, 1));
    EXPECT_TRUE(sprite.layers[1].cels[2]->sharesStorageWith(*sprite.layers[1].cels[1]));

    sprite.insertFrame(-3); // clamped to the front, no source
    EXPECT_EQ(sprite.frames[0].duration, 100);
    for (const Layer& layer : sprite.layers) {
        EXPECT_EQ(layer.cels.size(), 4);
        EXPECT_FALSE(layer.cels[0].has_value());
    }
}

TEST(Sprite, RemoveAndMoveFrames) {
    Sprite one = Sprite::blank(2, 2);
    one.removeFrame(0); // the last frame stays
    EXPECT_EQ(one.frames.size(), 1);

    Sprite sprite = identifiedSprite(2, 4);
    sprite.activeFrameIndex = 3;
    sprite.removeFrame(3);
    EXPECT_EQ(sprite.activeFrameIndex, 2);
    EXPECT_EQ(sprite.frames.size(), 3);
    sprite.removeFrame(7);
    sprite.removeFrame(-1);
    EXPECT_EQ(sprite.frames.size(), 3);

    sprite.moveFrame(0, 50); // past the end moves to the end
    EXPECT_EQ(sprite.frames[2].duration, 100);
    EXPECT_EQ(mark(sprite, 0, 2), 0xFF000000u);
    EXPECT_EQ(mark(sprite, 1, 0), 0xFF000011u);
    const Sprite unmoved = sprite;
    sprite.moveFrame(1, 1);
    sprite.moveFrame(9, 0);
    EXPECT_EQ(sprite, unmoved);
}

TEST(Sprite, NormalizeRepairs) {
    Sprite sprite = identifiedSprite(3, 2);
    sprite.frames.clear();
    sprite.layers[0].cels.append(std::nullopt);
    sprite.layers[1].cels.clear();
    sprite.activeFrameIndex = 9;
    sprite.activeLayerID = QUuid::createUuid();
    sprite.normalize();
    EXPECT_EQ(sprite.frames, QList<Frame>{Frame{100}});
    for (const Layer& layer : sprite.layers)
        EXPECT_EQ(layer.cels.size(), 1);
    EXPECT_EQ(sprite.activeFrameIndex, 0);
    EXPECT_EQ(sprite.activeLayerID, sprite.layers.last().id);

    Sprite empty = Sprite::blank(2, 2);
    empty.layers.clear();
    empty.normalize();
    EXPECT_TRUE(empty.layers.isEmpty());
    EXPECT_FALSE(empty.activeLayerID.has_value());
}

TEST(Sprite, CompositedColor) {
    Sprite sprite = identifiedSprite(3, 1);
    EXPECT_EQ(sprite.compositedColor({0, 0}, 0), PixelColor(0xFF000020));
    sprite.layers[2].isVisible = false;
    EXPECT_EQ(sprite.compositedColor({0, 0}, 0), PixelColor(0xFF000010));
    sprite.layers[1].opacity = 0;
    EXPECT_EQ(sprite.compositedColor({0, 0}, 0), PixelColor(0xFF000000));
    sprite.layers[0].opacity = 0.5;
    EXPECT_EQ(sprite.compositedColor({0, 0}, 0), PixelColor(0x80000000));
    for (const PixelPoint outside : {PixelPoint{4, 0}, PixelPoint{-1, 0}, PixelPoint{1, 1}})
        EXPECT_EQ(sprite.compositedColor(outside, 0), PixelColor());
}

TEST(Sprite, Lookups) {
    Sprite sprite = Sprite::blank(2, 2);
    sprite.layers.append(Layer("Layer 2", 1));
    EXPECT_FALSE(sprite.cel(-1, 0).has_value());
    EXPECT_FALSE(sprite.cel(0, 1).has_value());
    EXPECT_FALSE(sprite.ensureCel(2, 0));
    EXPECT_FALSE(sprite.ensureCel(0, 1));
    EXPECT_TRUE(sprite.ensureCel(0, 0));
    sprite.layers[0].cels[0]->setWordAt(3, 7);
    EXPECT_TRUE(sprite.ensureCel(0, 0)); // keeps what is there
    EXPECT_EQ(sprite.cel(0, 0)->wordAt(3), 7u);
    sprite.activeLayerID = sprite.layers[0].id;
    EXPECT_EQ(sprite.activeLayerIndex(), 0);
    EXPECT_EQ(sprite.activeCel()->wordAt(3), 7u);
    sprite.activeLayerID.reset();
    EXPECT_FALSE(sprite.activeCel().has_value());
}
