#include "KeyboardFixups.h"
#include "AsciiKeyboardLayout.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
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
    const std::tuple<const char*, const char*, quint32, QString> cases[] = {
        {"ru", "", keyP, "p"},           // no Latin layout configured: "us"
        {"ru,de", "", keyY, "z"},        // the German layout swaps y and z
        {"gr,us", ",dvorak", keyP, "l"}, // variants follow their layouts
        {"", "", keyBracketRight, "]"},
        {"de", "", 21, ""},   // a dead accent types nothing by itself
        {"us", "", 5000, ""}, // no such key
    };
    for (const auto& [layouts, variants, keycode, expected] : cases) {
        const AsciiKeyboardLayout layout = layoutFor(layouts, variants);
        ASSERT_TRUE(layout.isValid()) << layouts;
        EXPECT_EQ(layout.character(keycode), expected) << layouts << " key " << keycode;
    }

    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    file.write("XKBMODEL=\"pc105\"\nXKBLAYOUT=\"ru,us\"\nXKBVARIANT=\",intl\"\n"
               "#XKBLAYOUT=\"fr\"\n");
    file.close();
    const AsciiKeyboardLayout::Names names =
        AsciiKeyboardLayout::namesFromKeyboardFile(file.fileName());
    EXPECT_EQ(names.layouts, "ru,us");
    EXPECT_EQ(names.variants, ",intl");
    EXPECT_TRUE(AsciiKeyboardLayout::namesFromKeyboardFile("/no/such/file").layouts.isEmpty());
}

// A focusable stand-in for the canvas that, like it, records and passes on the keys.
class KeyRecorder : public QWidget {
public:
    KeyRecorder() { setFocusPolicy(Qt::StrongFocus); }
    QStringList typed;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        typed << event->text();
        event->ignore();
    }
};

// An editor-like window: canvas commands bound as shortcuts, a canvas and text fields, and
// the fixups running with only a Cyrillic layout configured.
class KeyboardFixupsTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto* column = new QVBoxLayout(&window);
        for (QWidget* widget : {static_cast<QWidget*>(canvas), static_cast<QWidget*>(field),
                                static_cast<QWidget*>(spin)})
            column->addWidget(widget);
        for (const char* keys : {"P", "]", "Ctrl+C", "Ctrl+V", "Ctrl+X", "Ctrl+A"}) {
            auto* action = new QAction(&window);
            action->setShortcut(QKeySequence(QString::fromLatin1(keys)));
            window.addAction(action);
            QObject::connect(action, &QAction::triggered, [this, keys] { fired << keys; });
            commands.insert(QString::fromLatin1(keys), action);
        }
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

    static void press(QWidget* target, int key, Qt::KeyboardModifiers modifiers, quint32 scanCode,
                      const QString& text = QString()) {
        target->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), target);
        QKeyEvent event(QEvent::KeyPress, key, modifiers, scanCode, 0, 0, text);
        QApplication::sendEvent(target, &event);
    }

    QWidget window;
    KeyRecorder* canvas = new KeyRecorder;
    QLineEdit* field = new QLineEdit;
    QSpinBox* spin = new QSpinBox;
    QHash<QString, QAction*> commands;
    QStringList fired;
    QList<QChar> handled;
    KeyboardFixups fixups{layoutFor("ru")};
};

TEST_F(KeyboardFixupsTest, NonLatinKeyRunsItsLatinShortcutOnce) {
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
    // A Latin key is taken as typed: the French comma sits where the US layout has "m".
    press(canvas, Qt::Key_Comma, Qt::NoModifier, keyM, QStringLiteral(","));
    // A shortcut the handler declines (a disabled command) is offered once and then typed.
    press(canvas, 0x427, Qt::NoModifier, keyX, QStringLiteral("ч"));
    EXPECT_EQ(handled, (QList<QChar>{u'p', u']', u'p', u'x'}));
    EXPECT_EQ(fired, (QStringList{"P", "P", "]", "P"}));
    EXPECT_EQ(canvas->typed, (QStringList{"й", ",", "ч"}));

    // Chords are never single keys, and nothing is taken once the fixups are gone.
    for (Qt::KeyboardModifier chord : {Qt::ControlModifier, Qt::AltModifier, Qt::MetaModifier})
        press(canvas, 0x417, chord, keyP);
    fixups.uninstall();
    press(canvas, 0x417, Qt::NoModifier, keyP, QStringLiteral("з"));
    EXPECT_EQ(handled.size(), 4);
}

TEST_F(KeyboardFixupsTest, TextFieldsTypeAndEditInsteadOfRunningCanvasCommands) {
    press(field, 0x417, Qt::NoModifier, keyP, QStringLiteral("з"));
    press(field, 0x41e, Qt::ShiftModifier, 32, QStringLiteral("О"));
    EXPECT_EQ(field->text(), "зО");
    press(spin, 0x417, Qt::NoModifier, keyP, QStringLiteral("з"));
    EXPECT_TRUE(handled.isEmpty());

    QClipboard* clipboard = QApplication::clipboard();
    field->setText("hello");
    field->setFocus();
    // Under a Cyrillic layout Ctrl+С is found by the key's place; paste happens once.
    field->setSelection(0, 3);
    press(field, 0x421, Qt::ControlModifier, keyC);
    EXPECT_EQ(clipboard->text(), "hel");
    field->clear();
    press(field, 0x41c, Qt::ControlModifier, keyV);
    EXPECT_EQ(field->text(), "hel");
    EXPECT_TRUE(fired.isEmpty());

    canvas->setFocus();
    QTest::keyClick(canvas, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(canvas, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(fired, (QStringList{"Ctrl+C", "Ctrl+A"}));
}

} // namespace
