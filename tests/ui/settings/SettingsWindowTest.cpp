#include "SettingsWindow.h"
#include "PercentSliderWidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct SettingsWindowTest : ::testing::Test {
    std::unique_ptr<AppSettings> settings;
    std::unique_ptr<SettingsWindow> window;

    void SetUp() override {
        QSettings(QStringLiteral("Kestrin"), QStringLiteral("Kestrin")).clear();
        settings = std::make_unique<AppSettings>();
    }
    void open() { window = std::make_unique<SettingsWindow>(*settings); }
    static QVariant stored(const char* key) {
        return QSettings(QStringLiteral("Kestrin"), QStringLiteral("Kestrin")).value(key);
    }

    // The control in a pane that a form row labels with text, or that shows the text itself.
    template <typename Control> Control* control(SettingsWindow::Pane pane, const QString& text) {
        QWidget* page = window->pane(pane);
        for (QLabel* label : page->findChildren<QLabel*>())
            if (label->text() == text && label->buddy())
                return qobject_cast<Control*>(label->buddy());
        for (Control* candidate : page->findChildren<Control*>()) {
            if (candidate->property("text").toString() == text ||
                candidate->property("prefix").toString() == text)
                return candidate;
        }
        return nullptr;
    }
    // Chooses an item the way the keyboard does, which is how a user's choice is announced.
    static void choose(QComboBox* picker, const QString& title) {
        const int target = picker->findText(title);
        ASSERT_GE(target, 0) << title.toStdString();
        while (picker->currentIndex() != target)
            QTest::keyClick(picker, picker->currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
    }
};

TEST_F(SettingsWindowTest, ControlsWriteTheirKeysAtOnce) {
    open();
    choose(control<QComboBox>(SettingsWindow::canvas, "Automatic grid above"), "1600%");
    EXPECT_EQ(stored("automaticGridZoom").toDouble(), 16.0);
    const std::tuple<SettingsWindow::Pane, const char*, const char*> toggles[] = {
        {SettingsWindow::canvas, "Show pixel grid", "showPixelGrid"},
        {SettingsWindow::canvas, "Show transparency checkerboard", "showCheckerboard"},
        {SettingsWindow::input, "Alt + scroll zooms", "optionScrollZooms"},
        {SettingsWindow::canvas, "Show grid automatically at high zoom", "automaticGrid"},
    };
    for (const auto& [pane, toggle, key] : toggles) {
        control<QCheckBox>(pane, toggle)->click();
        EXPECT_FALSE(stored(key).toBool()) << key;
    }
    EXPECT_FALSE(control<QComboBox>(SettingsWindow::canvas, "Automatic grid above")->isEnabled());
    EXPECT_EQ(stored("automaticGridZoom").toDouble(), 16.0);
    auto* opacity = control<PercentSliderWidget>(SettingsWindow::canvas, "Grid opacity");
    opacity->slider()->setValue(opacity->slider()->maximum());
    EXPECT_DOUBLE_EQ(stored("gridOpacity").toDouble(), 0.8);
    EXPECT_EQ(opacity->valueLabel()->text(), "80%");
    EXPECT_EQ(opacity->valueLabel()->width(), PercentSliderWidget::valueWidth);
    opacity->slider()->setValue(opacity->slider()->minimum());
    EXPECT_DOUBLE_EQ(settings->gridOpacity(), 0.05);
    QSpinBox* before = control<QSpinBox>(SettingsWindow::canvas, "Previous frames: ");
    for (int i = 0; i < 6; ++i)
        before->stepUp();
    EXPECT_EQ(stored("onionSkinFramesBefore").toInt(), 4);
    control<QSpinBox>(SettingsWindow::canvas, "Next frames: ")->stepDown();
    EXPECT_EQ(settings->onionSkinFramesAfter(), 0);
    choose(control<QComboBox>(SettingsWindow::general, "Appearance"), "Dark");
    EXPECT_EQ(stored("appearance").toString(), "dark");
    choose(control<QComboBox>(SettingsWindow::input, "Trackpad scrolling"), "Scroll to Zoom");
    EXPECT_EQ(stored("scrollBehavior").toString(), "scrollZooms");
    choose(control<QComboBox>(SettingsWindow::input, "Mouse wheel"), "Scroll");
    EXPECT_FALSE(stored("mouseWheelZooms").toBool());
    choose(control<QComboBox>(SettingsWindow::exporting, "Default scale"), "25%");
    EXPECT_EQ(stored("defaultExportPercent").toInt(), 25);
}

TEST_F(SettingsWindowTest, ShowsWhatOthersWroteAndLeavesOddStoredValuesAlone) {
    settings->setDefaultExportPercent(300); // as the export sheet does
    settings->setOnionSkinFramesBefore(-3);
    settings->setGridOpacity(1.5);
    settings->setOnionSkinOpacity(-1);
    open();
    QComboBox* scale = control<QComboBox>(SettingsWindow::exporting, "Default scale");
    EXPECT_EQ(scale->currentText(), "300%");
    // Shown as drawn: an opacity stays within 0…100 %.
    EXPECT_EQ(
        control<PercentSliderWidget>(SettingsWindow::canvas, "Grid opacity")->valueLabel()->text(),
        "100%");
    EXPECT_EQ(control<PercentSliderWidget>(SettingsWindow::canvas, "Opacity")->valueLabel()->text(),
              "0%");
    EXPECT_EQ(stored("onionSkinFramesBefore").toInt(), -3);
    EXPECT_EQ(stored("gridOpacity").toDouble(), 1.5);

    settings->setDefaultExportPercent(800);
    EXPECT_EQ(scale->currentText(), "800%");
    settings->setAutomaticGrid(false);
    EXPECT_FALSE(control<QComboBox>(SettingsWindow::canvas, "Automatic grid above")->isEnabled());
}

TEST_F(SettingsWindowTest, OpenHelpAsksTheApplication) {
    open();
    QPushButton* help = control<QPushButton>(SettingsWindow::input, "Open Help");
    help->click(); // nothing connected yet: nothing happens
    int opened = 0;
    window->openHelp = [&] { ++opened; };
    help->click();
    EXPECT_EQ(opened, 1);
}

} // namespace
