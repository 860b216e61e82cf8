#include "SettingsWindow.h"

#include "PercentSliderWidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QMetaMethod>
#include <QMetaProperty>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

namespace {

const QList<double> automaticGridZooms = {4.0, 8.0, 16.0};
const QList<qint64> exportPercents = {25, 50, 100, 200, 300, 400, 500, 600, 700, 800, 900, 1000};
constexpr int maximumOnionSkinFrames = 4;
// The undo history may not ask for more than this (MB); a machine with less memory simply
// runs out of it sooner, and the oldest steps go.
constexpr int maximumUndoMegabytes = 1 << 20;

QString percentTitle(qint64 percent) {
    return SettingsWindow::tr("%1%").arg(percent);
}

QLabel* wrappedText(const QString& text) {
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    return label;
}

QLabel* sectionTitle(const QString& text) {
    auto* label = new QLabel(text);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

QFormLayout* formOn(QWidget* pane) {
    auto* form = new QFormLayout(pane);
    form->setContentsMargins(20, 16, 20, 16);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return form;
}

} // namespace

SettingsWindow::SettingsWindow(AppSettings& settings, QWidget* parent)
    : QWidget(parent, Qt::Window), settings(settings), tabs(new QTabBar),
      panes(new QStackedWidget) {
    setWindowTitle(tr("Settings"));
    for (const QString& title : {tr("General"), tr("Canvas"), tr("Input"), tr("Export")})
        tabs->addTab(title);
    tabs->setExpanding(false);
    panes->addWidget(makeGeneralPane());
    panes->addWidget(makeCanvasPane());
    panes->addWidget(makeInputPane());
    panes->addWidget(makeExportPane());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tabs, 0, Qt::AlignHCenter);
    layout->addWidget(panes);
    connect(tabs, &QTabBar::currentChanged, this, [this](int index) { showPane(Pane(index)); });
    observeSettings();
    refresh();
    showPane(general);
}

QWidget* SettingsWindow::pane(Pane which) const {
    return panes->widget(which);
}

void SettingsWindow::showPane(Pane which) {
    tabs->setCurrentIndex(which);
    panes->setCurrentIndex(which);
    panes->setFixedSize(windowWidth, paneHeights[which]);
    setFixedSize(windowWidth, tabs->sizeHint().height() + paneHeights[which]);
}

// --- panes ---

QWidget* SettingsWindow::makeGeneralPane() {
    auto* pane = new QWidget;
    QFormLayout* form = formOn(pane);
    QStringList titles;
    for (AppearanceMode mode : AppearanceModes::all)
        titles << AppearanceModes::title(mode);
    appearance = addPicker(form, tr("Appearance"), titles, [this](int index) {
        settings.setAppearance(AppearanceModes::all[index]);
    });
    form->addRow(tr("Autosave"),
                 wrappedText(tr("Unsaved changes are copied to a recovery file within 30 "
                                "seconds and offered back if Kestrin quits unexpectedly.")));
    undoMemory = new QSpinBox;
    undoMemory->setRange(0, maximumUndoMegabytes);
    undoMemory->setSingleStep(64);
    undoMemory->setSuffix(tr(" MB"));
    undoMemory->setSpecialValueText(tr("Automatic"));
    undoMemory->setToolTip(tr("How much memory the undo history may keep. When it is full, the "
                              "oldest steps are forgotten. Automatic: a quarter of this "
                              "computer's memory, at most 2048 MB."));
    undoMemory->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(undoMemory, &QSpinBox::valueChanged, &settings,
            [this](int value) { settings.setUndoMemoryMegabytes(value); });
    form->addRow(tr("Undo memory"), undoMemory);
    return pane;
}

QWidget* SettingsWindow::makeCanvasPane() {
    auto* pane = new QWidget;
    QFormLayout* form = formOn(pane);
    showPixelGrid = addToggle(form, tr("Show pixel grid"), &AppSettings::setShowPixelGrid);
    gridOpacity = new PercentSliderWidget(0.05, 0.8);
    connect(gridOpacity, &PercentSliderWidget::valueChanged, &settings,
            &AppSettings::setGridOpacity);
    form->addRow(tr("Grid opacity"), gridOpacity);
    automaticGrid =
        addToggle(form, tr("Show grid automatically at high zoom"), &AppSettings::setAutomaticGrid);
    QStringList zoomTitles;
    for (double zoom : automaticGridZooms)
        zoomTitles << percentTitle(qint64(zoom * 100));
    automaticGridZoom = addPicker(form, tr("Automatic grid above"), zoomTitles, [this](int index) {
        settings.setAutomaticGridZoom(automaticGridZooms[index]);
    });
    showCheckerboard =
        addToggle(form, tr("Show transparency checkerboard"), &AppSettings::setShowCheckerboard);

    form->addRow(sectionTitle(tr("Onion Skin")));
    onionSkinFramesBefore =
        addStepper(form, tr("Previous frames: "), &AppSettings::setOnionSkinFramesBefore);
    onionSkinFramesAfter =
        addStepper(form, tr("Next frames: "), &AppSettings::setOnionSkinFramesAfter);
    onionSkinOpacity = new PercentSliderWidget(0.1, 0.8);
    connect(onionSkinOpacity, &PercentSliderWidget::valueChanged, &settings,
            &AppSettings::setOnionSkinOpacity);
    form->addRow(tr("Opacity"), onionSkinOpacity);
    return pane;
}

