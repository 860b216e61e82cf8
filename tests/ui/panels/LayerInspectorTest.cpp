#include "LayerInspector.h"
#include "LayerRow.h"
#include "LayerThumbnail.h"
#include "PanelFixture.h"

#include <QTest>

namespace {

// Background, Sketch and Ink, bottom to top, with Ink active and one red pixel on Sketch.
Sprite threeLayers() {
    Sprite sprite = Sprite::blank(16, 16);
    sprite.layers = {Layer("Background", 1), Layer("Sketch", 1), Layer("Ink", 1)};
    sprite.ensureCel(1, 0);
    sprite.layers[1].cels[0]->setWordAt(0, 0xFFFF0000);
    sprite.activeLayerID = sprite.layers[2].id;
    return sprite;
}

struct LayerInspectorTest : PanelFixture {
    LayerInspector* panel = nullptr;

    void SetUp() override {
        open(threeLayers());
        panel = show<LayerInspector>();
    }

    QStringList shownNames() const {
        QStringList names;
        for (LayerRow* row : panel->rows())
            names.append(row->nameLabel()->text());
        return names;
    }
    LayerRow* rowNamed(const QString& name) const {
        for (LayerRow* row : panel->rows())
            if (row->nameLabel()->text() == name)
                return row;
        return nullptr;
    }
    struct Enabled {
        bool remove, up, down;
        friend bool operator==(const Enabled&, const Enabled&) = default;
    };
    Enabled buttons() const {
        return {panel->deleteButton()->isEnabled(), panel->moveUpButton()->isEnabled(),
                panel->moveDownButton()->isEnabled()};
    }
    // Whether the row's context menu offers Merge Down and Delete.
    std::pair<bool, bool> menuEnablement(LayerRow* row) {
        std::pair<bool, bool> enabled;
        withContextMenu(row, QPoint(60, 10), [&](QMenu& menu) {
            enabled = {actionNamed(menu, "Merge Down")->isEnabled(),
                       actionNamed(menu, "Delete")->isEnabled()};
        });
        return enabled;
    }
};

} // namespace

TEST_F(LayerInspectorTest, RowsListTheTopLayerFirstWithThumbnailsAndOpacityHints) {
    EXPECT_EQ(shownNames(), (QStringList{"Ink", "Sketch", "Background"}));
    EXPECT_TRUE(panel->rows()[2]->thumbnail()->image().isNull()); // no cel in this frame
    const QImage sketch = rowNamed("Sketch")->thumbnail()->image();
    ASSERT_EQ(sketch.size(), QSize(16, 16));
    EXPECT_EQ(sketch.pixel(0, 0), 0xFFFF0000);

    panel->opacitySlider()->setValue(LayerInspector::opacitySteps / 2);
    EXPECT_DOUBLE_EQ(sprite().layers[2].opacity, 0.5);
    EXPECT_EQ(panel->opacityText()->text(), "50%");
    EXPECT_TRUE(rowNamed("Ink")->opacityHint()->isVisible());
    EXPECT_EQ(rowNamed("Ink")->opacityHint()->text(), "50%");
    EXPECT_FALSE(rowNamed("Sketch")->opacityHint()->isVisible());
}

TEST_F(LayerInspectorTest, ButtonsAndMenuItemsAreEnabledOnlyWhereTheyCanAct) {
    EXPECT_EQ(buttons(), (Enabled{true, false, true})); // the top layer is active
    EXPECT_EQ(menuEnablement(rowNamed("Ink")), std::make_pair(true, true));

    QTest::mouseClick(panel->moveDownButton(), Qt::LeftButton);
    QTest::mouseClick(panel->moveDownButton(), Qt::LeftButton);
    EXPECT_EQ(shownNames(), (QStringList{"Sketch", "Background", "Ink"}));
    EXPECT_EQ(buttons(), (Enabled{true, true, false}));
    EXPECT_EQ(undo().undoText(), "Reorder Layer");
    QTest::mouseClick(panel->moveUpButton(), Qt::LeftButton);
    EXPECT_EQ(shownNames(), (QStringList{"Sketch", "Ink", "Background"}));

    QTest::mouseClick(panel->deleteButton(), Qt::LeftButton);
    QTest::mouseClick(panel->deleteButton(), Qt::LeftButton);
    ASSERT_EQ(shownNames(), QStringList{"Background"});
    EXPECT_EQ(buttons(), (Enabled{false, false, false}));
    EXPECT_EQ(menuEnablement(panel->rows()[0]), std::make_pair(false, false));

    QTest::mouseClick(panel->addButton(), Qt::LeftButton);
    EXPECT_EQ(shownNames(), (QStringList{"Layer 2", "Background"}));
    EXPECT_EQ(buttons(), (Enabled{true, false, true}));
}

