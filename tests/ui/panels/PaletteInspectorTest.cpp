#include "PaletteInspector.h"
#include "PaletteSwatchGrid.h"
#include "PanelFixture.h"
#include "TestSupport.h"

#include <QDrag>
#include <QFile>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>

using kestrin::test::numberedPalette;
using kestrin::test::paletteOrder;

namespace {

// Delivers a drop onto a widget point the way the platform does: enter, move, drop.
bool dropAt(QWidget* target, QPoint point, const QMimeData* payload) {
    QDragEnterEvent enter(point, Qt::MoveAction, payload, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDragMoveEvent move(point, Qt::MoveAction, payload, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    if (!move.isAccepted())
        return false;
    QDropEvent drop(QPointF(point), Qt::MoveAction, payload, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

struct PaletteInspectorTest : PanelFixture {
    PaletteInspector* panel = nullptr;
    PaletteSwatchGrid* grid = nullptr;

    void SetUp() override {
        Sprite start = Sprite::blank(8, 8);
        start.palette = numberedPalette();
        open(start);
        panel = show<PaletteInspector>();
        grid = panel->grid();
    }

    QPoint centreOf(qint64 index) const { return grid->swatchRect(index).center(); }

    // Presses on one swatch and drags until the grid starts its drag; dropping is left to drop,
    // which runs while the drag is under way. Returns what the drag offered as text.
    QString dragSwatch(qint64 index, const std::function<void(const QMimeData*)>& drop) {
        QString offered;
        grid->runDrag = [&](QDrag& drag) {
            offered = drag.mimeData()->text();
            drop(drag.mimeData());
        };
        QTest::mousePress(grid, Qt::LeftButton, {}, centreOf(index));
        QTest::mouseMove(grid, centreOf(index) + QPoint(QApplication::startDragDistance() + 2, 0));
        QTest::mouseRelease(grid, Qt::LeftButton, {}, centreOf(index));
        return offered;
    }
};

} // namespace

TEST_F(PaletteInspectorTest, ClickingASwatchChoosesThePrimaryColourWithoutAnUndoStep) {
    QSignalSpy primaryChanges(editor.get(), &EditorState::primaryColorChanged);
    QTest::mouseClick(grid, Qt::LeftButton, {}, centreOf(2));
    EXPECT_EQ(editor->primaryColor(), sprite().palette.colors[2]);
    QTest::mouseClick(grid, Qt::LeftButton, {}, centreOf(2));
    EXPECT_EQ(primaryChanges.count(), 1);
    QTest::mouseClick(grid, Qt::LeftButton, {}, centreOf(2) + QPoint(12, 0)); // the gap
    EXPECT_EQ(primaryChanges.count(), 1);
    EXPECT_FALSE(undo().canUndo());

    QHelpEvent hover(QEvent::ToolTip, centreOf(4), grid->mapToGlobal(centreOf(4)));
    QApplication::sendEvent(grid, &hover);
    EXPECT_EQ(QToolTip::text(), sprite().palette.colors[4].hexString());
}

TEST_F(PaletteInspectorTest, AddButtonAndRemoveItemEditThePaletteAsUndoSteps) {
    editor->setPrimaryColor(PixelColor(0x7F0A1400)); // the first colour at half alpha
    QTest::mouseClick(panel->addButton(), Qt::LeftButton);
    ASSERT_EQ(sprite().palette.colors.size(), 6);

    withContextMenu(grid, centreOf(0), [](QMenu& menu) { actionNamed(menu, "Remove")->trigger(); });
    EXPECT_EQ(paletteOrder(sprite()), (QList<int>{1, 2, 3, 4, 0}));
    undo().undo();
    undo().undo();
    EXPECT_EQ(sprite().palette, numberedPalette());

    withContextMenu(grid, centreOf(3),
                    [](QMenu& menu) { actionNamed(menu, "Set as Secondary")->trigger(); });
    EXPECT_EQ(editor->secondaryColor(), sprite().palette.colors[3]);
    EXPECT_EQ(undo().index(), 0); // choosing colours pushes no step (it would drop the redo)
    EXPECT_EQ(undo().count(), 2);
}

TEST_F(PaletteInspectorTest, OnlyADragStartedHereReordersTheSwatches) {
    const PixelColor primary = editor->primaryColor();
    QSignalSpy primaryChanges(editor.get(), &EditorState::primaryColorChanged);
    const QString offered = dragSwatch(
        0, [&](const QMimeData* payload) { EXPECT_TRUE(dropAt(grid, centreOf(4), payload)); });
    EXPECT_EQ(offered, "0");
    EXPECT_EQ(paletteOrder(sprite()), (QList<int>{1, 2, 3, 4, 0}));
    EXPECT_FALSE(grid->draggingIndex().has_value());

    dragSwatch(4,
               [&](const QMimeData* payload) { EXPECT_TRUE(dropAt(grid, centreOf(0), payload)); });
    EXPECT_EQ(paletteOrder(sprite()), (QList<int>{0, 1, 2, 3, 4}));

    // Onto itself, from a drag that was abandoned, or from another program: nothing moves.
    const qint64 steps = undo().count();
    dragSwatch(2,
               [&](const QMimeData* payload) { EXPECT_FALSE(dropAt(grid, centreOf(2), payload)); });
    dragSwatch(2, [](const QMimeData*) {});
    QMimeData foreign;
    foreign.setText("2");
    EXPECT_FALSE(dropAt(grid, centreOf(0), &foreign));
    EXPECT_EQ(paletteOrder(sprite()), (QList<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(undo().count(), steps);
    // Dragging a swatch never chose it.
    EXPECT_EQ(editor->primaryColor(), primary);
    EXPECT_EQ(primaryChanges.count(), 0);
}

TEST_F(PaletteInspectorTest, PresetMenuReplacesThePaletteAndUndoRestoresIt) {
    actionNamed(*panel->presetButton()->menu(), "Game Boy")->trigger();
    EXPECT_EQ(sprite().palette, Palette::gameBoy());
    EXPECT_EQ(panel->presetButton()->text(), "Game Boy");
    undo().undo();
    EXPECT_EQ(sprite().palette, numberedPalette());
    EXPECT_EQ(panel->presetButton()->text(), "Numbered");
}

TEST_F(PaletteInspectorTest, PaletteFilesImportAsOneUndoStepAndBadOnesChangeNothing) {
    QTemporaryDir folder;
    QStringList told;
    QString chosen;
    std::optional<std::pair<QString, PaletteFileFormat>> destination;
    panel->setPrompts({[&](QWidget*) { return chosen; },
                       [&](QWidget*, const QString&) { return destination; },
                       [&](QWidget*, const QString& title, const QString& text) {
                           told << title + ": " + text;
                       }});
    const Palette before = sprite().palette;

    // Exporting says what the format lost.
    editor->applyPalette({"Glass", {PixelColor(0x80FF0000), PixelColor(0xFF00FF00)}});
    destination = std::pair{folder.filePath("glass.pal"), PaletteFileFormat::pal};
    panel->exportPalette();
    ASSERT_EQ(told.size(), 1);
    EXPECT_EQ(told[0], "Palette exported without transparency: 1 colour had transparency: the "
                       "file keeps only its red, green and blue.");
    undo().undo();
    ASSERT_EQ(sprite().palette, before);

    // Importing it back replaces name and colours in one undo step.
    chosen = folder.filePath("glass.pal");
    panel->importPalette();
    EXPECT_EQ(sprite().palette,
              Palette({"glass", {PixelColor(0xFFFF0000), PixelColor(0xFF00FF00)}}));
    EXPECT_EQ(undo().index(), 1);
    undo().undo();
    EXPECT_EQ(sprite().palette, before);

    // A bad file is reported and changes nothing.
    QFile junk(folder.filePath("junk.gpl"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("GIMP Palette\n300 0 0\n");
    junk.close();
    chosen = junk.fileName();
    panel->importPalette();
    EXPECT_EQ(sprite().palette, before);
    EXPECT_EQ(undo().index(), 0);
    ASSERT_EQ(told.size(), 2);
    EXPECT_EQ(told[1], "The palette could not be imported: Line 2: “300 0 0” is not a colour "
                       "(three numbers from 0 to 255).");
}
