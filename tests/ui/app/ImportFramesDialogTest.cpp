#include "ImportFramesDialog.h"
#include "ShellFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QSpinBox>

namespace {

// Three 8 × 6 cells in a row, the last one empty.
QImage sheetImage() {
    QImage image(24, 6, QImage::Format_ARGB32);
    image.fill(0);
    for (int x = 0; x < 16; ++x)
        image.setPixel(x, x % 6, 0xFF000000u | quint32(x * 9000));
    return image;
}

using ImportFramesDialogTest = ShellTest;

// How a sheet is cut, and why a cut is refused, is proven by the import service; here, that
// the dialog shows the outcome before decoding, refuses a bad cut and hands its request on.
TEST_F(ImportFramesDialogTest, SheetChoicesShowTheirOutcomeAndBecomeTheRequest) {
    sheetImage().save(path("sheet.png"));
    ImportFramesDialog dialog(path("sheet.png"));
    QAbstractButton* importButton = nullptr;
    for (QAbstractButton* button : dialog.findChild<QDialogButtonBox*>()->buttons())
        importButton = button->text() == "Import" ? button : importButton;
    dialog.columnsBox()->setValue(3);
    dialog.skipEmptyBox()->setChecked(true);
    EXPECT_EQ(dialog.summary(), "3 cells of 8 × 6 px, empty ones skipped.");
    EXPECT_TRUE(importButton->isEnabled());
    dialog.columnsBox()->setValue(5);
    EXPECT_FALSE(importButton->isEnabled());

    dialog.modeBox()->setCurrentIndex(1);
    dialog.cellWidthBox()->setValue(8);
    dialog.cellHeightBox()->setValue(6);
    EXPECT_TRUE(importButton->isEnabled());
    prompts.frameImport = dialog.request();
    coordinator->importFrames();
    settle();
    ASSERT_EQ(coordinator->documentWindows().size(), 1);
    const Sprite& sprite = coordinator->documentWindows().first()->document()->sprite();
    EXPECT_EQ(sprite.frames.size(), 2);
    EXPECT_EQ(sprite.width, 8);
    EXPECT_EQ(sprite.layers[0].cels[1]->pixel(0, 2), 0xFF000000u | 8 * 9000);
}

} // namespace
