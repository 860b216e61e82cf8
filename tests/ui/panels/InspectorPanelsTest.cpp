#include "BrushInspector.h"
#include "EditorToolbar.h"
#include "PanelFixture.h"
#include "SymmetryInspector.h"
#include "ToolStripView.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QSlider>
#include <QTest>

namespace {

QStringList visibleTexts(const QWidget& widget) {
    QStringList texts;
    for (const QLabel* label : widget.findChildren<QLabel*>())
        if (label->isVisibleTo(&widget))
            texts << label->text();
    return texts;
}

using BrushInspectorTest = PanelFixture;

TEST_F(BrushInspectorTest, ControlsReachTheEditorAndCaptionsFollowToolAndSize) {
    BrushInspector brush(editor.get());
    const auto shows = [&](const QString& text) { return visibleTexts(brush).contains(text); };
    editor->setActiveTool(ToolKind::eraser);
    editor->setBrushSize(3);
    EXPECT_TRUE(shows("Only at a brush size of 1 px."));
    EXPECT_TRUE(shows("3 px"));
    EXPECT_FALSE(shows("The current tool draws single pixels."));
    editor->setActiveTool(ToolKind::fill);
    EXPECT_TRUE(shows("For the pencil and the eraser."));
    EXPECT_TRUE(shows("The current tool draws single pixels."));

    QSlider* slider = brush.findChild<QSlider*>();
    editor->setBrushSize(30);
    buttonWithToolTip(brush, "Larger Brush (])")->click();
    EXPECT_EQ(editor->brushSize(), 31);
    buttonWithToolTip(brush, "Smaller Brush ([)")->click();
    EXPECT_EQ(editor->brushSize(), 30);
    EXPECT_EQ(slider->value(), 30);
    slider->setValue(1);
    EXPECT_EQ(editor->brushSize(), 1);
    editor->setActiveTool(ToolKind::pencil);
    EXPECT_TRUE(shows("No doubled pixels where a line turns."));

    QCheckBox* pixelPerfect = brush.findChild<QCheckBox*>();
    pixelPerfect->click();
    EXPECT_TRUE(editor->pixelPerfect());
    editor->setPixelPerfect(false);
    EXPECT_FALSE(pixelPerfect->isChecked());
}

using SymmetryInspectorTest = PanelFixture;

TEST_F(SymmetryInspectorTest, SegmentsChooseTheModeAndTheTextDescribesIt) {
    SymmetryInspector symmetry(editor.get());
    const QList<QToolButton*> segments = symmetry.findChildren<QToolButton*>();
    ASSERT_EQ(segments.size(), SymmetryModes::all.size());
    segments[1]->click();
    EXPECT_EQ(editor->symmetry(), SymmetryMode::leftRight);
    EXPECT_TRUE(visibleTexts(symmetry).contains("Mirroring left to right."));
    editor->setSymmetry(SymmetryMode::topBottom);
    EXPECT_TRUE(segments[2]->isChecked());
    EXPECT_TRUE(visibleTexts(symmetry).contains("Mirroring top to bottom."));

    editor->setSymmetry(SymmetryMode::diagonal);
    EXPECT_TRUE(visibleTexts(symmetry).contains("Mirroring across the diagonal."));
    open(Sprite::blank(8, 4));
    SymmetryInspector wide(editor.get());
    editor->setSymmetry(SymmetryMode::diagonal);
    EXPECT_TRUE(visibleTexts(wide).contains(
        "Mirroring across the diagonal. Only what lands on the canvas is drawn."));
}

using ToolStripTest = PanelFixture;

TEST_F(ToolStripTest, ButtonsAndTheActiveToolFollowEachOther) {
    ToolStripView strip(editor.get());
    strip.button(ToolKind::ellipse)->click();
    EXPECT_EQ(editor->activeTool(), ToolKind::ellipse);
    editor->setActiveTool(ToolKind::eraser);
    EXPECT_TRUE(strip.button(ToolKind::eraser)->isChecked());
    EXPECT_FALSE(strip.button(ToolKind::ellipse)->isChecked());
}

using EditorToolbarTest = PanelFixture;

TEST_F(EditorToolbarTest, ButtonsReachTheEditorWithLinuxShortcutsInTheirTooltips) {
    EditorToolbar toolbar(editor.get());
    QList<EditorViewState::ZoomIntent> zooms;
    editor->view().performZoom = [&](EditorViewState::ZoomIntent intent) { zooms.append(intent); };
    buttonWithToolTip(toolbar, "Zoom Out (Ctrl+\u2212)")->click();
    buttonWithToolTip(toolbar, "Fit Canvas (Ctrl+0)")->click();
    buttonWithToolTip(toolbar, "Zoom In (Ctrl++)")->click();
    EXPECT_EQ(zooms, (QList{EditorViewState::ZoomIntent::zoomOut, EditorViewState::ZoomIntent::fit,
                            EditorViewState::ZoomIntent::zoomIn}));

    EXPECT_FALSE(toolbar.fillButton()->isEnabled()); // the pencil has no fill
    editor->setActiveTool(ToolKind::triangle);
    ASSERT_TRUE(toolbar.fillButton()->isEnabled());
    toolbar.fillButton()->click();
    EXPECT_TRUE(editor->shapeFilled());

    int toggles = 0;
    QObject::connect(&toolbar, &EditorToolbar::inspectorPresentedChanged, [&] { ++toggles; });
    EXPECT_TRUE(toolbar.isInspectorPresented());
    buttonWithToolTip(toolbar, "Toggle Inspector")->click();
    EXPECT_FALSE(toolbar.isInspectorPresented());
    EXPECT_EQ(toggles, 1);
}

} // namespace
