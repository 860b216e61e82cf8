#include "PaletteInspector.h"

#include "PaletteSwatchGrid.h"
#include "SymbolIcons.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QMenu>
#include <QStyle>
#include <QVBoxLayout>

PaletteInspector::PaletteInspector(EditorState* editor, QWidget* parent)
    : QWidget(parent), editor(editor), swatches(new PaletteSwatchGrid(editor, this)),
      add(new QToolButton(this)), presets(new QToolButton(this)) {
    add->setAutoRaise(true);
    add->setText(tr("Add"));
    add->setAccessibleName(tr("Add"));
    add->setToolButtonStyle(Qt::ToolButtonIconOnly);
    add->setToolTip(tr("Add the current color to the palette"));
    connect(add, &QToolButton::clicked, this, [this] {
        if (this->editor)
            this->editor->addCurrentColorToPalette();
    });

    presets->setToolTip(tr("Replace the palette with a preset"));
    presets->setPopupMode(QToolButton::InstantPopup);
    presets->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto* menu = new QMenu(presets);
    for (const Palette& preset : Palette::presets()) {
        menu->addAction(preset.name, this, [this, preset] {
            if (this->editor)
                this->editor->applyPalette(preset);
        });
    }
    presets->setMenu(menu);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(6);
    buttons->addWidget(add);
    buttons->addWidget(presets);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(swatches);
    layout->addLayout(buttons);

    connect(editor->document(), &PixelDocument::changed, this, &PaletteInspector::refresh);
    refresh();
    updateIcons();
}

void PaletteInspector::refresh() {
    if (!editor)
        return;
    presets->setText(editor->document()->sprite().palette.name);
    // The menu arrow is drawn in the button's corner over its centred text: room for the
    // arrow on both sides keeps the name clear of it.
    const int arrow =
        presets->style()->pixelMetric(QStyle::PM_MenuButtonIndicator, nullptr, presets);
    presets->setFixedWidth(presets->sizeHint().width() + 2 * arrow);
}

void PaletteInspector::updateIcons() {
    add->setIcon(SymbolIcons::icon(QStringLiteral("plus"), palette(), 14));
}

void PaletteInspector::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange)
        updateIcons();
    QWidget::changeEvent(event);
}
