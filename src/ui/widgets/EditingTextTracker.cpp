#include "EditingTextTracker.h"

#include <QEvent>

void EditingTextTracker::track(QWidget* field, EditorState* editor) {
    new EditingTextTracker(field, editor);
}

EditingTextTracker::EditingTextTracker(QWidget* field, EditorState* editor)
    : QObject(field), editor(editor) {
    field->installEventFilter(this);
    if (field->hasFocus())
        setFocused(true);
}

// A field destroyed while focused must not leave the shortcuts switched off.
EditingTextTracker::~EditingTextTracker() {
    setFocused(false);
}

bool EditingTextTracker::eventFilter(QObject*, QEvent* event) {
    if (event->type() == QEvent::FocusIn)
        setFocused(true);
    else if (event->type() == QEvent::FocusOut)
        setFocused(false);
    return false;
}

void EditingTextTracker::setFocused(bool focus) {
    if (focused == focus)
        return;
    focused = focus;
    if (editor)
        editor->view().setEditingText(focus);
}
