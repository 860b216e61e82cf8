#include "BrushInspector.h"

#include "CaptionLabel.h"
#include "SymbolIcons.h"

#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int symbolSize = 12;

} // namespace

BrushInspector::BrushInspector(EditorState* editor, QWidget* parent)
    : QWidget(parent), editor(editor) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(makeSizeRow());
    layout->addWidget(new CaptionLabel(tr("Shortcuts: [, ]")));
    singlePixelNote = new CaptionLabel(tr("The current tool draws single pixels."));
    layout->addWidget(singlePixelNote);
    pixelPerfectToggle = new QCheckBox(tr("Pixel-perfect"));
    pixelPerfectToggle->setToolTip(
        tr("Drops the corner pixel where a freehand line turns, so it stays one pixel thick"));
    connect(pixelPerfectToggle, &QCheckBox::toggled, editor, &EditorState::setPixelPerfect);
    layout->addWidget(pixelPerfectToggle);
    pixelPerfectNote = new CaptionLabel;
    layout->addWidget(pixelPerfectNote);

    connect(editor, &EditorState::brushSizeChanged, this, &BrushInspector::refresh);
    connect(editor, &EditorState::activeToolChanged, this, &BrushInspector::refresh);
    connect(editor, &EditorState::pixelPerfectChanged, this, &BrushInspector::refresh);
    applySymbols();
    refresh();
}

QWidget* BrushInspector::makeSizeRow() {
    smaller = new QToolButton;
    smaller->setAutoRaise(true);
    smaller->setToolTip(tr("Smaller Brush ([)"));
    connect(smaller, &QToolButton::clicked, editor, &EditorState::decreaseBrushSize);
    larger = new QToolButton;
    larger->setAutoRaise(true);
    larger->setToolTip(tr("Larger Brush (])"));
    connect(larger, &QToolButton::clicked, editor, &EditorState::increaseBrushSize);
    sizeLabel = new QLabel;
    sizeLabel->setAlignment(Qt::AlignCenter);
    sizeLabel->setMinimumWidth(sizeLabel->fontMetrics().horizontalAdvance(QStringLiteral("32 px")));
    sizeSlider = new QSlider(Qt::Horizontal);
    sizeSlider->setRange(int(EditorState::minimumBrushSize), int(EditorState::maximumBrushSize));
    sizeSlider->setSingleStep(1);
    sizeSlider->setPageStep(4);
    connect(sizeSlider, &QSlider::valueChanged, editor,
            [editor = editor](int size) { editor->setBrushSize(size); });

    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(smaller);
    layout->addWidget(sizeLabel);
    layout->addWidget(larger);
    layout->addWidget(sizeSlider, 1);
    return row;
}

QString BrushInspector::pixelPerfectCaption(ToolKind tool, qint64 brushSize) {
    if (!ToolKinds::usesPixelPerfect(tool))
        return tr("For the pencil and the eraser.");
    if (brushSize == 1)
        return tr("No doubled pixels where a line turns.");
    return tr("Only at a brush size of 1 px.");
}

void BrushInspector::refresh() {
    const qint64 size = editor->brushSize();
    const ToolKind tool = editor->activeTool();
    sizeLabel->setText(tr("%1 px").arg(size));
    {
        const QSignalBlocker quiet(sizeSlider);
        sizeSlider->setValue(int(size));
    }
    {
        const QSignalBlocker quiet(pixelPerfectToggle);
        pixelPerfectToggle->setChecked(editor->pixelPerfect());
    }
    singlePixelNote->setVisible(!ToolKinds::usesBrushSize(tool));
    pixelPerfectNote->setText(pixelPerfectCaption(tool, size));
}

void BrushInspector::applySymbols() {
    smaller->setIcon(SymbolIcons::icon(QStringLiteral("minus"), palette(), symbolSize));
    larger->setIcon(SymbolIcons::icon(QStringLiteral("plus"), palette(), symbolSize));
}

void BrushInspector::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange)
        applySymbols();
    QWidget::changeEvent(event);
}
