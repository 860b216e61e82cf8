#include "ShellFixture.h"

#include "EditorCommands.h"
#include "EditorView.h"
#include "CanvasView.h"
#include "ExportSheet.h"

#include <QAction>
#include <QComboBox>
#include <QPointer>
#include <QSpinBox>

namespace {

class ExportCommandTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        window = spriteWindow(16, 16);
        editor = window->editor();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        window->view()->canvas()->setFocus();
    }

    // The Export command's shortcut, as the user presses it on the canvas.
    void pressExport() {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_E,
                        Qt::ControlModifier | Qt::ShiftModifier);
        settle();
    }

    DocumentWindow* window = nullptr;
    EditorState* editor = nullptr;
};

} // namespace

TEST_F(ExportCommandTest, ExportCommandPresentsTheSheetUntilItCloses) {
    pressExport();
    ASSERT_TRUE(editor->view().isExportSheetPresented());
    QPointer<ExportSheet> sheet = window->exportSheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->parentWidget(), window);
    EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);

    QTest::keyClick(sheet, Qt::Key_Escape);
    settle();
    EXPECT_FALSE(editor->view().isExportSheetPresented());
    EXPECT_EQ(sheet, nullptr); // deleted once closed

    // The command works again, and the menu item does the same as the key.
    window->commands()->action(QStringLiteral("exportPNG"))->trigger();
    settle();
    EXPECT_TRUE(editor->view().isExportSheetPresented());
    ASSERT_NE(window->exportSheet(), nullptr);
    EXPECT_TRUE(window->exportSheet()->isVisible());
    editor->view().setExportSheetPresented(false);
    settle();
    EXPECT_EQ(window->exportSheet(), nullptr);
}

TEST_F(ExportCommandTest, SheetSeesFloatingPixelsAndItsFieldsHoldTheKeys) {
    editor->setFloatingPaste(FloatingPaste{{0xFFFF0000u}, 1, 1, {2, 3}});
    pressExport();
    ExportSheet* sheet = window->exportSheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_FALSE(editor->floatingPaste().has_value());
    EXPECT_EQ(sheet->choices().sprite().compositedColor({2, 3}, 0).raw, 0xFFFF0000u);
    EXPECT_EQ(sheet->choices().documentName(), window->displayName());

    sheet->findChild<QComboBox*>(QStringLiteral("formatPicker"))->setCurrentIndex(1);
    sheet->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet));
    sheet->findChild<QSpinBox*>(QStringLiteral("paddingStepper"))->setFocus();
    settle();
    EXPECT_TRUE(editor->view().isEditingText());
}

TEST_F(ExportCommandTest, ClosingTheWindowTakesAnOpenSheetAlong) {
    pressExport();
    QPointer<ExportSheet> sheet = window->exportSheet();
    ASSERT_NE(sheet, nullptr);
    QPointer<DocumentWindow> closing = window;
    window->closeDiscarding();
    settle();
    EXPECT_EQ(closing, nullptr);
    EXPECT_EQ(sheet, nullptr);
}
