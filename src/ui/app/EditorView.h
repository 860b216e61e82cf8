#pragma once

#include <QWidget>

class CanvasView;
class EditorState;
class EditorToolbar;
class InspectorView;
class StatusBarView;
class TimelineView;
class ToolStripView;

// The content of a document window: the toolbar along the top, the tool strip on the left,
// the canvas in the middle with the timeline under it while the editor shows it, the
// inspector column on the right while presented, and the status bar along the bottom.
class EditorView : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool inspectorPresented READ isInspectorPresented WRITE setInspectorPresented NOTIFY
                   inspectorPresentedChanged)

public:
    // The editor must outlive the view.
    explicit EditorView(EditorState* editor, QWidget* parent = nullptr);

    CanvasView* canvas() const { return canvasView; }
    TimelineView* timeline() const { return timelineView; }
    InspectorView* inspector() const { return inspectorView; }
    EditorToolbar* toolbar() const { return toolbarView; }
    ToolStripView* toolStrip() const { return toolStripView; }
    StatusBarView* statusBar() const { return statusBarView; }

    bool isInspectorPresented() const { return inspectorPresented; }
    void setInspectorPresented(bool presented);

signals:
    void inspectorPresentedChanged(bool presented);

private:
    QWidget* makeCentreColumn();
    void followClipboard();
    void routeFloatingPasteKeys();

    EditorState* editor;
    EditorToolbar* toolbarView = nullptr;
    ToolStripView* toolStripView = nullptr;
    CanvasView* canvasView = nullptr;
    TimelineView* timelineView = nullptr;
    InspectorView* inspectorView = nullptr;
    StatusBarView* statusBarView = nullptr;
    bool inspectorPresented = true;
};
