#include "SpriteLimits.h"

#include <gtest/gtest.h>

TEST(SpriteLimits, SayWhichLimitWouldBePassed) {
    EXPECT_TRUE(SpriteLimits::layerFramesRefusal(256, 256).isEmpty());
    EXPECT_TRUE(SpriteLimits::layerFramesRefusal(1, 65536).isEmpty());
    EXPECT_EQ(SpriteLimits::layerFramesRefusal(1, 65537).toStdString(),
              "1 layers × 65537 frames would pass the limit of 65,536 layers × frames.");

    const qint64 memory = SpriteLimits::memoryBytes();
    ASSERT_GT(memory, 0);
    const qint64 fitting = memory / (4096 * 4096 * 4);
    EXPECT_TRUE(SpriteLimits::celMemoryRefusal(fitting, 4096, 4096, "open it").isEmpty());
    const QString refusal = SpriteLimits::celMemoryRefusal(fitting + 1, 4096, 4096, "open it");
    EXPECT_TRUE(refusal.startsWith("There is not enough memory to open it. Its "))
        << refusal.toStdString();
}
