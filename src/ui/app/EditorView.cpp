#include "EditorView.h"

#include "InspectorView.h"
#include "KeyboardFixups.h"
#include "CanvasView.h"
#include "EditorState.h"
#include "EditorToolbar.h"
#include "StatusBarView.h"
#include "TimelineView.h"
#include "ToolStripView.h"
#include "Clipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QShortcut>
#include <functional>

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
    routeFloatingPasteKeys();
}

// Return, Esc and the arrows act on floating pixels wherever the focus is in the window (a
// click in the timeline or a panel must not strand them), except in a text field.
void EditorView::routeFloatingPasteKeys() {
    const auto nudge = [this](qint64 dx, qint64 dy) {
        return [this, dx, dy] {
            if (const auto& paste = editor->floatingPaste())
                editor->setFloatingOrigin({paste->origin.x + dx, paste->origin.y + dy});
        };
    };
    const QList<std::pair<QKeySequence, std::function<void()>>> keys = {
        {QKeySequence(Qt::Key_Return), [this] { editor->commitFloatingPaste(); }},
        {QKeySequence(Qt::Key_Enter), [this] { editor->commitFloatingPaste(); }},
        {QKeySequence(Qt::Key_Escape), [this] { editor->escape(); }},
        {QKeySequence(Qt::Key_Left), nudge(-1, 0)},
        {QKeySequence(Qt::Key_Right), nudge(1, 0)},
        {QKeySequence(Qt::Key_Up), nudge(0, -1)},
        {QKeySequence(Qt::Key_Down), nudge(0, 1)},
    };
    QList<QShortcut*> shortcuts;
    for (const auto& [sequence, act] : keys) {
        auto* shortcut = new QShortcut(sequence, this, act, Qt::WindowShortcut);
        shortcut->setAutoRepeat(true);
        shortcuts.append(shortcut);
    }
    // Judged by the focused widget itself: the editor's flag can lag a focus change.
    const auto update = [this, shortcuts] {
        const bool active = editor->floatingPaste().has_value() &&
                            !KeyboardFixups::textFieldOf(QApplication::focusWidget());
        for (QShortcut* shortcut : shortcuts)
            shortcut->setEnabled(active);
    };
    connect(editor, &EditorState::floatingPasteChanged, this, update);
    connect(qApp, &QApplication::focusChanged, this, update);
    update();
}

QWidget* EditorView::makeCentreColumn() {
    canvasView = new CanvasView(editor);
    timelineView = new TimelineView(editor);
    timelineView->setVisible(editor->view().isTimelinePresented());
    connect(&editor->view(), &EditorViewState::timelinePresentedChanged, timelineView,
            &QWidget::setVisible);

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
