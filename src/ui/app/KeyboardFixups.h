#pragma once

#include "AsciiKeyboardLayout.h"

#include <QObject>
#include <functional>

class QKeyEvent;
class QWidget;

// An application-wide key filter with three jobs:
// - single-key shortcuts (tool letters, brackets, comma, period) keep working while a
//   non-Latin input source is active: the key's character on the first Latin layout is handed
//   to the shortcut handler;
// - Ctrl+X, Ctrl+C, Ctrl+V and Ctrl+A edit a focused text field instead of reaching the
//   canvas commands bound to the same keys;
// - while a text field has focus, typing is never taken for a shortcut.
// Latin keys are left to Qt's own shortcut handling, so no shortcut fires twice.
class KeyboardFixups : public QObject {
    Q_OBJECT

public:
    // Runs the single-key shortcut of a character from boundCharacters(); returns whether it
    // ran (a disabled command returns false and the key goes on as usual).
    using ShortcutHandler = std::function<bool(QChar)>;

    // Reads the session's first Latin layout.
    explicit KeyboardFixups(QObject* parent = nullptr);
    explicit KeyboardFixups(AsciiKeyboardLayout layout, QObject* parent = nullptr);
    ~KeyboardFixups() override;

    // Starts filtering the application's key events; a second call does nothing.
    void install();
    void uninstall();
    bool isInstalled() const { return installed; }

    void setShortcutHandler(ShortcutHandler handler);

    // The characters of the single-key shortcuts, each one character.
    static const QString& boundCharacters();
    // The widget that edits text for a widget that has focus (the line edit inside a spin
    // box, for one), or null when it is no text field.
    static QWidget* textFieldOf(QWidget* focus);
    // What the key with this xkb keycode types on the Latin layout; empty when nothing.
    QString asciiCharacter(quint32 keycode) const { return layout.character(keycode); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool claimForTextField(QKeyEvent* event) const;
    bool editTextField(QKeyEvent* event) const;
    bool runSingleKeyShortcut(QKeyEvent* event) const;
    QChar letterIgnoringLayout(const QKeyEvent* event) const;

    AsciiKeyboardLayout layout;
    ShortcutHandler shortcutHandler;
    bool installed = false;
};
