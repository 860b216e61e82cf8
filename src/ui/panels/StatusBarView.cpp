#include "StatusBarView.h"

#include "SymbolIcons.h"

#include <QEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <cmath>

namespace {

constexpr int symbolSize = 10;
constexpr int itemSpacing = 14;

} // namespace

StatusBarView::StatusBarView(EditorState* editor, QWidget* parent)
    : QWidget(parent), editor(editor), zoomLabel(new QLabel), sizeLabel(new QLabel),
      frameLabel(new QLabel), playingSymbol(new QLabel), unsavedMarker(new QWidget),
      unsavedSymbol(new QLabel), brushLabel(new QLabel), pasteHintLabel(new QLabel),
      selectionLabel(new QLabel), pointerLabel(new QLabel) {
    buildUnsavedMarker();
    // A fixed-pitch face keeps every digit the same width.
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 2, 8, 2);
    layout->setSpacing(itemSpacing);
    auto* frame = new QHBoxLayout;
    frame->setSpacing(4);
    frame->addWidget(frameLabel);
    frame->addWidget(playingSymbol);
    layout->addWidget(zoomLabel);
    layout->addWidget(sizeLabel);
    layout->addLayout(frame);
    layout->addWidget(unsavedMarker);
    layout->addWidget(brushLabel);
    layout->addWidget(pasteHintLabel);
    layout->addWidget(selectionLabel);
    layout->addWidget(pointerLabel);
    layout->addStretch(1);

    PixelDocument* document = editor->document();
    connect(document, &PixelDocument::changed, this, &StatusBarView::refresh);
    connect(document, &PixelDocument::hasUnsavedChangesChanged, this, &StatusBarView::refresh);
    connect(&editor->playback(), &Playback::playingChanged, this, &StatusBarView::refresh);
    connect(&editor->view(), &EditorViewState::zoomChanged, this, &StatusBarView::refresh);
    connect(&editor->playback(), &Playback::frameChanged, this, &StatusBarView::refresh);
    connect(editor, &EditorState::brushSizeChanged, this, &StatusBarView::refresh);
    connect(editor, &EditorState::floatingPasteChanged, this, &StatusBarView::refresh);
    connect(editor, &EditorState::selectionChanged, this, &StatusBarView::refresh);
    connect(&editor->view(), &EditorViewState::cursorPixelChanged, this, &StatusBarView::refresh);
    applySymbols();
    refresh();
}

void StatusBarView::buildUnsavedMarker() {
    unsavedMarker->setToolTip(
        tr("This sprite has changes that are not in the file yet. Ctrl+S saves it."));
    auto* layout = new QHBoxLayout(unsavedMarker);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(unsavedSymbol);
    layout->addWidget(new QLabel(tr("Unsaved")));
}

QString StatusBarView::zoomText(double zoom) {
    const double percent = zoom * 100;
    if (std::abs(percent - std::round(percent)) < 0.05)
        return tr("%1%").arg(qint64(std::round(percent)));
    return tr("%1%").arg(percent, 0, 'f', 1);
}

void StatusBarView::refresh() {
    const Sprite& sprite = editor->document()->sprite();
    zoomLabel->setText(zoomText(editor->view().zoom()));
    sizeLabel->setText(tr("%1 \u00D7 %2 px").arg(sprite.width).arg(sprite.height));
    frameLabel->setText(
        tr("Frame %1/%2").arg(editor->displayFrame() + 1).arg(sprite.frames.size()));
    playingSymbol->setVisible(editor->playback().isPlaying());
    unsavedMarker->setVisible(editor->document()->hasUnsavedChanges());
    brushLabel->setText(tr("Brush %1").arg(editor->brushSize()));
    pasteHintLabel->setVisible(editor->floatingPaste().has_value());
    pasteHintLabel->setText(editor->floatingPasteIsClipped()
                                ? tr("Return to place \u00B7 Esc to cancel \u00B7 part is off the "
                                     "canvas")
                                : tr("Return to place \u00B7 Esc to cancel"));
    const auto selection = editor->selection();
    selectionLabel->setVisible(selection.has_value());
    if (selection)
        selectionLabel->setText(
            tr("Sel %1 \u00D7 %2").arg(selection->width).arg(selection->height));
    const auto pointer = editor->view().cursorPixel();
    pointerLabel->setText(pointer ? tr("%1, %2").arg(pointer->x).arg(pointer->y) : QString());
}

void StatusBarView::applySymbols() {
    playingSymbol->setPixmap(SymbolIcons::icon(QStringLiteral("play.fill"), palette(), symbolSize)
                                 .pixmap(symbolSize, symbolSize));
    unsavedSymbol->setPixmap(SymbolIcons::icon(QStringLiteral("circle.fill"), palette(), symbolSize)
                                 .pixmap(symbolSize, symbolSize));
}

void StatusBarView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange)
        applySymbols();
    QWidget::changeEvent(event);
}
