#include "settings/AppSettings.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

QSettings store() {
    return QSettings(QStringLiteral("Kestrin"), QStringLiteral("Kestrin"));
}

struct SettingsFixture : ::testing::Test {
    void SetUp() override {
        QSettings s(QStringLiteral("Kestrin"), QStringLiteral("Kestrin"));
        s.clear();
        s.sync();
    }
};

} // namespace

TEST_F(SettingsFixture, FreshStoreReadsDefaultsAndWritesNothing) {
    AppSettings settings;
    EXPECT_EQ(settings.appearance(), AppearanceMode::system);
    EXPECT_TRUE(settings.showPixelGrid());
    EXPECT_DOUBLE_EQ(settings.gridOpacity(), 0.25);
    EXPECT_TRUE(settings.automaticGrid());
    EXPECT_DOUBLE_EQ(settings.automaticGridZoom(), 8.0);
    EXPECT_TRUE(settings.showCheckerboard());
    EXPECT_EQ(settings.scrollBehavior(), ScrollZoomBehavior::scrollPans);
    EXPECT_TRUE(settings.optionScrollZooms());
    EXPECT_TRUE(settings.mouseWheelZooms());
    EXPECT_FALSE(settings.onionSkinEnabled());
    EXPECT_EQ(settings.onionSkinFramesBefore(), 1);
    EXPECT_EQ(settings.onionSkinFramesAfter(), 1);
    EXPECT_DOUBLE_EQ(settings.onionSkinOpacity(), 0.4);
    EXPECT_EQ(settings.defaultExportPercent(), 100);
    EXPECT_FALSE(settings.pixelPerfect());
    EXPECT_EQ(settings.defaultNewWidth(), 32);
    EXPECT_EQ(settings.defaultNewHeight(), 32);
    EXPECT_EQ(AppSettings::registeredDefaults().size(), 13);
    EXPECT_TRUE(store().allKeys().isEmpty());
}

TEST_F(SettingsFixture, WriteThroughAndSignalOnlyOnRealChange) {
    AppSettings settings;
    QSignalSpy zoom(&settings, &AppSettings::automaticGridZoomChanged);
    settings.setAutomaticGridZoom(16.0);
    EXPECT_EQ(zoom.count(), 1);
    EXPECT_DOUBLE_EQ(store().value("automaticGridZoom").toDouble(), 16.0);

    QSignalSpy grid(&settings, &AppSettings::showPixelGridChanged);
    settings.setShowPixelGrid(true); // same value: written, not announced
    EXPECT_EQ(grid.count(), 0);
    EXPECT_TRUE(store().contains("showPixelGrid"));

    settings.setAppearance(AppearanceMode::dark);
    settings.setScrollBehavior(ScrollZoomBehavior::scrollZooms);
    settings.setDefaultExportPercent(300);
    EXPECT_EQ(store().value("appearance").toString(), "dark");
    EXPECT_EQ(store().value("scrollBehavior").toString(), "scrollZooms");

    AppSettings reread;
    EXPECT_EQ(reread.appearance(), AppearanceMode::dark);
    EXPECT_EQ(reread.scrollBehavior(), ScrollZoomBehavior::scrollZooms);
    EXPECT_EQ(reread.defaultExportPercent(), 300);
    EXPECT_DOUBLE_EQ(reread.automaticGridZoom(), 16.0);
}

TEST_F(SettingsFixture, EnumerationParsingAndHandEditedValues) {
    {
        QSettings s = store();
        s.setValue("appearance", "Dark");
        s.setValue("scrollBehavior", "");
        s.setValue("onionSkinFramesBefore", "lots");
        s.setValue("gridOpacity", "7.5");
        s.sync();
    }
    AppSettings settings;
    EXPECT_EQ(settings.appearance(), AppearanceMode::system);
    EXPECT_EQ(settings.scrollBehavior(), ScrollZoomBehavior::scrollPans);
    EXPECT_EQ(settings.onionSkinFramesBefore(), 0);
    EXPECT_DOUBLE_EQ(settings.gridOpacity(), 7.5); // consumers clamp where they use it
    EXPECT_EQ(AppearanceModes::title(AppearanceMode::system), "System");
    EXPECT_EQ(ScrollZoomBehaviors::title(ScrollZoomBehavior::scrollPans),
              "Scroll to Pan, Pinch to Zoom");
}
