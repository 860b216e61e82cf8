#pragma once

#include "editing/EditorState.h"

#include <QLineEdit>
#include <QObject>
#include <QPointer>

// Keeps the editor's isEditingText true while a text field has keyboard focus, so single-key
// shortcuts never take the letters being typed. Lives as a child of the field.
class EditingTextTracker : public QObject {
    Q_OBJECT

public:
    static void track(QLineEdit* field, EditorState* editor);

    ~EditingTextTracker() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    EditingTextTracker(QLineEdit* field, EditorState* editor);
    void setFocused(bool focused);

    QPointer<EditorState> editor;
    bool focused = false;
};
