#pragma once

#include "EditorState.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

// Keeps the editor's isEditingText true while a text field (a line edit, a spin box) has
// keyboard focus, so single-key shortcuts never take the letters being typed. Lives as a child
// of the field.
class EditingTextTracker : public QObject {
    Q_OBJECT

public:
    static void track(QWidget* field, EditorState* editor);

    ~EditingTextTracker() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    EditingTextTracker(QWidget* field, EditorState* editor);
    void setFocused(bool focused);

    QPointer<EditorState> editor;
    bool focused = false;
};
