#include "SettingsWindow.h"
#include "PercentSliderWidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct SettingsWindowTest : ::testing::Test {
    std::unique_ptr<AppSettings> settings;
    std::unique_ptr<SettingsWindow> window;

    void SetUp() override {
        QSettings store(QStringLiteral("Kestrin"), QStringLiteral("Kestrin"));
        store.clear();
        store.sync();
        settings = std::make_unique<AppSettings>();
    }
    void TearDown() override { window.reset(); }

    SettingsWindow& open() {
        window = std::make_unique<SettingsWindow>(*settings);
        return *window;
    }
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
            const QString shown = candidate->property("text").toString();
            const QString prefix = candidate->property("prefix").toString();
            if (shown == text || prefix == text)
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
    static QStringList items(const QComboBox* picker) {
        QStringList titles;
        for (int i = 0; i < picker->count(); ++i)
            titles << picker->itemText(i);
        return titles;
    }
};

TEST_F(SettingsWindowTest, PanesHaveTheirControlsLabelsAndSizes) {
    open();
    EXPECT_EQ(window->tabBar()->count(), 4);
    const QList<QPair<SettingsWindow::Pane, QStringList>> labels = {
        {SettingsWindow::general, {"Appearance", "Autosave"}},
        {SettingsWindow::canvas, {"Grid opacity", "Automatic grid above", "Onion Skin", "Opacity"}},
        {SettingsWindow::input,
         {"Trackpad scrolling", "Mouse wheel", "Keyboard", "Shortcuts and gestures"}},
        {SettingsWindow::exporting, {"Default scale", "Scaling"}},
    };
    for (const auto& [pane, texts] : labels) {
        QStringList shown;
        for (const QLabel* label : window->pane(pane)->findChildren<QLabel*>())
            shown << label->text();
        for (const QString& text : texts)
            EXPECT_TRUE(shown.contains(text)) << text.toStdString();
    }
    for (const char* toggle : {"Show pixel grid", "Show grid automatically at high zoom",
                               "Show transparency checkerboard"})
        EXPECT_NE(control<QCheckBox>(SettingsWindow::canvas, toggle), nullptr) << toggle;
    EXPECT_NE(control<QCheckBox>(SettingsWindow::input, "Alt + scroll zooms"), nullptr);
    EXPECT_EQ(items(control<QComboBox>(SettingsWindow::general, "Appearance")),
              (QStringList{"System", "Light", "Dark"}));
    EXPECT_EQ(items(control<QComboBox>(SettingsWindow::canvas, "Automatic grid above")),
              (QStringList{"400%", "800%", "1600%"}));
    EXPECT_EQ(items(control<QComboBox>(SettingsWindow::input, "Trackpad scrolling")),
              (QStringList{"Scroll to Pan, Pinch to Zoom", "Scroll to Zoom"}));
    EXPECT_EQ(items(control<QComboBox>(SettingsWindow::input, "Mouse wheel")),
              (QStringList{"Zoom at pointer", "Scroll"}));
    EXPECT_EQ(items(control<QComboBox>(SettingsWindow::exporting, "Default scale")),
              (QStringList{"25%", "50%", "100%", "200%", "300%", "400%", "500%", "600%", "700%",
                           "800%", "900%", "1000%"}));
    EXPECT_EQ(control<QSpinBox>(SettingsWindow::canvas, "Previous frames: ")->text(),
              "Previous frames: 1");

    window->show();
    for (int pane = 0; pane < 4; ++pane) {
        window->tabBar()->setCurrentIndex(pane);
        const QImage image = window->pane(SettingsWindow::Pane(pane))->grab().toImage();
        EXPECT_EQ(image.size(), QSize(420, SettingsWindow::paneHeights[pane]));
        EXPECT_EQ(window->width(), 420);
        EXPECT_EQ(window->height(),
                  window->tabBar()->sizeHint().height() + SettingsWindow::paneHeights[pane]);
    }
}

TEST_F(SettingsWindowTest, ControlsWriteTheirKeysAtOnce) {
    open();
    choose(control<QComboBox>(SettingsWindow::canvas, "Automatic grid above"), "1600%");
    EXPECT_EQ(settings->automaticGridZoom(), 16.0);
    EXPECT_EQ(stored("automaticGridZoom").toDouble(), 16.0);

    control<QCheckBox>(SettingsWindow::canvas, "Show grid automatically at high zoom")->click();
    EXPECT_FALSE(stored("automaticGrid").toBool());
    QComboBox* zoom = control<QComboBox>(SettingsWindow::canvas, "Automatic grid above");
    EXPECT_FALSE(zoom->isEnabled());
    EXPECT_EQ(stored("automaticGridZoom").toDouble(), 16.0);

    auto* opacity = control<PercentSliderWidget>(SettingsWindow::canvas, "Grid opacity");
    opacity->slider()->setValue(opacity->slider()->maximum());
    EXPECT_DOUBLE_EQ(stored("gridOpacity").toDouble(), 0.8);
    EXPECT_EQ(opacity->valueLabel()->text(), "80%");
    EXPECT_EQ(opacity->valueLabel()->width(), 40);
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
    control<QCheckBox>(SettingsWindow::input, "Alt + scroll zooms")->click();
    EXPECT_FALSE(stored("optionScrollZooms").toBool());
    choose(control<QComboBox>(SettingsWindow::exporting, "Default scale"), "25%");
    EXPECT_EQ(stored("defaultExportPercent").toInt(), 25);
}

TEST_F(SettingsWindowTest, ShowsWhatOthersWroteAndLeavesOddStoredValuesAlone) {
    settings->setDefaultExportPercent(300); // as the export sheet does
    settings->setOnionSkinFramesBefore(-3);
    settings->setGridOpacity(1.5);
    settings->setOnionSkinOpacity(-1);
    open();
    EXPECT_EQ(control<QComboBox>(SettingsWindow::exporting, "Default scale")->currentText(),
              "300%");
    // Shown as drawn: an opacity stays within 0…100 %.
    EXPECT_EQ(
        control<PercentSliderWidget>(SettingsWindow::canvas, "Grid opacity")->valueLabel()->text(),
        "100%");
    EXPECT_EQ(control<PercentSliderWidget>(SettingsWindow::canvas, "Opacity")->valueLabel()->text(),
              "0%");
    EXPECT_EQ(stored("onionSkinFramesBefore").toInt(), -3);
    EXPECT_EQ(stored("gridOpacity").toDouble(), 1.5);

    settings->setDefaultExportPercent(800);
    EXPECT_EQ(control<QComboBox>(SettingsWindow::exporting, "Default scale")->currentText(),
              "800%");
    settings->setAutomaticGrid(false);
    EXPECT_FALSE(control<QComboBox>(SettingsWindow::canvas, "Automatic grid above")->isEnabled());
}

TEST_F(SettingsWindowTest, OpenHelpAsksTheApplication) {
    open();
    QPushButton* help = window->pane(SettingsWindow::input)->findChild<QPushButton*>();
    ASSERT_EQ(help->text(), "Open Help");
    help->click(); // nothing connected yet: nothing happens
    int opened = 0;
    window->openHelp = [&] { ++opened; };
    help->click();
    EXPECT_EQ(opened, 1);
}

} // namespace
