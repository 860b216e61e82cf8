#include "KeyboardFixups.h"
#include "AsciiKeyboardLayout.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QSpinBox>
#include <QTemporaryFile>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

// xkb keycodes (evdev + 8) of keys on a US keyboard.
constexpr quint32 keyQ = 24, keyP = 33, keyBracketRight = 35, keyY = 29, keyC = 54, keyV = 55,
                  keyM = 58, keyX = 53;

AsciiKeyboardLayout layoutFor(const char* layouts, const char* variants = "") {
    return AsciiKeyboardLayout::firstAsciiCapable(
        {QString::fromUtf8(layouts), QString::fromUtf8(variants)});
}

TEST(AsciiKeyboardLayoutTest, UsesFirstLatinLayoutElseUs) {
    struct Case {
        const char* layouts;
        const char* variants;
        quint32 keycode;
        QString expected;
    };
    const Case cases[] = {
        {"ru", "", keyP, "p"},             // no Latin layout configured: "us"
        {"ru,de", "", keyY, "z"},          // the German layout swaps y and z
        {"gr,us", ",dvorak", keyP, "l"},   // variants follow their layouts
        {"no-such-layout", "", keyP, "p"}, // an unusable configuration: "us"
        {"", "", keyBracketRight, "]"},
        {"de", "", 21, ""},   // a dead accent types nothing by itself
        {"us", "", 113, ""},  // the Left arrow has no character
        {"us", "", 5000, ""}, // no such key
    };
    for (const Case& c : cases) {
        const AsciiKeyboardLayout layout = layoutFor(c.layouts, c.variants);
        ASSERT_TRUE(layout.isValid()) << c.layouts;
        EXPECT_EQ(layout.character(c.keycode), c.expected) << c.layouts << " key " << c.keycode;
    }
    EXPECT_EQ(layoutFor("ru").name(), "English (US)");
}

TEST(AsciiKeyboardLayoutTest, ReadsSystemKeyboardFile) {
    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    file.write("# KEYBOARD CONFIGURATION FILE\n"
               "XKBMODEL=\"pc105\"\n"
               "XKBLAYOUT=\"ru,us\"\n"
               "XKBVARIANT=\",intl\"\n"
               "#XKBLAYOUT=\"fr\"\n"
               "BACKSPACE=\"guess\"\n");
    file.close();
    const AsciiKeyboardLayout::Names names =
        AsciiKeyboardLayout::namesFromKeyboardFile(file.fileName());
    EXPECT_EQ(names.layouts, "ru,us");
    EXPECT_EQ(names.variants, ",intl");
    EXPECT_TRUE(AsciiKeyboardLayout::namesFromKeyboardFile("/no/such/file").layouts.isEmpty());
}

// A focusable stand-in for the canvas that records the keys it receives.
class KeyRecorder : public QWidget {
public:
    KeyRecorder() { setFocusPolicy(Qt::StrongFocus); }
    QStringList typed;

protected:
    // Like the canvas, it passes keys it has no use for on to its parents.
    void keyPressEvent(QKeyEvent* event) override {
        typed << event->text();
        event->ignore();
    }
};

// An editor-like window: canvas commands bound as menu shortcuts, a canvas and text fields,
// and the fixups running with only a Cyrillic layout configured.
class KeyboardFixupsTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto* column =
            new QVBoxLayout(window.centralWidget() ? window.centralWidget() : new QWidget(&window));
        window.setCentralWidget(column->parentWidget());
        canvas = new KeyRecorder;
        field = new QLineEdit;
        spin = new QSpinBox;
        column->addWidget(canvas);
        column->addWidget(field);
        column->addWidget(spin);
        for (const char* keys : {"P", "]", "Ctrl+C", "Ctrl+Shift+C", "Ctrl+V", "Ctrl+X", "Ctrl+A"})
            bind(keys);
        fixups.setShortcutHandler([this](QChar c) {
            handled << c;
            QAction* action = commands.value(QString(c.toUpper()));
            if (action)
                action->trigger();
            return action != nullptr;
        });
        fixups.install();
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    void bind(const char* keys) {
        auto* action = new QAction(&window);
        action->setShortcut(QKeySequence(QString::fromLatin1(keys)));
        window.addAction(action);
        QObject::connect(action, &QAction::triggered, [this, keys] { fired << keys; });
        commands.insert(QString::fromLatin1(keys), action);
    }

    void focus(QWidget* widget) {
        widget->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), widget);
    }

    // Delivers a key press the way Qt does: shortcut override first, then the press.
    static void press(QWidget* target, int key, Qt::KeyboardModifiers modifiers, quint32 scanCode,
                      const QString& text) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, scanCode, 0, 0, text);
        QApplication::sendEvent(target, &event);
    }

    QMainWindow window;
    KeyRecorder* canvas = nullptr;
    QLineEdit* field = nullptr;
    QSpinBox* spin = nullptr;
    QHash<QString, QAction*> commands;
    QStringList fired;
    QList<QChar> handled;
    KeyboardFixups fixups{layoutFor("ru")};
};

