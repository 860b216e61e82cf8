#include "NewSpriteView.h"
#include "AppSettings.h"
#include "PackageOpenDialog.h"
#include "ProjectPackage.h"
#include "RecentProjects.h"

#include <QDir>
#include <QTemporaryDir>
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

// Stored sizes are clamped to what a sprite may have; they change only when one is created.
TEST(NewSpriteViewTest, SizeIsClampedAndRememberedOnlyWhenCreated) {
    AppSettings& settings = AppSettings::shared();
    settings.setDefaultNewWidth(0);
    settings.setDefaultNewHeight(99999);
    {
        SheetProbe probe;
        EXPECT_EQ(probe.sheet.spriteWidth(), 1);
        EXPECT_EQ(probe.sheet.spriteHeight(), 2048);
        probe.sheet.setSpriteSize(40, 30);
        QTest::keyClick(&probe.sheet, Qt::Key_Escape);
        EXPECT_EQ(probe.cancels, 1);
        EXPECT_TRUE(probe.created.isEmpty());
        EXPECT_EQ(settings.defaultNewWidth(), 0);
    }
    // Typing replaces the width, Tab leads to the height, Return creates.
    SheetProbe probe;
    QTest::keyClicks(probe.sheet.focusWidget(), "40");
    QTest::keyClick(probe.sheet.focusWidget(), Qt::Key_Tab);
    QTest::keyClick(probe.sheet.focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(probe.sheet.focusWidget(), "24");
    QTest::keyClick(probe.sheet.focusWidget(), Qt::Key_Return);
    ASSERT_EQ(probe.created.size(), 1);
    EXPECT_EQ(probe.created[0].width, 40);
    EXPECT_EQ(probe.created[0].height, 24);
    EXPECT_EQ(settings.defaultNewWidth(), 40);
    EXPECT_EQ(settings.defaultNewHeight(), 24);
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
        if (cel)
            EXPECT_EQ(cel->words(), QList<quint32>(6, *fill));
    }
}

TEST(PackageOpenDialogTest, APackageIsOneDocumentAndTheDialogStartsBesideTheLastOne) {
    QTemporaryDir folder;
    const QString package = folder.filePath("walk.pixel");
    ProjectPackage::writePackage(Sprite::blank(2, 2), package);
    QDir(folder.path()).mkpath("plain");
    EXPECT_EQ(PackageOpenDialog::packageFor(package + "/project.json"), package);
    EXPECT_EQ(PackageOpenDialog::packageFor(folder.filePath("plain")), QString());
    EXPECT_EQ(PackageOpenDialog::packageFor(folder.filePath("none.png")), QString());

    // Choosing the package folder answers the dialog instead of walking into it.
    PackageOpenDialog dialog;
    dialog.setDirectory(folder.path());
    dialog.selectFile(package);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.chosenPath(), package);

    // It opens beside the last project, never inside a package, and skips ones that went.
    QDir(folder.path()).mkpath("art/nested.pixel/inner.pixel");
    RecentProjects::clear();
    RecentProjects::add(folder.filePath("art/nested.pixel/inner.pixel"));
    RecentProjects::add(folder.filePath("gone/missing.pixel"));
    EXPECT_EQ(PackageOpenDialog::startFolder(), folder.filePath("art"));
    EXPECT_EQ(PackageOpenDialog().directory().absolutePath(), folder.filePath("art"));
}

} // namespace
