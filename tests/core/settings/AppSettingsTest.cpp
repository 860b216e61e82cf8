#include "AppSettings.h"

#include <QCoreApplication>
#include <QFile>
#include <QMetaProperty>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

QSettings store() {
    return QSettings(QStringLiteral("Kestrin"), QStringLiteral("Kestrin"));
}

struct SettingsFixture : ::testing::Test {
    void SetUp() override {
        QSettings s = store();
        s.clear();
        s.sync();
    }
};

// A value other than the default for every preference, and its text in the store.
struct Change {
    const char* key;
    QVariant value;
    QString stored;
};

const Change changes[] = {
    {"appearance", QVariant::fromValue(AppearanceMode::light), "light"},
    {"showPixelGrid", false, "false"},
    {"gridOpacity", 0.6, "0.6"},
    {"automaticGrid", false, "false"},
    {"automaticGridZoom", 16.0, "16"},
    {"showCheckerboard", false, "false"},
    {"scrollBehavior", QVariant::fromValue(ScrollZoomBehavior::scrollZooms), "scrollZooms"},
    {"optionScrollZooms", false, "false"},
    {"mouseWheelZooms", false, "false"},
    {"onionSkinEnabled", true, "true"},
    {"onionSkinFramesBefore", qint64(3), "3"},
    {"onionSkinFramesAfter", qint64(0), "0"},
    {"onionSkinOpacity", 0.7, "0.7"},
    {"defaultExportPercent", qint64(300), "300"},
    {"pixelPerfect", true, "true"},
    {"defaultNewWidth", qint64(128), "128"},
    {"defaultNewHeight", qint64(7), "7"},
    {"undoMemoryMegabytes", qint64(512), "512"},
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
    EXPECT_EQ(settings.undoMemoryMegabytes(), 0); // automatic
    EXPECT_EQ(AppSettings::registeredDefaults().size(), 13);
    for (const char* unregistered :
         {"appearance", "scrollBehavior", "onionSkinEnabled", "pixelPerfect"})
        EXPECT_FALSE(AppSettings::registeredDefaults().contains(unregistered)) << unregistered;
    EXPECT_TRUE(store().allKeys().isEmpty());
}

// Every preference is written at once under its own key, announced only when it changes, and
// read back by the next launch.
TEST_F(SettingsFixture, EveryPreferenceWritesThroughUnderItsKey) {
    AppSettings settings;
    QSettings defaults = store();
    const QMetaObject* meta = settings.metaObject();
    ASSERT_EQ(meta->propertyCount() - meta->propertyOffset(), std::size(changes));
    for (const Change& change : changes) {
        const QMetaProperty property = meta->property(meta->indexOfProperty(change.key));
        ASSERT_TRUE(property.isValid()) << change.key;
        QSignalSpy announced(&settings, property.notifySignal());
        ASSERT_TRUE(property.write(&settings, change.value)) << change.key;
        EXPECT_EQ(announced.count(), 1) << change.key;
        EXPECT_EQ(defaults.value(change.key).toString(), change.stored) << change.key;

        defaults.remove(change.key);
        property.write(&settings, change.value); // same value: stored again, not announced
        EXPECT_EQ(announced.count(), 1) << change.key;
        EXPECT_TRUE(defaults.contains(change.key)) << change.key;
    }
    QCoreApplication::processEvents(); // one turn of the event loop puts it on disk
    QFile file(defaults.fileName());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    for (const Change& change : changes)
        EXPECT_TRUE(text.contains(change.key + ('=' + change.stored.toUtf8()))) << change.key;

    AppSettings nextLaunch;
    for (const Change& change : changes)
        EXPECT_EQ(meta->property(meta->indexOfProperty(change.key)).read(&nextLaunch), change.value)
            << change.key;
}

TEST_F(SettingsFixture, HandEditedValuesAndEnumerationParsing) {
    {
        QSettings s = store();
        s.setValue("appearance", "Dark");
        s.setValue("scrollBehavior", "");
        s.setValue("onionSkinFramesBefore", "lots");
        s.setValue("gridOpacity", "7.5");
        s.setValue("showCheckerboard", "false");
        s.setValue("defaultNewWidth", "-64");
        s.sync();
    }
    AppSettings settings;
    EXPECT_EQ(settings.appearance(), AppearanceMode::system);
    EXPECT_EQ(settings.scrollBehavior(), ScrollZoomBehavior::scrollPans);
    EXPECT_EQ(settings.onionSkinFramesBefore(), 0);
    EXPECT_DOUBLE_EQ(settings.gridOpacity(), 7.5); // consumers bound it where they use it
    EXPECT_FALSE(settings.showCheckerboard());     // a stored value wins over the fallback
    EXPECT_EQ(settings.defaultNewWidth(), -64);

    for (AppearanceMode mode : AppearanceModes::all)
        EXPECT_EQ(AppearanceModes::fromRawValue(AppearanceModes::rawValue(mode)), mode);
    for (ScrollZoomBehavior behavior : ScrollZoomBehaviors::all)
        EXPECT_EQ(ScrollZoomBehaviors::fromRawValue(ScrollZoomBehaviors::rawValue(behavior)),
                  behavior);
    EXPECT_EQ(AppearanceModes::fromRawValue("system"), AppearanceMode::system);
    EXPECT_EQ(ScrollZoomBehaviors::fromRawValue("scrollzooms"), ScrollZoomBehavior::scrollPans);
}
