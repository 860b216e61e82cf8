#include "EditorView.h"

#include "InspectorView.h"
#include "CanvasView.h"
#include "EditorState.h"
#include "EditorToolbar.h"
#include "StatusBarView.h"
#include "TimelineView.h"
#include "ToolStripView.h"
#include "Clipboard.h"

#include <QClipboard>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

QWidget* rule(QFrame::Shape shape) {
    auto* line = new QFrame;
    line->setFrameShape(shape);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

EditorView::EditorView(EditorState* editor, QWidget* parent) : QWidget(parent), editor(editor) {
    toolbarView = new EditorToolbar(editor);
    toolStripView = new ToolStripView(editor);
    inspectorView = new InspectorView(editor);
    statusBarView = new StatusBarView(editor);
    connect(toolbarView, &EditorToolbar::inspectorPresentedChanged, this,
            &EditorView::setInspectorPresented);

    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(toolStripView);
    row->addWidget(rule(QFrame::VLine));
    row->addWidget(makeCentreColumn(), 1);
    row->addWidget(inspectorView);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(toolbarView);
    column->addWidget(rule(QFrame::HLine));
    column->addLayout(row, 1);
    column->addWidget(rule(QFrame::HLine));
    column->addWidget(statusBarView);
    followClipboard();
}

QWidget* EditorView::makeCentreColumn() {
    canvasView = new CanvasView(editor);
    timelineView = new TimelineView(editor);
    timelineView->setVisible(editor->view().isTimelinePresented());
    connect(&editor->view(), &EditorViewState::timelinePresentedChanged, timelineView, &QWidget::setVisible);

    auto* centre = new QWidget;
    auto* layout = new QVBoxLayout(centre);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(canvasView, 1);
    layout->addWidget(timelineView);
    return centre;
}

// The paste commands read the clipboard again whenever another program may have changed it:
// when it announces a change, and when Kestrin becomes active.
void EditorView::followClipboard() {
    const auto catchUp = [this] {
        if (editor->view().clipboardGeneration() != Clipboard::changeCount())
            editor->view().setClipboardGeneration(Clipboard::changeCount());
    };
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, catchUp);
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [catchUp](Qt::ApplicationState state) {
                if (state == Qt::ApplicationActive)
                    catchUp();
            });
}

void EditorView::setInspectorPresented(bool presented) {
    if (inspectorPresented == presented)
        return;
    inspectorPresented = presented;
    inspectorView->setVisible(presented);
    toolbarView->setInspectorPresented(presented);
    emit inspectorPresentedChanged(presented);
}
