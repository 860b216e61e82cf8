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
    void SetUp() override { store().clear(); } // written back as the store goes
};

// Every preference: its fallback in a fresh store, and a value other than that with its text in
// the store.
struct Change {
    const char* key;
    QVariant fallback;
    QVariant value;
    QString stored;
};

const Change changes[] = {
    {"appearance", QVariant::fromValue(AppearanceMode::system),
     QVariant::fromValue(AppearanceMode::light), "light"},
    {"showPixelGrid", true, false, "false"},
    {"gridOpacity", 0.25, 0.6, "0.6"},
    {"automaticGrid", true, false, "false"},
    {"automaticGridZoom", 8.0, 16.0, "16"},
    {"showCheckerboard", true, false, "false"},
    {"scrollBehavior", QVariant::fromValue(ScrollZoomBehavior::scrollPans),
     QVariant::fromValue(ScrollZoomBehavior::scrollZooms), "scrollZooms"},
    {"optionScrollZooms", true, false, "false"},
    {"mouseWheelZooms", true, false, "false"},
    {"onionSkinEnabled", false, true, "true"},
    {"onionSkinFramesBefore", qint64(1), qint64(3), "3"},
    {"onionSkinFramesAfter", qint64(1), qint64(0), "0"},
    {"onionSkinOpacity", 0.4, 0.7, "0.7"},
    {"defaultExportPercent", qint64(100), qint64(300), "300"},
    {"pixelPerfect", false, true, "true"},
    {"defaultNewWidth", qint64(32), qint64(128), "128"},
    {"defaultNewHeight", qint64(32), qint64(7), "7"},
    {"undoMemoryMegabytes", qint64(0), qint64(512), "512"}, // 0: automatic
};

QMetaProperty property(const AppSettings& settings, const char* key) {
    const QMetaObject* meta = settings.metaObject();
    return meta->property(meta->indexOfProperty(key));
}

} // namespace

// A fresh store reads the fallbacks and holds nothing. Every preference is then written at once
// under its own key, announced only when it changes, and read back by the next launch.
TEST_F(SettingsFixture, EveryPreferenceFallsBackThenWritesThroughUnderItsKey) {
    AppSettings settings;
    for (const Change& change : changes)
        EXPECT_EQ(property(settings, change.key).read(&settings), change.fallback) << change.key;
    EXPECT_EQ(AppSettings::registeredDefaults().size(), 13);
    QSettings defaults = store();
    EXPECT_TRUE(defaults.allKeys().isEmpty());
    const QMetaObject* meta = settings.metaObject();
    ASSERT_EQ(meta->propertyCount() - meta->propertyOffset(), std::size(changes));
    for (const Change& change : changes) {
        const QMetaProperty written = property(settings, change.key);
        ASSERT_TRUE(written.isValid()) << change.key;
        QSignalSpy announced(&settings, written.notifySignal());
        ASSERT_TRUE(written.write(&settings, change.value)) << change.key;
        EXPECT_EQ(announced.count(), 1) << change.key;
        EXPECT_EQ(defaults.value(change.key).toString(), change.stored) << change.key;

        defaults.remove(change.key);
        written.write(&settings, change.value); // same value: stored again, not announced
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
        EXPECT_EQ(property(nextLaunch, change.key).read(&nextLaunch), change.value) << change.key;
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
    EXPECT_EQ(ScrollZoomBehaviors::fromRawValue("scrollzooms"), ScrollZoomBehavior::scrollPans);
    for (AppearanceMode mode : AppearanceModes::all)
        EXPECT_EQ(AppearanceModes::fromRawValue(AppearanceModes::rawValue(mode)), mode);
}