TEST_F(KeyboardFixupsTest, NonLatinKeyRunsItsLatinShortcutOnce) {
    focus(canvas);
    press(canvas, 0x417, Qt::NoModifier, keyP, QStringLiteral("з"));
    EXPECT_EQ(fired, QStringList{"P"});
    EXPECT_EQ(handled, QList<QChar>{u'p'});
    EXPECT_TRUE(canvas->typed.isEmpty());

    // A Latin "p" is Qt's own shortcut: it fires once and the fixups stay out of it.
    press(canvas, Qt::Key_P, Qt::NoModifier, keyP, QStringLiteral("p"));
    EXPECT_EQ(fired, (QStringList{"P", "P"}));
    EXPECT_EQ(handled.size(), 1);

    // "]" is bound; Shift may be held. "q" is not bound and reaches the canvas untouched.
    press(canvas, 0x42a, Qt::NoModifier, keyBracketRight, QStringLiteral("ъ"));
    press(canvas, 0x417, Qt::ShiftModifier, keyP, QStringLiteral("З"));
    press(canvas, 0x419, Qt::NoModifier, keyQ, QStringLiteral("й"));
    // A Latin key is taken as typed even where the first Latin layout differs: the French
    // comma sits where the US layout has "m".
    press(canvas, Qt::Key_Comma, Qt::NoModifier, keyM, QStringLiteral(","));
    // A shortcut the handler declines (a disabled command) is offered once and then typed.
    press(canvas, 0x427, Qt::NoModifier, keyX, QStringLiteral("ч"));
    EXPECT_EQ(handled, (QList<QChar>{u'p', u']', u'p', u'x'}));
    EXPECT_EQ(fired, (QStringList{"P", "P", "]", "P"}));
    EXPECT_EQ(canvas->typed, (QStringList{"й", ",", "ч"}));

    fixups.uninstall();
    press(canvas, 0x417, Qt::NoModifier, keyP, QStringLiteral("з"));
    EXPECT_EQ(handled.size(), 4);
}

TEST_F(KeyboardFixupsTest, TypingAndChordsAreNeverTakenForSingleKeys) {
    focus(field);
    press(field, 0x417, Qt::NoModifier, keyP, QStringLiteral("з"));
    press(field, 0x41e, Qt::ShiftModifier, 32, QStringLiteral("О"));
    EXPECT_EQ(field->text(), "зО");

    focus(spin);
    press(spin, 0x417, Qt::NoModifier, keyP, QStringLiteral("з"));

    focus(canvas);
    for (Qt::KeyboardModifier chord : {Qt::ControlModifier, Qt::AltModifier, Qt::MetaModifier})
        press(canvas, 0x417, chord, keyP, QString());
    EXPECT_TRUE(handled.isEmpty());
    EXPECT_TRUE(fired.isEmpty());
}

TEST_F(KeyboardFixupsTest, EditingChordsEditTheFocusedFieldNotTheCanvas) {
    QClipboard* clipboard = QApplication::clipboard();
    field->setText("hello");
    focus(field);
    field->selectAll();
    QTest::keyClick(field, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), "hello");

    // Ctrl+Shift+C would be the canvas's Copy Merged; in a field it copies the field.
    field->setSelection(0, 2);
    QTest::keyClick(field, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(clipboard->text(), "he");

    // Under a Cyrillic layout Ctrl+С is found by the key's place; paste happens once.
    field->setSelection(0, 3);
    press(field, 0x421, Qt::ControlModifier, keyC, QString());
    EXPECT_EQ(clipboard->text(), "hel");
    field->clear();
    press(field, 0x41c, Qt::ControlModifier, keyV, QString());
    EXPECT_EQ(field->text(), "hel");

    field->setReadOnly(true);
    field->selectAll();
    QTest::keyClick(field, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(field->text(), "hel");

    spin->setValue(42);
    focus(spin);
    QTest::keyClick(spin, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(spin, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), "42");
    EXPECT_TRUE(fired.isEmpty());

    focus(canvas);
    QTest::keyClick(canvas, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(canvas, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(fired, (QStringList{"Ctrl+C", "Ctrl+A"}));
}

} // namespace
