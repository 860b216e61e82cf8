#include "KeyboardFixups.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <algorithm>

namespace {

constexpr Qt::KeyboardModifiers commandModifiers =
    Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

// The standard editing slot for a Ctrl letter, shared by QLineEdit, QTextEdit and
// QPlainTextEdit; null for other letters.
const char* editingSlot(QChar letter) {
    switch (letter.unicode()) {
    case u'x':
        return "cut";
    case u'c':
        return "copy";
    case u'v':
        return "paste";
    case u'a':
        return "selectAll";
    default:
        return nullptr;
    }
}

bool changesText(const char* slot) {
    return qstrcmp(slot, "cut") == 0 || qstrcmp(slot, "paste") == 0;
}

QWidget* focusedTextField() {
    return KeyboardFixups::textFieldOf(QApplication::focusWidget());
}

bool isCtrlWithoutAlt(const QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    return modifiers.testFlag(Qt::ControlModifier) && !modifiers.testFlag(Qt::AltModifier);
}

// Text in the Latin script (or ASCII punctuation) already matches Qt's shortcuts by itself.
bool isLatinText(const QString& text) {
    if (text.isEmpty())
        return false;
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) {
        return c.unicode() < 0x80 || c.script() == QChar::Script_Latin;
    });
}

} // namespace

KeyboardFixups::KeyboardFixups(QObject* parent)
    : KeyboardFixups(AsciiKeyboardLayout::forSession(), parent) {}

KeyboardFixups::KeyboardFixups(AsciiKeyboardLayout layout, QObject* parent)
    : QObject(parent), layout(std::move(layout)) {}

KeyboardFixups::~KeyboardFixups() {
    uninstall();
}

void KeyboardFixups::install() {
    if (installed || !qApp)
        return;
    qApp->installEventFilter(this);
    installed = true;
}

void KeyboardFixups::uninstall() {
    if (!installed)
        return;
    if (qApp)
        qApp->removeEventFilter(this);
    installed = false;
}

void KeyboardFixups::setShortcutHandler(ShortcutHandler handler) {
    shortcutHandler = std::move(handler);
}

QWidget* KeyboardFixups::textFieldOf(QWidget* focus) {
    if (auto* line = qobject_cast<QLineEdit*>(focus))
        return line;
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(focus))
        return spin->findChild<QLineEdit*>();
    if (auto* combo = qobject_cast<QComboBox*>(focus))
        return combo->lineEdit();
    if (auto* text = qobject_cast<QTextEdit*>(focus); text && !text->isReadOnly())
        return text;
    if (auto* plain = qobject_cast<QPlainTextEdit*>(focus); plain && !plain->isReadOnly())
        return plain;
    return nullptr;
}

const QString& KeyboardFixups::boundCharacters() {
    static const QString characters = QStringLiteral("pegiluotmv[]x,.");
    return characters;
}

// A key press passes the filter once for the window, once for the focused widget and once for
// each parent it propagates to; it is handled only on its way to the focused widget.
bool KeyboardFixups::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        return claimForTextField(static_cast<QKeyEvent*>(event));
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        return watched == QGuiApplication::focusObject() &&
               (editTextField(key) || runSingleKeyShortcut(key));
    }
    default:
        return false;
    }
}

// Accepting the override keeps the menu shortcut from firing; the field's edit itself happens
// once, on the key press that follows.
bool KeyboardFixups::claimForTextField(QKeyEvent* event) const {
    if (!isCtrlWithoutAlt(event) || !editingSlot(letterIgnoringLayout(event)) ||
        !focusedTextField())
        return false;
    event->accept();
    return true;
}

bool KeyboardFixups::editTextField(QKeyEvent* event) const {
    if (!isCtrlWithoutAlt(event))
        return false;
    const char* slot = editingSlot(letterIgnoringLayout(event));
    QWidget* field = slot ? focusedTextField() : nullptr;
    if (!field)
        return false;
    if (!(changesText(slot) && field->property("readOnly").toBool()))
        QMetaObject::invokeMethod(field, slot);
    return true;
}

bool KeyboardFixups::runSingleKeyShortcut(QKeyEvent* event) const {
    if (!shortcutHandler || (event->modifiers() & commandModifiers) || focusedTextField() ||
        isLatinText(event->text()))
        return false;
    const QString character = asciiCharacter(event->nativeScanCode());
    if (character.size() != 1 || !boundCharacters().contains(character))
        return false;
    return shortcutHandler(character.at(0));
}

// The letter of a Ctrl chord: Qt's own key when it is Latin, else what the physical key types
// on the Latin layout, so Ctrl+C is found under a Cyrillic input source too.
QChar KeyboardFixups::letterIgnoringLayout(const QKeyEvent* event) const {
    const int key = event->key();
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return QChar(u'a' + (key - Qt::Key_A));
    const QString character = asciiCharacter(event->nativeScanCode());
    return character.size() == 1 ? character.at(0).toLower() : QChar();
}
