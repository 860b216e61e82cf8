#pragma once

#include "AppSettings.h"

#include <QWidget>
#include <array>
#include <functional>

class PercentSliderWidget;
class QCheckBox;
class QComboBox;
class QFormLayout;
class QSpinBox;
class QStackedWidget;
class QTabBar;

// The Settings window: General, Canvas, Input and Export, each a form whose controls write
// their preference at once and follow it when it changes elsewhere. The window takes the
// height of the chosen pane.
class SettingsWindow : public QWidget {
    Q_OBJECT

public:
    enum Pane { general, canvas, input, exporting };
    static constexpr int windowWidth = 420;
    static constexpr std::array<int, 4> paneHeights = {140, 400, 420, 140};

    explicit SettingsWindow(AppSettings& settings = AppSettings::shared(),
                            QWidget* parent = nullptr);

    // Shows the help window; the application connects it ("Open Help" in the Input pane).
    std::function<void()> openHelp;

    void showPane(Pane pane);
    QWidget* pane(Pane pane) const;
    QTabBar* tabBar() const { return tabs; }

private:
    QWidget* makeGeneralPane();
    QWidget* makeCanvasPane();
    QWidget* makeInputPane();
    QWidget* makeExportPane();
    QCheckBox* addToggle(QFormLayout* form, const QString& label, void (AppSettings::*set)(bool));
    QComboBox* addPicker(QFormLayout* form, const QString& label, const QStringList& titles,
                         const std::function<void(int)>& choose);
    QSpinBox* addStepper(QFormLayout* form, const QString& label, void (AppSettings::*set)(qint64));
    void observeSettings();

private slots:
    void refresh();

private:
    AppSettings& settings;
    QTabBar* tabs;
    QStackedWidget* panes;
    QComboBox* appearance = nullptr;
    QCheckBox* showPixelGrid = nullptr;
    PercentSliderWidget* gridOpacity = nullptr;
    QCheckBox* automaticGrid = nullptr;
    QComboBox* automaticGridZoom = nullptr;
    QCheckBox* showCheckerboard = nullptr;
    QSpinBox* onionSkinFramesBefore = nullptr;
    QSpinBox* onionSkinFramesAfter = nullptr;
    QSpinBox* undoMemory = nullptr;
    PercentSliderWidget* onionSkinOpacity = nullptr;
    QComboBox* scrollBehavior = nullptr;
    QComboBox* mouseWheel = nullptr;
    QCheckBox* altScrollZooms = nullptr;
    QComboBox* exportScale = nullptr;
};