QWidget* SettingsWindow::makeInputPane() {
    auto* pane = new QWidget;
    QFormLayout* form = formOn(pane);
    QStringList behaviors;
    for (ScrollZoomBehavior behavior : ScrollZoomBehaviors::all)
        behaviors << ScrollZoomBehaviors::title(behavior);
    scrollBehavior = addPicker(form, tr("Trackpad scrolling"), behaviors, [this](int index) {
        settings.setScrollBehavior(ScrollZoomBehaviors::all[index]);
    });
    mouseWheel = addPicker(form, tr("Mouse wheel"), {tr("Zoom at pointer"), tr("Scroll")},
                           [this](int index) { settings.setMouseWheelZooms(index == 0); });
    altScrollZooms = addToggle(form, tr("Alt + scroll zooms"), &AppSettings::setOptionScrollZooms);

    form->addRow(sectionTitle(tr("Keyboard")));
    auto* help = new QPushButton(tr("Open Help"));
    connect(help, &QPushButton::clicked, this, [this] {
        if (openHelp)
            openHelp();
    });
    form->addRow(tr("Shortcuts and gestures"), help);
    return pane;
}

QWidget* SettingsWindow::makeExportPane() {
    auto* pane = new QWidget;
    QFormLayout* form = formOn(pane);
    QStringList titles;
    for (qint64 percent : exportPercents)
        titles << percentTitle(percent);
    exportScale = addPicker(form, tr("Default scale"), titles, [this](int index) {
        settings.setDefaultExportPercent(exportPercents[index]);
    });
    form->addRow(tr("Scaling"),
                 wrappedText(tr("Nearest neighbor \u2014 pixels stay square at every scale, and "
                                "below 100% whole pixels are dropped rather than blended.")));
    return pane;
}

// --- controls ---

QCheckBox* SettingsWindow::addToggle(QFormLayout* form, const QString& label,
                                     void (AppSettings::*set)(bool)) {
    auto* toggle = new QCheckBox(label);
    connect(toggle, &QCheckBox::clicked, &settings, set);
    form->addRow(toggle);
    return toggle;
}

QComboBox* SettingsWindow::addPicker(QFormLayout* form, const QString& label,
                                     const QStringList& titles,
                                     const std::function<void(int)>& choose) {
    auto* picker = new QComboBox;
    picker->addItems(titles);
    connect(picker, &QComboBox::activated, this, choose);
    form->addRow(label, picker);
    return picker;
}

QSpinBox* SettingsWindow::addStepper(QFormLayout* form, const QString& label,
                                     void (AppSettings::*set)(qint64)) {
    auto* stepper = new QSpinBox;
    stepper->setPrefix(label);
    stepper->setRange(0, maximumOnionSkinFrames);
    stepper->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(stepper, &QSpinBox::valueChanged, &settings,
            [this, set](int value) { (settings.*set)(value); });
    form->addRow(stepper);
    return stepper;
}

// --- following the store ---

// Every preference shown here may also change elsewhere (the export sheet writes the scale).
void SettingsWindow::observeSettings() {
    const QMetaObject* meta = settings.metaObject();
    const QMetaMethod update = metaObject()->method(metaObject()->indexOfSlot("refresh()"));
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i)
        connect(&settings, meta->property(i).notifySignal(), this, update);
}

void SettingsWindow::refresh() {
    // Showing a value is no choice: toggles and pickers only announce clicks, and the
    // steppers are kept quiet, so a stored value outside their range stays as it is.
    const QSignalBlocker quietBefore(onionSkinFramesBefore);
    const QSignalBlocker quietAfter(onionSkinFramesAfter);
    const QSignalBlocker quietUndo(undoMemory);
    undoMemory->setValue(
        int(std::clamp<qint64>(settings.undoMemoryMegabytes(), 0, maximumUndoMegabytes)));
    appearance->setCurrentIndex(AppearanceModes::all.indexOf(settings.appearance()));
    showPixelGrid->setChecked(settings.showPixelGrid());
    gridOpacity->setValue(settings.gridOpacity());
    automaticGrid->setChecked(settings.automaticGrid());
    automaticGridZoom->setCurrentIndex(automaticGridZooms.indexOf(settings.automaticGridZoom()));
    automaticGridZoom->setEnabled(settings.automaticGrid());
    showCheckerboard->setChecked(settings.showCheckerboard());
    onionSkinFramesBefore->setValue(
        int(std::clamp<qint64>(settings.onionSkinFramesBefore(), 0, maximumOnionSkinFrames)));
    onionSkinFramesAfter->setValue(
        int(std::clamp<qint64>(settings.onionSkinFramesAfter(), 0, maximumOnionSkinFrames)));
    onionSkinOpacity->setValue(settings.onionSkinOpacity());
    scrollBehavior->setCurrentIndex(ScrollZoomBehaviors::all.indexOf(settings.scrollBehavior()));
    mouseWheel->setCurrentIndex(settings.mouseWheelZooms() ? 0 : 1);
    altScrollZooms->setChecked(settings.optionScrollZooms());
    exportScale->setCurrentIndex(exportPercents.indexOf(settings.defaultExportPercent()));
}
