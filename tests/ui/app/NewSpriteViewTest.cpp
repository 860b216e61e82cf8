#include "NewSpriteView.h"
#include "AppSettings.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

struct SheetProbe {
    SheetProbe() {
        sheet.onCreate = [this](const Sprite& sprite) { created.append(sprite); };
        sheet.onCancel = [this] { ++cancels; };
        sheet.show();
    }
    NewSpriteView sheet;
    QList<Sprite> created;
    int cancels = 0;
};

// Stored sizes are clamped to what a sprite may have.
TEST(NewSpriteViewTest, StoredSizeIsClampedAndEscapeCancels) {
    AppSettings::shared().setDefaultNewWidth(0);
    AppSettings::shared().setDefaultNewHeight(99999);
    SheetProbe probe;
    EXPECT_EQ(probe.sheet.spriteWidth(), 1);
    EXPECT_EQ(probe.sheet.spriteHeight(), 2048);
    QTest::keyClick(&probe.sheet, Qt::Key_Escape);
    EXPECT_EQ(probe.cancels, 1);
    EXPECT_TRUE(probe.created.isEmpty());
}

TEST(NewSpriteViewTest, BackgroundFillsTheFirstCelUnlessTransparent) {
    using Background = NewSpriteView::Background;
    const std::tuple<Background, quint32, std::optional<quint32>> cases[] = {
        {Background::transparent, 0xFF00FF00, std::nullopt},
        {Background::white, 0xFF00FF00, 0xFFFFFFFFu},
        {Background::custom, 0x8000FF00, 0x8000FF00u},
        {Background::custom, 0x0000FF00, std::nullopt},
    };
    for (const auto& [background, custom, fill] : cases) {
        SheetProbe probe;
        probe.sheet.setSpriteSize(3, 2);
        probe.sheet.setBackground(background);
        probe.sheet.setCustomColor(PixelColor(custom));
        probe.sheet.create();
        ASSERT_EQ(probe.created.size(), 1);
        const std::optional<Cel>& cel = probe.created[0].layers[0].cels[0];
        ASSERT_EQ(cel.has_value(), fill.has_value()) << int(background);
        if (cel) {
            EXPECT_EQ(cel->words(), QList<quint32>(6, *fill));
        }
    }
}

} // namespace
