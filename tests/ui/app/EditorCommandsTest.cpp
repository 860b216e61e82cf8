#include "ShellFixture.h"

#include "AppSettings.h"
#include "EditorCommands.h"
#include "EditorToolbar.h"
#include "InspectorView.h"
#include "TimelineView.h"

#include <QAction>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

namespace {

class EditorCommandsTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        window = focusedWindow();
        editor = window->editor();
    }

    QAction* action(const char* name) {
        QAction* found = window->commands()->action(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
    }

    DocumentWindow* window = nullptr;
    EditorState* editor = nullptr;
};

// The toggles reach the state they stand for; playback's title tells what Return will do.
TEST_F(EditorCommandsTest, ViewAndAnimationCommandsReachTheEditor) {
    AppSettings::shared().setOnionSkinEnabled(false);
    action("toggleOnionSkin")->trigger();
    EXPECT_TRUE(AppSettings::shared().onionSkinEnabled());
    editor->view().setTimelinePresented(false);
    press(Qt::Key_T, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_TRUE(editor->view().isTimelinePresented());
    EXPECT_FALSE(window->view()->timeline()->isHidden());
    editor->view().setShowPixelGrid(true);
    action("togglePixelGrid")->trigger();
    EXPECT_FALSE(editor->view().showPixelGrid());
    window->view()->toolbar()->inspectorButton()->click();
    EXPECT_TRUE(window->view()->inspector()->isHidden());

    editor->view().setZoom(4);
    press(Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(editor->view().zoom(), 8);
    press(Qt::Key_Minus, Qt::ControlModifier);
    press(Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(editor->view().zoom(), 2);
    press(Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(editor->view().zoom(), 1);

    editor->addEmptyFrame();
    press(Qt::Key_Return);
    EXPECT_TRUE(editor->playback().isPlaying());
    EXPECT_EQ(action("togglePlayback")->text(), "Stop");
    press(Qt::Key_Return);
    EXPECT_FALSE(editor->playback().isPlaying());

    // The appearance setting recolours the windows at once.
    AppSettings::shared().setAppearance(AppearanceMode::dark);
    settle();
    EXPECT_LT(window->palette().color(QPalette::Window).lightness(), 128);
    AppSettings::shared().setAppearance(AppearanceMode::system);
}

// The last frame cannot be deleted; undo is refused while a stroke is open.
TEST_F(EditorCommandsTest, FrameAndUndoCommandsAreRefusedWhereTheyCannotApply) {
    EXPECT_FALSE(action("deleteFrame")->isEnabled());
    press(Qt::Key_N, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(window->document()->sprite().frames.size(), 2);
    EXPECT_TRUE(action("deleteFrame")->isEnabled());
    editor->beginStroke();
    EXPECT_FALSE(action("undo")->isEnabled());
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(window->document()->sprite().frames.size(), 2);
    editor->cancelStroke();
    EXPECT_TRUE(action("undo")->isEnabled());
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(window->document()->sprite().frames.size(), 1);
    EXPECT_FALSE(action("deleteFrame")->isEnabled());
}

TEST_F(EditorCommandsTest, SelectionAndClipboardCommandsNeedSomethingToWorkOn) {
    QApplication::clipboard()->setText(QStringLiteral("no image"));
    for (const char* name : {"cut", "copy", "copyMerged", "delete", "deselect", "paste",
                             "pasteReplacing", "pasteAsNewLayer", "pasteAsNewSprite"})
        EXPECT_FALSE(action(name)->isEnabled()) << name;

    press(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(editor->selection(), PixelRect(0, 0, 16, 16));
    for (const char* name : {"cut", "copy", "copyMerged", "delete", "deselect"})
        EXPECT_TRUE(action(name)->isEnabled()) << name;

    window->document()->sprite().ensureCel(0, 0);
    press(Qt::Key_C, Qt::ControlModifier);
    for (const char* name : {"paste", "pasteInPlace", "pasteAsNewSprite"})
        EXPECT_TRUE(action(name)->isEnabled()) << name;

    // Floating pixels take Return for themselves: playback is off until they are placed.
    press(Qt::Key_V, Qt::ControlModifier);
    ASSERT_TRUE(editor->floatingPaste().has_value());
    EXPECT_FALSE(action("togglePlayback")->isEnabled());
    press(Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FALSE(editor->floatingPaste().has_value());
    EXPECT_FALSE(editor->selection().has_value());
    EXPECT_TRUE(action("togglePlayback")->isEnabled());
}

// How each layout's keys are found is proven with the fixups alone; here, that they reach
// this window's commands and stay off while a field of the window takes the typing.
TEST_F(EditorCommandsTest, SingleKeysWorkUnderOtherLayoutsButNeverWhileTyping) {
    coordinator->keyboardFixups().install();
    press(Qt::Key_E);
    EXPECT_EQ(editor->activeTool(), ToolKind::eraser);
    press(Qt::Key_BracketRight);
    EXPECT_EQ(editor->brushSize(), 2);
    // A Cyrillic layout types "ч" on the X key.
    const PixelColor primary = editor->primaryColor();
    QKeyEvent cyrillicX(QEvent::KeyPress, 0x0443, Qt::NoModifier, 53, 0, 0, QStringLiteral("ч"));
    QApplication::sendEvent(window->view()->canvas(), &cyrillicX);
    EXPECT_EQ(editor->secondaryColor(), primary);

    auto* field = new QLineEdit(window->view());
    field->show();
    field->setFocus();
    ASSERT_TRUE(editor->view().isEditingText());
    EXPECT_FALSE(action("tool.pencil")->isEnabled());
    QTest::keyClicks(field, QStringLiteral("p]"));
    EXPECT_EQ(field->text(), "p]");
    // Backspace and Return, bound to canvas commands, edit the field too.
    editor->setSelection(PixelRect(0, 0, 4, 4));
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(field->text(), "p");
    EXPECT_FALSE(editor->playback().isPlaying());
    EXPECT_EQ(editor->activeTool(), ToolKind::eraser);
    EXPECT_EQ(editor->brushSize(), 2);

    // Opening a menu moves the focus to it, but its single-key items stay off for the field.
    QMenu* tools = nullptr;
    for (QMenu* menu : window->menuBar()->findChildren<QMenu*>())
        tools = menu->title() == "&Tools" ? menu : tools;
    ASSERT_NE(tools, nullptr);
    tools->popup(window->mapToGlobal(QPoint(10, 10)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(tools));
    EXPECT_FALSE(action("tool.pencil")->isEnabled());
    tools->close();
    window->view()->canvas()->setFocus();
    EXPECT_FALSE(editor->view().isEditingText());
    EXPECT_TRUE(action("tool.pencil")->isEnabled());
}

} // namespace
