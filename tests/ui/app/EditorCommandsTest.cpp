#include "ShellFixture.h"

#include "EditorCommands.h"
#include "TimelineView.h"

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>

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

// The toggles reach the state they stand for.
TEST_F(EditorCommandsTest, ViewAndAnimationCommandsReachTheEditor) {
    editor->view().setTimelinePresented(false);
    press(Qt::Key_T, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_TRUE(editor->view().isTimelinePresented());
    EXPECT_FALSE(window->view()->timeline()->isHidden());

    editor->view().setZoom(4);
    press(Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(editor->view().zoom(), 8);
    press(Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(editor->view().zoom(), 4);

    editor->addEmptyFrame();
    press(Qt::Key_Return);
    EXPECT_TRUE(editor->playback().isPlaying());
    press(Qt::Key_Return);
    EXPECT_FALSE(editor->playback().isPlaying());
}

TEST_F(EditorCommandsTest, UndoIsRefusedWhileAStrokeIsOpen) {
    press(Qt::Key_N, Qt::ControlModifier | Qt::AltModifier);
    editor->beginStroke();
    EXPECT_FALSE(action("undo")->isEnabled());
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(window->document()->sprite().frames.size(), 2);
    editor->cancelStroke();
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(window->document()->sprite().frames.size(), 1);
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
}

} // namespace
