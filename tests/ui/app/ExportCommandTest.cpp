#include "ShellFixture.h"

#include "EditorCommands.h"
#include "ExportSheet.h"

#include <QAction>

namespace {

using ExportCommandTest = ShellTest;

TEST_F(ExportCommandTest, ExportCommandPresentsTheSheetUntilItOrItsWindowCloses) {
    DocumentWindow* window = focusedWindow();
    EditorState* editor = window->editor();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_E,
                    Qt::ControlModifier | Qt::ShiftModifier);
    settle();
    QPointer<ExportSheet> sheet = window->exportSheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(editor->view().isExportSheetPresented());
    QTest::keyClick(sheet, Qt::Key_Escape);
    settle();
    EXPECT_FALSE(editor->view().isExportSheetPresented());
    EXPECT_EQ(sheet, nullptr);

    // The menu item does the same; floating pixels are placed first.
    editor->setFloatingPaste(FloatingPaste{{0xFFFF0000u}, 1, 1, {2, 3}});
    window->commands()->action(QStringLiteral("exportPNG"))->trigger();
    settle();
    sheet = window->exportSheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_FALSE(editor->floatingPaste().has_value());
    EXPECT_EQ(sheet->choices().sprite().compositedColor({2, 3}, 0).raw, 0xFFFF0000u);

    window->closeDiscarding();
    settle();
    EXPECT_EQ(sheet, nullptr);
}

} // namespace
