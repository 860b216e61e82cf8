#include "InspectorView.h"

#include "BrushInspector.h"
#include "ColorInspector.h"
#include "InspectorSection.h"
#include "LayerInspector.h"
#include "PaletteInspector.h"
#include "SymmetryInspector.h"

#include <QFrame>
#include <QVBoxLayout>

InspectorView::InspectorView(EditorState* editor, QWidget* parent) : QScrollArea(parent) {
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const QList<InspectorSection*> sections = {
        new InspectorSection(tr("Color"), new ColorInspector(editor)),
        new InspectorSection(tr("Palette"), new PaletteInspector(editor)),
        new InspectorSection(tr("Brush"), new BrushInspector(editor)),
        new InspectorSection(tr("Symmetry"), new SymmetryInspector(editor)),
        new InspectorSection(tr("Layers"), new LayerInspector(editor)),
    };
    for (InspectorSection* section : sections) {
        if (section != sections.first()) {
            auto* rule = new QFrame;
            rule->setFrameShape(QFrame::HLine);
            rule->setFrameShadow(QFrame::Sunken);
            layout->addWidget(rule);
        }
        layout->addWidget(section);
    }
    layout->addStretch(1);

    setWidget(column);
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFixedWidth(columnWidth);
}

QList<InspectorSection*> InspectorView::sections() const {
    return widget()->findChildren<InspectorSection*>(QString(), Qt::FindDirectChildrenOnly);
}
