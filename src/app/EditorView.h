#pragma once

#include <QWidget>

class EditorState;

// The content of a document window: the tool strip on the left, the canvas in the middle with
// the timeline under it while the editor shows it, the inspector column on the right while
// presented, and the status bar along the bottom.
class EditorView : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool inspectorPresented READ isInspectorPresented WRITE setInspectorPresented NOTIFY
                   inspectorPresentedChanged)

public:
    explicit EditorView(EditorState* editor, QWidget* parent = nullptr);

    QWidget* canvas() const { return canvasArea; }
    QWidget* timeline() const { return timelineArea; }
    QWidget* inspector() const { return inspectorColumn; }

    bool isInspectorPresented() const { return inspectorPresented; }
    void setInspectorPresented(bool presented);

signals:
    void inspectorPresentedChanged(bool presented);

private:
    QWidget* makeCentreColumn();

    EditorState* editor;
    QWidget* canvasArea = nullptr;
    QWidget* timelineArea = nullptr;
    QWidget* inspectorColumn = nullptr;
    bool inspectorPresented = true;
};
