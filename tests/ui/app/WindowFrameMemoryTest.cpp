#include "WindowFrameMemory.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

void storeSetting(const QVariant& value) {
    QSettings(QStringLiteral("Kestrin"), QStringLiteral("Kestrin"))
        .setValue(QStringLiteral("EditorWindowContentSize"), value);
}

TEST(WindowFrameMemoryTest, StoredSizeIsReadFittedAndCentred) {
    const std::tuple<QSizeF, QSize, std::optional<QSize>> cases[] = {
        {{2000, 1500}, {1440, 900}, QSize(1440, 900)},
        {{1000, 700}, {1440, 900}, QSize(1000, 700)},
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
    const QVariant bad[] = {QVariant(),
                            QVariant(1024),
                            QVariant("1024, 700"),
                            Strings{"1024"},
                            Strings{"1", "2", "3"},
                            Strings{"wide", "700"},
                            Strings{"nan", "700"},
                            Strings{"1024", "inf"}};
    for (const QVariant& value : bad)
        EXPECT_EQ(WindowFrameMemory::sizeFromSetting(value), std::nullopt)
            << value.toString().toStdString();
}

// Only a lone window is centred; a stored size that is no size leaves a window as it is.
TEST(WindowFrameMemoryTest, WindowsStoreTheirSizeAndNewOnesTakeIt) {
    storeSetting("garbage");
    QWidget window;
    window.resize(900, 600);
    window.move(3, 4);
    WindowFrameMemory::applyStoredSize(&window);
    EXPECT_EQ(window.size(), QSize(900, 600));
    WindowFrameMemory::centerIfAlone(&window, 2);
    EXPECT_EQ(window.pos(), QPoint(3, 4));
    WindowFrameMemory::centerIfAlone(&window, 1);
    EXPECT_EQ(window.frameGeometry().center(),
              QGuiApplication::primaryScreen()->availableGeometry().center());

    storeSetting(QVariant());
    QWidget small;
    small.resize(600, 800);
    WindowFrameMemory::store(&small);
    EXPECT_EQ(WindowFrameMemory::storedSize(), std::nullopt);

    QWidget first;
    first.resize(800, 500);
    WindowFrameMemory::observe(&first, 1);
    first.show();
    first.resize(700, 450);
    EXPECT_TRUE(
        QTest::qWaitFor([] { return WindowFrameMemory::storedSize() == QSizeF(700, 450); }));
    first.resize(720, 480);
    first.close();
    EXPECT_EQ(WindowFrameMemory::storedSize(), QSizeF(720, 480));

    // The offscreen screen is smaller than the stored size, which is fitted to it.
    storeSetting(QVariantList{5000, 5000});
    QWidget second;
    second.resize(640, 420);
    WindowFrameMemory::observe(&second, 2);
    EXPECT_EQ(second.size(), QGuiApplication::primaryScreen()->availableGeometry().size());
}

} // namespace
