#include "AppSettings.h"

AppSettings::AppSettings(QObject* parent)
    : QObject(parent), settings(QStringLiteral("Kestrin"), QStringLiteral("Kestrin")),
      m_appearance(AppearanceModes::fromRawValue(read("appearance").toString())),
      m_showPixelGrid(read("showPixelGrid").toBool()),
      m_gridOpacity(read("gridOpacity").toDouble()),
      m_automaticGrid(read("automaticGrid").toBool()),
      m_automaticGridZoom(read("automaticGridZoom").toDouble()),
      m_showCheckerboard(read("showCheckerboard").toBool()),
      m_scrollBehavior(ScrollZoomBehaviors::fromRawValue(read("scrollBehavior").toString())),
      m_optionScrollZooms(read("optionScrollZooms").toBool()),
      m_mouseWheelZooms(read("mouseWheelZooms").toBool()),
      m_onionSkinEnabled(read("onionSkinEnabled").toBool()),
      m_onionSkinFramesBefore(read("onionSkinFramesBefore").toLongLong()),
      m_onionSkinFramesAfter(read("onionSkinFramesAfter").toLongLong()),
      m_onionSkinOpacity(read("onionSkinOpacity").toDouble()),
      m_defaultExportPercent(read("defaultExportPercent").toLongLong()),
      m_pixelPerfect(read("pixelPerfect").toBool()),
      m_defaultNewWidth(read("defaultNewWidth").toLongLong()),
      m_defaultNewHeight(read("defaultNewHeight").toLongLong()),
      m_undoMemoryMegabytes(read("undoMemoryMegabytes").toLongLong()) {}

AppSettings& AppSettings::shared() {
    static AppSettings instance;
    return instance;
}

const QVariantMap& AppSettings::registeredDefaults() {
    static const QVariantMap fallbacks = {
        {QStringLiteral("showPixelGrid"), true},       {QStringLiteral("gridOpacity"), 0.25},
        {QStringLiteral("automaticGrid"), true},       {QStringLiteral("automaticGridZoom"), 8.0},
        {QStringLiteral("showCheckerboard"), true},    {QStringLiteral("optionScrollZooms"), true},
        {QStringLiteral("mouseWheelZooms"), true},     {QStringLiteral("onionSkinFramesBefore"), 1},
        {QStringLiteral("onionSkinFramesAfter"), 1},   {QStringLiteral("onionSkinOpacity"), 0.4},
        {QStringLiteral("defaultExportPercent"), 100}, {QStringLiteral("defaultNewWidth"), 32},
        {QStringLiteral("defaultNewHeight"), 32},
    };
    return fallbacks;
}

QVariant AppSettings::read(const char* key) const {
    const QString name = QLatin1String(key);
    return settings.value(name, registeredDefaults().value(name));
}

template <typename T>
void AppSettings::store(T& field, T value, const char* key, void (AppSettings::*changed)(T)) {
    const bool differs = !(field == value);
    field = value;
    if constexpr (std::is_same_v<T, AppearanceMode>)
        settings.setValue(QLatin1String(key), AppearanceModes::rawValue(value));
    else if constexpr (std::is_same_v<T, ScrollZoomBehavior>)
        settings.setValue(QLatin1String(key), ScrollZoomBehaviors::rawValue(value));
    else
        settings.setValue(QLatin1String(key), QVariant::fromValue(value));
    // Every QSettings of the process sees the value now; the file follows on the next turn of
    // the event loop and at exit. Syncing here would hit the disk for every slider step.
    if (differs)
        emit(this->*changed)(value);
}

void AppSettings::setAppearance(AppearanceMode value) {
    store(m_appearance, value, "appearance", &AppSettings::appearanceChanged);
}

void AppSettings::setShowPixelGrid(bool value) {
    store(m_showPixelGrid, value, "showPixelGrid", &AppSettings::showPixelGridChanged);
}

void AppSettings::setGridOpacity(double value) {
    store(m_gridOpacity, value, "gridOpacity", &AppSettings::gridOpacityChanged);
}

void AppSettings::setAutomaticGrid(bool value) {
    store(m_automaticGrid, value, "automaticGrid", &AppSettings::automaticGridChanged);
}

void AppSettings::setAutomaticGridZoom(double value) {
    store(m_automaticGridZoom, value, "automaticGridZoom", &AppSettings::automaticGridZoomChanged);
}

void AppSettings::setShowCheckerboard(bool value) {
    store(m_showCheckerboard, value, "showCheckerboard", &AppSettings::showCheckerboardChanged);
}

void AppSettings::setScrollBehavior(ScrollZoomBehavior value) {
    store(m_scrollBehavior, value, "scrollBehavior", &AppSettings::scrollBehaviorChanged);
}

void AppSettings::setOptionScrollZooms(bool value) {
    store(m_optionScrollZooms, value, "optionScrollZooms", &AppSettings::optionScrollZoomsChanged);
}

void AppSettings::setMouseWheelZooms(bool value) {
    store(m_mouseWheelZooms, value, "mouseWheelZooms", &AppSettings::mouseWheelZoomsChanged);
}

void AppSettings::setOnionSkinEnabled(bool value) {
    store(m_onionSkinEnabled, value, "onionSkinEnabled", &AppSettings::onionSkinEnabledChanged);
}

void AppSettings::setOnionSkinFramesBefore(qint64 value) {
    store(m_onionSkinFramesBefore, value, "onionSkinFramesBefore",
          &AppSettings::onionSkinFramesBeforeChanged);
}

void AppSettings::setOnionSkinFramesAfter(qint64 value) {
    store(m_onionSkinFramesAfter, value, "onionSkinFramesAfter",
          &AppSettings::onionSkinFramesAfterChanged);
}

void AppSettings::setOnionSkinOpacity(double value) {
    store(m_onionSkinOpacity, value, "onionSkinOpacity", &AppSettings::onionSkinOpacityChanged);
}

void AppSettings::setDefaultExportPercent(qint64 value) {
    store(m_defaultExportPercent, value, "defaultExportPercent",
          &AppSettings::defaultExportPercentChanged);
}

void AppSettings::setPixelPerfect(bool value) {
    store(m_pixelPerfect, value, "pixelPerfect", &AppSettings::pixelPerfectChanged);
}

void AppSettings::setDefaultNewWidth(qint64 value) {
    store(m_defaultNewWidth, value, "defaultNewWidth", &AppSettings::defaultNewWidthChanged);
}

void AppSettings::setDefaultNewHeight(qint64 value) {
    store(m_defaultNewHeight, value, "defaultNewHeight", &AppSettings::defaultNewHeightChanged);
}

void AppSettings::setUndoMemoryMegabytes(qint64 value) {
    store(m_undoMemoryMegabytes, value, "undoMemoryMegabytes",
          &AppSettings::undoMemoryMegabytesChanged);
}