TEST_F(LayerInspectorTest, DoubleClickRenamesOnReturnAndEscapeKeepsTheName) {
    LayerRow* row = rowNamed("Sketch");
    QTest::mouseDClick(row, Qt::LeftButton, {}, QPoint(80, 10));
    EXPECT_EQ(sprite().activeLayerID, sprite().layers[1].id);
    ASSERT_TRUE(row->nameField()->isVisible());
    EXPECT_TRUE(editor->view().isEditingText());
    EXPECT_EQ(row->nameField()->text(), "Sketch");

    QTest::keyClicks(row->nameField(), "Line art p");
    QTest::keyClick(row->nameField(), Qt::Key_Return);
    EXPECT_EQ(sprite().layers[1].name, "Line art p");
    EXPECT_EQ(undo().undoText(), "Rename Layer");
    EXPECT_FALSE(row->nameField()->isVisible());
    EXPECT_EQ(row->nameLabel()->text(), "Line art p");
    EXPECT_FALSE(editor->view().isEditingText());

    withContextMenu(row, QPoint(80, 10),
                    [](QMenu& menu) { actionNamed(menu, "Rename")->trigger(); });
    QCoreApplication::processEvents();
    ASSERT_TRUE(row->nameField()->isVisible());
    QTest::keyClicks(row->nameField(), "Scrap");
    QTest::keyClick(row->nameField(), Qt::Key_Escape);
    EXPECT_FALSE(row->nameField()->isVisible());
    EXPECT_EQ(sprite().layers[1].name, "Line art p");
    EXPECT_FALSE(editor->view().isEditingText());

    // A blank name is refused by the editor; the row shows the old name again.
    QTest::mouseDClick(row, Qt::LeftButton, {}, QPoint(80, 10));
    row->nameField()->clear();
    QTest::keyClicks(row->nameField(), "   ");
    QTest::keyClick(row->nameField(), Qt::Key_Return);
    EXPECT_EQ(row->nameLabel()->text(), "Line art p");
    EXPECT_EQ(undo().count(), 1);
}

TEST_F(LayerInspectorTest, EyeTogglesVisibilityAsAnUndoStep) {
    QToolButton* eye = rowNamed("Sketch")->visibilityButton();
    QTest::mouseClick(eye, Qt::LeftButton);
    EXPECT_FALSE(sprite().layers[1].isVisible);
    EXPECT_EQ(eye->toolTip(), "Show Layer");
    EXPECT_EQ(undo().undoText(), "Toggle Layer Visibility");
    EXPECT_EQ(sprite().activeLayerID, sprite().layers[2].id); // the eye does not select
    QTest::mouseClick(eye, Qt::LeftButton);
    EXPECT_TRUE(sprite().layers[1].isVisible);
    undo().undo();
    EXPECT_FALSE(sprite().layers[1].isVisible);
    EXPECT_EQ(eye->toolTip(), "Show Layer");

    withContextMenu(rowNamed("Sketch"), QPoint(80, 10),
                    [](QMenu& menu) { actionNamed(menu, "Duplicate")->trigger(); });
    EXPECT_EQ(shownNames(), (QStringList{"Ink", "Sketch copy", "Sketch", "Background"}));
    withContextMenu(rowNamed("Sketch copy"), QPoint(80, 10),
                    [](QMenu& menu) { actionNamed(menu, "Merge Down")->trigger(); });
    EXPECT_EQ(shownNames(), (QStringList{"Ink", "Sketch", "Background"}));
}

TEST_F(LayerInspectorTest, AnOpacityDragIsOneUndoStepWhateverArrivesWhileTheKnobIsHeld) {
    const auto layerID = [this](qint64 index) { return sprite().layers[index].id; };
    struct Case {
        const char* name;
        std::function<void()> meanwhile;
        QList<double> opacities; // bottom to top, after the release
    };
    const QList<Case> cases = {
        {"nothing", {}, {1, 1, 0.25}},
        {"another edit", [&] { editor->setLayerVisibility(layerID(0), false); }, {1, 1, 0.25}},
        {"an undo request", [&] { undo().undo(); }, {1, 1, 0.25}},
        {"another active layer", [&] { editor->selectLayer(layerID(1)); }, {1, 0.25, 0.4}},
        {"the layer deleted", [&] { editor->deleteLayer(layerID(2)); }, {1, 0.25}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        open(threeLayers());
        panel = show<LayerInspector>();
        editor->renameLayer(layerID(0), "Paper"); // an earlier step, which must survive
        const Sprite before = sprite();
        QSlider* slider = panel->opacitySlider();
        slider->setSliderDown(true);
        slider->setValue(400);
        if (c.meanwhile)
            c.meanwhile();
        slider->setValue(300);
        slider->setValue(250);
        slider->setSliderDown(false);
        const Sprite after = sprite();
        QList<double> opacities;
        for (const Layer& layer : after.layers)
            opacities.append(layer.opacity);
        EXPECT_EQ(opacities, c.opacities);
        EXPECT_EQ(slider->value(), 250);

        ASSERT_TRUE(undo().canUndo()); // the group was closed
        EXPECT_EQ(undo().count(), 2);
        EXPECT_EQ(undo().undoText(), "Change Layer Opacity");
        undo().undo();
        EXPECT_EQ(sprite(), before);
        EXPECT_EQ(slider->value(), LayerInspector::opacitySteps);
        undo().redo();
        EXPECT_EQ(sprite(), after);
        undo().undo();
        undo().undo();
        EXPECT_EQ(sprite().layers[0].name, "Background");
        undo().redo();
        undo().redo();
        EXPECT_EQ(sprite(), after);
    }
}

TEST_F(LayerInspectorTest, AnOpacityDragDuringACanvasGestureLeavesNoStepAndShowsTheOpacity) {
    editor->beginStroke();
    QSlider* slider = panel->opacitySlider();
    slider->setSliderDown(true);
    slider->setValue(400);
    slider->setSliderDown(false);
    editor->endStroke("Draw");
    EXPECT_EQ(slider->value(), LayerInspector::opacitySteps);
    EXPECT_EQ(sprite().layers[2].opacity, 1.0);
    EXPECT_EQ(undo().count(), 0);
}
