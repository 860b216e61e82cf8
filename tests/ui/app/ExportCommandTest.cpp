#include "ShellFixture.h"

#include "EditorCommands.h"
#include "ExportSheet.h"

#include <QAction>
#include <QComboBox>
#include <QSpinBox>

namespace {

using ExportCommandTest = ShellTest;

TEST_F(ExportCommandTest, ExportCommandPresentsTheSheetUntilItOrItsWindowCloses) {
    DocumentWindow* window = focusedWindow();
    EditorState* editor = window->editor();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_E,
                    Qt::ControlModifier | Qt::ShiftModifier);
    settle();
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

    // The menu item does the same as the key; the sheet sees floating pixels placed.
    editor->setFloatingPaste(FloatingPaste{{0xFFFF0000u}, 1, 1, {2, 3}});
    window->commands()->action(QStringLiteral("exportPNG"))->trigger();
    settle();
    EXPECT_TRUE(editor->view().isExportSheetPresented());
    sheet = window->exportSheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_FALSE(editor->floatingPaste().has_value());
    EXPECT_EQ(sheet->choices().sprite().compositedColor({2, 3}, 0).raw, 0xFFFF0000u);
    EXPECT_EQ(sheet->choices().documentName(), window->displayName());

    // Its fields hold the keys.
    sheet->findChild<QComboBox*>(QStringLiteral("formatPicker"))->setCurrentIndex(1);
    sheet->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet));
    sheet->findChild<QSpinBox*>(QStringLiteral("paddingStepper"))->setFocus();
    settle();
    EXPECT_TRUE(editor->view().isEditingText());

    const QPointer<DocumentWindow> closing = window;
    window->closeDiscarding();
    settle();
    EXPECT_EQ(closing, nullptr);
    EXPECT_EQ(sheet, nullptr);
}

} // namespace
