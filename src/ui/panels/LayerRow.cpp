#include "LayerRow.h"

#include "EditingTextTracker.h"
#include "LayerThumbnail.h"
#include "SymbolIcons.h"

#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <cmath>

LayerRow::LayerRow(EditorState* editor, QWidget* parent)
    : QWidget(parent), editor(editor), eye(new QToolButton(this)),
      preview(new LayerThumbnail(this)), name(new QLabel(this)), field(new QLineEdit(this)),
      hint(new QLabel(this)) {
    setFixedHeight(rowHeight);
    eye->setAutoRaise(true);
    connect(eye, &QToolButton::clicked, this, [this] {
        if (this->editor)
            this->editor->setLayerVisibility(id, !isVisible);
    });
    name->setTextFormat(Qt::PlainText);
    name->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    field->hide();
    field->installEventFilter(this);
    EditingTextTracker::track(field, editor);
    connect(field, &QLineEdit::editingFinished, this, [this] {
        if (field->isVisible())
            emit renameCommitted(id, field->text());
    });
    QFont small = hint->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    hint->setFont(small);
    hint->setForegroundRole(QPalette::PlaceholderText);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 6, 2);
    layout->setSpacing(6);
    layout->addWidget(eye);
    layout->addWidget(preview);
    layout->addWidget(name, 1);
    layout->addWidget(field, 1);
    layout->addWidget(hint);
    updateIcons();
}

void LayerRow::display(const Layer& layer, bool active, bool renaming) {
    const bool visibilityChanged = isVisible != layer.isVisible || id != layer.id;
    id = layer.id;
    isVisible = layer.isVisible;
    if (isActive != active) {
        isActive = active;
        update();
    }
    if (visibilityChanged)
        updateIcons();
    eye->setToolTip(isVisible ? tr("Hide Layer") : tr("Show Layer"));
    const Sprite& sprite = editor->document()->sprite();
    preview->setCel(sprite.cel(sprite.layerIndex(id), sprite.activeFrameIndex));
    name->setText(layer.name);
    hint->setVisible(layer.opacity < 1);
    hint->setText(QStringLiteral("%1%").arg(std::lround(layer.opacity * 100)));
    setRenaming(renaming, layer.name);
}

void LayerRow::setRenaming(bool renaming, const QString& currentName) {
    if (renaming == field->isVisible())
        return;
    if (renaming) {
        field->setText(currentName);
        field->selectAll();
    }
    name->setVisible(!renaming);
    field->setVisible(renaming);
    if (renaming)
        field->setFocus(Qt::OtherFocusReason);
}

void LayerRow::updateIcons() {
    eye->setIcon(SymbolIcons::icon(isVisible ? QStringLiteral("eye") : QStringLiteral("eye.slash"),
                                   palette(), 14));
}

void LayerRow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange)
        updateIcons();
    QWidget::changeEvent(event);
}

// Escape belongs to the name field while it is open, before any window shortcut sees it.
bool LayerRow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != field ||
        (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride))
        return QWidget::eventFilter(watched, event);
    if (static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape)
        return false;
    event->accept();
    if (event->type() == QEvent::KeyPress)
        emit renameCancelled();
    return true;
}

void LayerRow::paintEvent(QPaintEvent*) {
    if (!isActive)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor highlight = palette().color(QPalette::Highlight);
    highlight.setAlphaF(0.3f);
    painter.setPen(Qt::NoPen);
    painter.setBrush(highlight);
    painter.drawRoundedRect(QRectF(rect()), 5, 5);
}

void LayerRow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && editor)
        editor->selectLayer(id);
}

// Selects too: the press before a double click may not have reached this row.
void LayerRow::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !editor)
        return;
    editor->selectLayer(id);
    emit renameRequested(id);
}

void LayerRow::contextMenuEvent(QContextMenuEvent* event) {
    if (!editor)
        return;
    const bool severalLayers = editor->document()->sprite().layers.size() >= 2;
    const QUuid layer = id;
    QPointer<EditorState> target = editor;
    QMenu menu(this);
    // Renaming starts once the menu is gone, or its closing would take the field's focus.
    menu.addAction(tr("Rename"), this, [this, layer] {
        QMetaObject::invokeMethod(
            this, [this, layer] { emit renameRequested(layer); }, Qt::QueuedConnection);
    });
    menu.addAction(tr("Duplicate"), this, [target, layer] {
        if (target)
            target->duplicateLayer(layer);
    });
    menu.addAction(tr("Merge Down"), this,
                   [target, layer] {
                       if (target)
                           target->mergeLayerDown(layer);
                   })
        ->setEnabled(severalLayers);
    menu.addSeparator();
    menu.addAction(tr("Delete"), this,
                   [target, layer] {
                       if (target)
                           target->deleteLayer(layer);
                   })
        ->setEnabled(severalLayers);
    menu.exec(event->globalPos());
}
