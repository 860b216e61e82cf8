#include "EditorView.h"

#include "canvas/CanvasView.h"
#include "editing/EditorState.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

// Holds the place of a panel that is not part of the build yet.
QWidget* placeholder(const QString& title, QSize minimum) {
    auto* frame = new QFrame;
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setMinimumSize(minimum);
    auto* label = new QLabel(title, frame);
    label->setAlignment(Qt::AlignCenter);
    label->setEnabled(false);
    label->setWordWrap(true);
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(label);
    return frame;
}

QWidget* rule(QFrame::Shape shape) {
    auto* line = new QFrame;
    line->setFrameShape(shape);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

EditorView::EditorView(EditorState* editor, QWidget* parent) : QWidget(parent), editor(editor) {
    QWidget* toolStrip = placeholder(tr("Tools"), QSize(44, 200));
    toolStrip->setMaximumWidth(44);
    inspectorColumn = placeholder(tr("Inspector"), QSize(240, 200));
    inspectorColumn->setMaximumWidth(240);

    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(toolStrip);
    row->addWidget(rule(QFrame::VLine));
    row->addWidget(makeCentreColumn(), 1);
    row->addWidget(inspectorColumn);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addLayout(row, 1);
    column->addWidget(rule(QFrame::HLine));
    QWidget* statusBar = placeholder(tr("Status"), QSize(200, 24));
    statusBar->setMaximumHeight(28);
    column->addWidget(statusBar);
}

QWidget* EditorView::makeCentreColumn() {
    canvasArea = new CanvasView(editor);
    timelineArea = placeholder(tr("Timeline"), QSize(200, 120));
    timelineArea->setMaximumHeight(180);
    timelineArea->setVisible(editor->isTimelinePresented());
    connect(editor, &EditorState::timelinePresentedChanged, timelineArea, &QWidget::setVisible);

    auto* centre = new QWidget;
    auto* layout = new QVBoxLayout(centre);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(canvasArea, 1);
    layout->addWidget(timelineArea);
    return centre;
}

void EditorView::setInspectorPresented(bool presented) {
    if (inspectorPresented == presented)
        return;
    inspectorPresented = presented;
    inspectorColumn->setVisible(presented);
    emit inspectorPresentedChanged(presented);
}
