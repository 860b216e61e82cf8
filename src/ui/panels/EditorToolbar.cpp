#include "EditorToolbar.h"

#include "SymbolIcons.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QToolButton>

EditorToolbar::EditorToolbar(EditorState* editor, QWidget* parent)
    : QWidget(parent), editor(editor) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 2, 6, 2);
    layout->setSpacing(2);
    fill = addButton(tr("Outline or filled shape"),
                     [editor] { editor->setShapeFilled(!editor->shapeFilled()); });
    layout->addWidget(fill);
    layout->addStretch(1);
    zoomOut =
        addButton(tr("Zoom Out (Ctrl+\u2212)"), [this] { zoom(EditorViewState::ZoomIntent::zoomOut); });
    fit = addButton(tr("Fit Canvas (Ctrl+0)"), [this] { zoom(EditorViewState::ZoomIntent::fit); });
    zoomIn = addButton(tr("Zoom In (Ctrl++)"), [this] { zoom(EditorViewState::ZoomIntent::zoomIn); });
    inspector = addButton(tr("Toggle Inspector"), {});
    inspector->setCheckable(true);
    inspector->setChecked(true);
    connect(inspector, &QToolButton::toggled, this, &EditorToolbar::inspectorPresentedChanged);
    for (QToolButton* button : {zoomOut, fit, zoomIn})
        layout->addWidget(button);
    layout->addSpacing(8);
    layout->addWidget(inspector);
    connect(editor, &EditorState::shapeFilledChanged, this, &EditorToolbar::showFillOption);
    connect(editor, &EditorState::activeToolChanged, this, &EditorToolbar::showFillOption);
    applySymbols();
}

QToolButton* EditorToolbar::addButton(const QString& toolTip, const std::function<void()>& action) {
    auto* button = new QToolButton;
    button->setToolTip(toolTip);
    button->setAutoRaise(true);
    button->setIconSize({symbolSize, symbolSize});
    if (action)
        connect(button, &QToolButton::clicked, this, action);
    return button;
}

bool EditorToolbar::isInspectorPresented() const {
    return inspector->isChecked();
}

void EditorToolbar::setInspectorPresented(bool presented) {
    inspector->setChecked(presented);
}

void EditorToolbar::zoom(EditorViewState::ZoomIntent intent) {
    if (editor->view().performZoom)
        editor->view().performZoom(intent);
}

// The choice only means something to the shape tools, so it is greyed out for the others.
void EditorToolbar::showFillOption() {
    const bool filled = editor->shapeFilled();
    fill->setIcon(SymbolIcons::icon(
        filled ? QStringLiteral("square.fill") : QStringLiteral("square"), palette(), symbolSize));
    fill->setEnabled(ToolKinds::usesFill(editor->activeTool()));
}

void EditorToolbar::applySymbols() {
    zoomOut->setIcon(
        SymbolIcons::icon(QStringLiteral("minus.magnifyingglass"), palette(), symbolSize));
    fit->setIcon(SymbolIcons::icon(QStringLiteral("arrow.up.left.and.arrow.down.right"), palette(),
                                   symbolSize));
    zoomIn->setIcon(
        SymbolIcons::icon(QStringLiteral("plus.magnifyingglass"), palette(), symbolSize));
    inspector->setIcon(SymbolIcons::icon(QStringLiteral("sidebar.right"), palette(), symbolSize));
    showFillOption();
}

void EditorToolbar::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange)
        applySymbols();
    QWidget::changeEvent(event);
}
