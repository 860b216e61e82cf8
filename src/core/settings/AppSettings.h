#pragma once

#include "AppearanceMode.h"
#include "ScrollZoomBehavior.h"

#include <QObject>
#include <QSettings>

// The application-wide preferences. Every write goes to QSettings at once; a change signal
// fires only when the value really changes. Values are stored as read, without range checks:
// consumers bound them where they use them.
class AppSettings : public QObject {
    Q_OBJECT
    Q_PROPERTY(
        AppearanceMode appearance READ appearance WRITE setAppearance NOTIFY appearanceChanged)
    Q_PROPERTY(
        bool showPixelGrid READ showPixelGrid WRITE setShowPixelGrid NOTIFY showPixelGridChanged)
    Q_PROPERTY(double gridOpacity READ gridOpacity WRITE setGridOpacity NOTIFY gridOpacityChanged)
    Q_PROPERTY(
        bool automaticGrid READ automaticGrid WRITE setAutomaticGrid NOTIFY automaticGridChanged)
    Q_PROPERTY(double automaticGridZoom READ automaticGridZoom WRITE setAutomaticGridZoom NOTIFY
                   automaticGridZoomChanged)
    Q_PROPERTY(bool showCheckerboard READ showCheckerboard WRITE setShowCheckerboard NOTIFY
                   showCheckerboardChanged)
    Q_PROPERTY(ScrollZoomBehavior scrollBehavior READ scrollBehavior WRITE setScrollBehavior NOTIFY
                   scrollBehaviorChanged)
    Q_PROPERTY(bool optionScrollZooms READ optionScrollZooms WRITE setOptionScrollZooms NOTIFY
                   optionScrollZoomsChanged)
    Q_PROPERTY(bool mouseWheelZooms READ mouseWheelZooms WRITE setMouseWheelZooms NOTIFY
                   mouseWheelZoomsChanged)
    Q_PROPERTY(bool onionSkinEnabled READ onionSkinEnabled WRITE setOnionSkinEnabled NOTIFY
                   onionSkinEnabledChanged)
    Q_PROPERTY(qint64 onionSkinFramesBefore READ onionSkinFramesBefore WRITE
                   setOnionSkinFramesBefore NOTIFY onionSkinFramesBeforeChanged)
    Q_PROPERTY(qint64 onionSkinFramesAfter READ onionSkinFramesAfter WRITE setOnionSkinFramesAfter
                   NOTIFY onionSkinFramesAfterChanged)
    Q_PROPERTY(double onionSkinOpacity READ onionSkinOpacity WRITE setOnionSkinOpacity NOTIFY
                   onionSkinOpacityChanged)
    Q_PROPERTY(qint64 defaultExportPercent READ defaultExportPercent WRITE setDefaultExportPercent
                   NOTIFY defaultExportPercentChanged)
    Q_PROPERTY(bool pixelPerfect READ pixelPerfect WRITE setPixelPerfect NOTIFY pixelPerfectChanged)
    Q_PROPERTY(qint64 defaultNewWidth READ defaultNewWidth WRITE setDefaultNewWidth NOTIFY
                   defaultNewWidthChanged)
    Q_PROPERTY(qint64 defaultNewHeight READ defaultNewHeight WRITE setDefaultNewHeight NOTIFY
                   defaultNewHeightChanged)
    // 0: automatic (a quarter of physical memory, at most 2 GiB).
    Q_PROPERTY(qint64 undoMemoryMegabytes READ undoMemoryMegabytes WRITE setUndoMemoryMegabytes
                   NOTIFY undoMemoryMegabytesChanged)

public:
    // Reads the store of organisation "Kestrin", application "Kestrin".
    explicit AppSettings(QObject* parent = nullptr);
    // The process-wide instance, created on first use.
    static AppSettings& shared();
    // The thirteen fallbacks used for keys the user never stored; never written.
    static const QVariantMap& registeredDefaults();

