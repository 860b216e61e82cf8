#include "LayerInspector.h"

#include "LayerRow.h"
#include "SymbolIcons.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QScrollArea>
#include <QSignalBlocker>
#include <algorithm>
#include <cmath>

LayerInspector::LayerInspector(EditorState* editor, QWidget* parent)
    : QWidget(parent), editor(editor) {
    auto* list = new QWidget;
    rowLayout = new QVBoxLayout(list);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    rowLayout->setSpacing(2);
    rowLayout->addStretch(1);
    // A long list scrolls in place, so the buttons under it stay in sight.
    rowsArea = new QScrollArea(this);
    rowsArea->setWidget(list);
    rowsArea->setWidgetResizable(true);
    rowsArea->setFrameShape(QFrame::NoFrame);
    rowsArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(makeOpacityRow());
    layout->addWidget(rowsArea);
    layout->addWidget(makeButtonRow());

    connect(editor->document(), &PixelDocument::changed, this, &LayerInspector::refresh);
    refresh();
    updateIcons();
}

LayerInspector::~LayerInspector() {
    endOpacityDrag();
}

QWidget* LayerInspector::makeOpacityRow() {
    opacityBar = new QWidget(this);
    opacity = new QSlider(Qt::Horizontal, opacityBar);
    opacity->setRange(0, opacitySteps);
    opacityPercent = new QLabel(opacityBar);
    opacityPercent->setFixedWidth(34);
    opacityPercent->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    connect(opacity, &QSlider::valueChanged, this, &LayerInspector::opacityMoved);
    connect(opacity, &QSlider::sliderReleased, this, &LayerInspector::endOpacityDrag);
    auto* layout = new QHBoxLayout(opacityBar);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(tr("Opacity"), opacityBar));
    layout->addWidget(opacity, 1);
    layout->addWidget(opacityPercent);
    return opacityBar;
}

QToolButton* LayerInspector::makeButton(const QString& tooltip,
                                        const std::function<void()>& action) {
    auto* button = new QToolButton(this);
    button->setAutoRaise(true);
    button->setToolTip(tooltip);
    connect(button, &QToolButton::clicked, this, [this, action] {
        if (editor)
            action();
    });
    return button;
}

QWidget* LayerInspector::makeButtonRow() {
    const auto activeID = [this] { return editor->document()->sprite().activeLayerID; };
    const QString shortcut =
        QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_N).toString(QKeySequence::NativeText);
    add = makeButton(tr("Add Layer (%1)").arg(shortcut), [this] { editor->addLayer(); });
    remove = makeButton(tr("Delete Layer"), [this, activeID] {
        if (const auto id = activeID())
            editor->deleteLayer(*id);
    });
    up = makeButton(tr("Move Layer Up"), [this, activeID] {
        if (const auto id = activeID())
            editor->moveLayer(*id, +1);
    });
    down = makeButton(tr("Move Layer Down"), [this, activeID] {
        if (const auto id = activeID())
            editor->moveLayer(*id, -1);
    });
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    for (QToolButton* button : {add, remove, up, down})
        layout->addWidget(button);
    layout->addStretch();
    return row;
}

bool LayerInspector::canMoveActiveLayer(qint64 step) const {
    const Sprite& sprite = editor->document()->sprite();
    const auto index = sprite.activeLayerIndex();
    return index && *index + step >= 0 && *index + step < sprite.layers.size();
}

void LayerInspector::refresh() {
    if (!editor)
        return;
    const Sprite& sprite = editor->document()->sprite();
    const auto active = sprite.activeLayer();
    opacityBar->setVisible(active.has_value());
    if (active) {
        const QSignalBlocker blocker(opacity);
        opacity->setValue(int(std::lround(active->opacity * opacitySteps)));
        opacityPercent->setText(QStringLiteral("%1%").arg(std::lround(active->opacity * 100)));
    }
    if (renaming && sprite.layerIndex(*renaming) < 0)
        renaming.reset(); // the layer went away (undo, delete) while its name was edited
    showRows();
    remove->setEnabled(sprite.layers.size() >= 2);
    up->setEnabled(canMoveActiveLayer(+1));
    down->setEnabled(canMoveActiveLayer(-1));
}

// Rows are kept and reused by position, so a row is never destroyed under its own event.
void LayerInspector::showRows() {
    const Sprite& sprite = editor->document()->sprite();
    const qint64 count = sprite.layers.size();
    while (layerRows.size() < count) {
        auto* row = new LayerRow(editor, rowLayout->parentWidget());
        connect(row, &LayerRow::renameRequested, this, &LayerInspector::startRenaming);
        connect(row, &LayerRow::renameCommitted, this, &LayerInspector::commitRenaming);
        connect(row, &LayerRow::renameCancelled, this, &LayerInspector::cancelRenaming);
        rowLayout->insertWidget(int(layerRows.size()), row); // above the closing stretch
        layerRows.append(row);
    }
    while (layerRows.size() > count) {
        LayerRow* row = layerRows.takeLast();
        row->hide();
        row->deleteLater();
    }
    for (qint64 position = 0; position < count; ++position) {
        const Layer& layer = sprite.layers[count - 1 - position];
        layerRows[position]->display(layer, layer.id == sprite.activeLayerID, renaming == layer.id);
    }
    const int spacing = rowLayout->spacing();
    const qint64 shown = std::clamp<qint64>(count, 1, maximumRowsShown);
    rowsArea->setFixedHeight(int(shown * (LayerRow::rowHeight + spacing) - spacing));
    if (const auto active = sprite.activeLayerIndex())
        rowsArea->ensureWidgetVisible(layerRows[count - 1 - *active], 0, 0);
}

void LayerInspector::updateIcons() {
    add->setIcon(SymbolIcons::icon(QStringLiteral("plus"), palette(), 14));
    remove->setIcon(SymbolIcons::icon(QStringLiteral("trash"), palette(), 14));
    up->setIcon(SymbolIcons::icon(QStringLiteral("chevron.up"), palette(), 14));
    down->setIcon(SymbolIcons::icon(QStringLiteral("chevron.down"), palette(), 14));
}

void LayerInspector::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange)
        updateIcons();
    QWidget::changeEvent(event);
}

void LayerInspector::startRenaming(const QUuid& layerID) {
    renaming = layerID;
    showRows();
}

void LayerInspector::commitRenaming(const QUuid& layerID, const QString& text) {
    if (renaming != layerID)
        return;
    renaming.reset();
    editor->renameLayer(layerID, text); // a blank or unchanged name is refused there
    showRows();
}

void LayerInspector::cancelRenaming() {
    renaming.reset();
    showRows();
}

void LayerInspector::opacityMoved(int position) {
    const auto id = editor->document()->sprite().activeLayerID;
    if (!id)
        return;
    if (editor->isGestureActive()) {
        // The canvas gesture holds the document: the change would be refused, and a group
        // opened for it would stay in the history as an empty step.
        refresh();
        return;
    }
    QUndoStack* undo = editor->undoManager();
    if (opacity->isSliderDown() && !opacityGroup && undo) {
        undo->beginMacro(tr("Change Layer Opacity"));
        opacityGroup = undo;
    }
    editor->setLayerOpacity(*id, double(position) / opacitySteps);
}

void LayerInspector::endOpacityDrag() {
    if (QUndoStack* undo = opacityGroup) {
        opacityGroup.clear();
        undo->endMacro();
    }
}
