#include "WindowFrameMemory.h"

#include <QStringList>
#include <QVariant>
#include <gtest/gtest.h>

namespace {

TEST(WindowFrameMemoryTest, StoredSizeIsReadFittedAndCentred) {
    const std::tuple<QSizeF, QSize, std::optional<QSize>> cases[] = {
        {{2000, 1500}, {1440, 900}, QSize(1440, 900)},
        {{640, 420}, {1440, 900}, QSize(640, 420)},
        {{1000.6, 700.4}, {1440, 900}, QSize(1001, 700)},
        {{2000, 1500}, {1024, 410}, std::nullopt}, // too short once fitted
        {{639, 900}, {1440, 900}, std::nullopt},
        {{-800, 600}, {1440, 900}, std::nullopt},
    };
    for (const auto& [stored, available, applied] : cases)
        EXPECT_EQ(WindowFrameMemory::fittedSize(stored, available), applied)
            << stored.width() << "x" << stored.height();
    EXPECT_TRUE(WindowFrameMemory::isStorable(QSize(640, 420)));
    EXPECT_FALSE(WindowFrameMemory::isStorable(QSize(600, 800)));
    EXPECT_FALSE(WindowFrameMemory::isStorable(QSize(800, 419)));

    // 439 / 2 and 275 / 2 leave halves; on a screen left of the primary the half goes left.
    EXPECT_EQ(WindowFrameMemory::centeredOrigin({1001, 600}, {0, 25, 1440, 875}), QPoint(220, 163));
    EXPECT_EQ(WindowFrameMemory::centeredOrigin({1001, 601}, {-1440, 0, 1440, 900}),
              QPoint(-1221, 150));

    using Strings = QStringList;
    // A list reads back as numbers in this process and as strings in the next one.
    EXPECT_EQ(WindowFrameMemory::sizeFromSetting(QVariantList{1024, 700}), QSizeF(1024, 700));
    EXPECT_EQ(WindowFrameMemory::sizeFromSetting(Strings{"1024", "700.5"}), QSizeF(1024, 700.5));
    const QVariant bad[] = {QVariant(),      QVariant(1024),         QVariant("1024, 700"),
                            Strings{"1024"}, Strings{"wide", "700"}, Strings{"nan", "700"}};
    for (const QVariant& value : bad)
        EXPECT_EQ(WindowFrameMemory::sizeFromSetting(value), std::nullopt)
            << value.toString().toStdString();
}

} // namespace