    AppearanceMode appearance() const { return m_appearance; }
    bool showPixelGrid() const { return m_showPixelGrid; }
    double gridOpacity() const { return m_gridOpacity; }
    bool automaticGrid() const { return m_automaticGrid; }
    double automaticGridZoom() const { return m_automaticGridZoom; }
    bool showCheckerboard() const { return m_showCheckerboard; }
    ScrollZoomBehavior scrollBehavior() const { return m_scrollBehavior; }
    bool optionScrollZooms() const { return m_optionScrollZooms; }
    bool mouseWheelZooms() const { return m_mouseWheelZooms; }
    bool onionSkinEnabled() const { return m_onionSkinEnabled; }
    qint64 onionSkinFramesBefore() const { return m_onionSkinFramesBefore; }
    qint64 onionSkinFramesAfter() const { return m_onionSkinFramesAfter; }
    double onionSkinOpacity() const { return m_onionSkinOpacity; }
    qint64 defaultExportPercent() const { return m_defaultExportPercent; }
    bool pixelPerfect() const { return m_pixelPerfect; }
    qint64 defaultNewWidth() const { return m_defaultNewWidth; }
    qint64 defaultNewHeight() const { return m_defaultNewHeight; }
    qint64 undoMemoryMegabytes() const { return m_undoMemoryMegabytes; }

    void setAppearance(AppearanceMode value);
    void setShowPixelGrid(bool value);
    void setGridOpacity(double value);
    void setAutomaticGrid(bool value);
    void setAutomaticGridZoom(double value);
    void setShowCheckerboard(bool value);
    void setScrollBehavior(ScrollZoomBehavior value);
    void setOptionScrollZooms(bool value);
    void setMouseWheelZooms(bool value);
    void setOnionSkinEnabled(bool value);
    void setOnionSkinFramesBefore(qint64 value);
    void setOnionSkinFramesAfter(qint64 value);
    void setOnionSkinOpacity(double value);
    void setDefaultExportPercent(qint64 value);
    void setPixelPerfect(bool value);
    void setDefaultNewWidth(qint64 value);
    void setDefaultNewHeight(qint64 value);
    void setUndoMemoryMegabytes(qint64 value);

signals:
    void appearanceChanged(AppearanceMode value);
    void showPixelGridChanged(bool value);
    void gridOpacityChanged(double value);
    void automaticGridChanged(bool value);
    void automaticGridZoomChanged(double value);
    void showCheckerboardChanged(bool value);
    void scrollBehaviorChanged(ScrollZoomBehavior value);
    void optionScrollZoomsChanged(bool value);
    void mouseWheelZoomsChanged(bool value);
    void onionSkinEnabledChanged(bool value);
    void onionSkinFramesBeforeChanged(qint64 value);
    void onionSkinFramesAfterChanged(qint64 value);
    void onionSkinOpacityChanged(double value);
    void defaultExportPercentChanged(qint64 value);
    void pixelPerfectChanged(bool value);
    void defaultNewWidthChanged(qint64 value);
    void defaultNewHeightChanged(qint64 value);
    void undoMemoryMegabytesChanged(qint64 value);

private:
    template <typename T>
    void store(T& field, T value, const char* key, void (AppSettings::*changed)(T));
    QVariant read(const char* key) const;

    QSettings settings;
    AppearanceMode m_appearance;
    bool m_showPixelGrid;
    double m_gridOpacity;
    bool m_automaticGrid;
    double m_automaticGridZoom;
    bool m_showCheckerboard;
    ScrollZoomBehavior m_scrollBehavior;
    bool m_optionScrollZooms;
    bool m_mouseWheelZooms;
    bool m_onionSkinEnabled;
    qint64 m_onionSkinFramesBefore;
    qint64 m_onionSkinFramesAfter;
    double m_onionSkinOpacity;
    qint64 m_defaultExportPercent;
    bool m_pixelPerfect;
    qint64 m_defaultNewWidth;
    qint64 m_defaultNewHeight;
    qint64 m_undoMemoryMegabytes;
};
