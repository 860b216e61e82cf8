#include "OnionSkin.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(OnionSkin, OffsetsFarthestFirstAndStoredValuesBounded) {
    EXPECT_EQ((OnionSkin{2, 2, 0.4}.offsets()), (QList<qint64>{-2, 2, -1, 1}));
    EXPECT_EQ((OnionSkin{1, 3, 0.4}.offsets()), (QList<qint64>{3, 2, -1, 1}));
    EXPECT_TRUE((OnionSkin{-1, 0, 0.4}.offsets().isEmpty()));
    // A hand-edited store must not stall or crash the canvas with thousands of ghosts.
    EXPECT_EQ(OnionSkin::bounded(1, 1, 0.4), (OnionSkin{1, 1, 0.4}));
    EXPECT_EQ(OnionSkin::bounded(1000000000, -3, 7.5), (OnionSkin{4, 0, 1.0}));
    EXPECT_EQ(OnionSkin::bounded(2, 3, std::nan("")), (OnionSkin{2, 3, 0.0}));
}
