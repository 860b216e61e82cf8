#include "SymmetryInspector.h"

#include "SymbolIcons.h"

#include <QButtonGroup>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

SymmetryInspector::SymmetryInspector(EditorState* editor, QWidget* parent)
    : QWidget(parent), editor(editor), modes(new QButtonGroup(this)), descriptionLabel(new QLabel) {
    auto* segments = new QHBoxLayout;
    segments->setSpacing(0);
    for (SymmetryMode mode : SymmetryModes::all) {
        auto* segment = new QToolButton;
        segment->setCheckable(true);
        segment->setToolTip(description(mode));
        segment->setAccessibleName(SymmetryModes::title(mode));
        segment->setIconSize({symbolSize, symbolSize});
        segment->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        modes->addButton(segment, int(mode));
        segments->addWidget(segment);
    }
    descriptionLabel->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    layout->addLayout(segments);
    layout->addWidget(descriptionLabel);

    connect(modes, &QButtonGroup::idClicked, editor,
            [editor](int id) { editor->setSymmetry(SymmetryMode(id)); });
    connect(editor, &EditorState::symmetryChanged, this, &SymmetryInspector::refresh);
    connect(editor->document(), &PixelDocument::changed, this, &SymmetryInspector::refresh);
    applySymbols();
    refresh();
}

QString SymmetryInspector::description(SymmetryMode mode, bool squareCanvas) {
    switch (mode) {
    case SymmetryMode::off:
        return tr("No mirroring.");
    case SymmetryMode::leftRight:
        return tr("Mirroring left to right.");
    case SymmetryMode::topBottom:
        return tr("Mirroring top to bottom.");
    case SymmetryMode::both:
        return tr("Mirroring left to right and top to bottom.");
    case SymmetryMode::diagonal:
        return squareCanvas ? tr("Mirroring across the diagonal.")
                            : tr("Mirroring across the diagonal. Only what lands on the canvas "
                                 "is drawn.");
    case SymmetryMode::antiDiagonal:
        return squareCanvas ? tr("Mirroring across the rising diagonal.")
                            : tr("Mirroring across the rising diagonal. Only what lands on the "
                                 "canvas is drawn.");
    }
    return {};
}

void SymmetryInspector::refresh() {
    const SymmetryMode mode = editor->symmetry();
    modes->button(int(mode))->setChecked(true);
    const Sprite& sprite = editor->document()->sprite();
    descriptionLabel->setText(description(mode, sprite.width == sprite.height));
}

void SymmetryInspector::applySymbols() {
    for (SymmetryMode mode : SymmetryModes::all)
        modes->button(int(mode))->setIcon(
            SymbolIcons::icon(SymmetryModes::systemImage(mode), palette(), symbolSize));
}

void SymmetryInspector::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange)
        applySymbols();
    QWidget::changeEvent(event);
}
