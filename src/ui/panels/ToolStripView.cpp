#include "ToolStripView.h"

#include "ColorWellPair.h"
#include "SymbolIcons.h"

#include <QButtonGroup>
#include <QEvent>
#include <QToolButton>
#include <QVBoxLayout>

ToolStripView::ToolStripView(EditorState* editor, QWidget* parent)
    : QWidget(parent), editor(editor), tools(new QButtonGroup(this)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 6, 4, 6);
    column->setSpacing(2);
    for (ToolKind tool : ToolKinds::all) {
        auto* button = new QToolButton;
        button->setFixedSize(buttonSize);
        button->setIconSize({symbolSize, symbolSize});
        button->setAutoRaise(true);
        button->setCheckable(true);
        button->setToolTip(tr("%1 (%2)").arg(ToolKinds::title(tool),
                                             QString(ToolKinds::shortcut(tool).toUpper())));
        tools->addButton(button, int(tool));
        column->addWidget(button, 0, Qt::AlignHCenter);
    }
    column->addSpacing(8);
    column->addWidget(new ColorWellPair(editor, wellSize, wellOverlap), 0, Qt::AlignHCenter);
    column->addStretch(1);
    connect(tools, &QButtonGroup::idClicked, editor,
            [editor](int id) { editor->setActiveTool(ToolKind(id)); });
    connect(editor, &EditorState::activeToolChanged, this, &ToolStripView::showActiveTool);
    applySymbols();
    showActiveTool();
}

QAbstractButton* ToolStripView::button(ToolKind tool) const {
    return tools->button(int(tool));
}

void ToolStripView::showActiveTool() {
    button(editor->activeTool())->setChecked(true);
}

void ToolStripView::applySymbols() {
    for (ToolKind tool : ToolKinds::all)
        button(tool)->setIcon(
            SymbolIcons::icon(ToolKinds::systemImage(tool), palette(), symbolSize));
}

void ToolStripView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange)
        applySymbols();
    QWidget::changeEvent(event);
}
