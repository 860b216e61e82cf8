#include "InspectorView.h"

#include "BrushInspector.h"
#include "ColorInspector.h"
#include "InspectorSection.h"
#include "LayerInspector.h"
#include "PaletteInspector.h"
#include "SymmetryInspector.h"

#include <QFrame>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

QFrame* rule() {
    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

InspectorView::InspectorView(EditorState* editor, QWidget* parent) : QWidget(parent) {
    all = {
        new InspectorSection(tr("Color"), new ColorInspector(editor)),
        new InspectorSection(tr("Palette"), new PaletteInspector(editor)),
        new InspectorSection(tr("Brush"), new BrushInspector(editor)),
        new InspectorSection(tr("Symmetry"), new SymmetryInspector(editor)),
        new InspectorSection(tr("Layers"), new LayerInspector(editor)),
    };
    InspectorSection* layers = all.last();

    auto* upperColumn = new QWidget;
    auto* upperLayout = new QVBoxLayout(upperColumn);
    upperLayout->setContentsMargins(0, 0, 0, 0);
    upperLayout->setSpacing(0);
    for (InspectorSection* section : all) {
        if (section == layers)
            break;
        if (section != all.first())
            upperLayout->addWidget(rule());
        upperLayout->addWidget(section);
    }
    upperLayout->addStretch(1);

    upper = new QScrollArea;
    upper->setWidget(upperColumn);
    upper->setWidgetResizable(true);
    upper->setFrameShape(QFrame::NoFrame);
    upper->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // It takes what the layers leave: its own size asks for nothing.
    upper->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
    upper->setMinimumHeight(minimumUpperHeight);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(upper, 1);
    layout->addWidget(rule());
    layout->addWidget(layers);
    setFixedWidth(columnWidth);
}
