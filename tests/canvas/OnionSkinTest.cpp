#include "canvas/OnionSkin.h"
#include "settings/AppSettings.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(OnionSkin, OffsetsFarthestFirstBeforeUnderAfter) {
    EXPECT_EQ((OnionSkin{2, 1, 0.4}.offsets()), (QList<qint64>{-2, -1, 1}));
    EXPECT_EQ((OnionSkin{0, 3, 0.4}.offsets()), (QList<qint64>{3, 2, 1}));
    EXPECT_EQ((OnionSkin{2, 2, 0.4}.offsets()), (QList<qint64>{-2, 2, -1, 1}));
    EXPECT_EQ((OnionSkin{1, 3, 0.4}.offsets()), (QList<qint64>{3, 2, -1, 1}));
    EXPECT_TRUE((OnionSkin{-1, 0, 0.4}.offsets().isEmpty()));
}

// A hand-edited store must not stall or crash the canvas with thousands of ghosts.
TEST(OnionSkin, CurrentBoundsStoredSettings) {
    AppSettings& settings = AppSettings::shared();
    EXPECT_EQ(OnionSkin::current(), (OnionSkin{1, 1, 0.4}));

    settings.setOnionSkinFramesBefore(1000000000);
    settings.setOnionSkinFramesAfter(-3);
    settings.setOnionSkinOpacity(7.5);
    EXPECT_EQ(OnionSkin::current(), (OnionSkin{4, 0, 1.0}));

    settings.setOnionSkinFramesBefore(2);
    settings.setOnionSkinFramesAfter(3);
    settings.setOnionSkinOpacity(std::nan(""));
    EXPECT_EQ(OnionSkin::current(), (OnionSkin{2, 3, 0.0}));
    settings.setOnionSkinOpacity(0.25);
    EXPECT_EQ(OnionSkin::current(), (OnionSkin{2, 3, 0.25}));
}
