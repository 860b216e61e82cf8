#include "TimelineView.h"

#include "EditingTextTracker.h"
#include "SymbolIcons.h"
#include "TimelineGridView.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QtNumeric>
#include <limits>

namespace {

constexpr int symbolSize = 14;
constexpr int durationFieldWidth = 46;
constexpr qreal summaryPointSize = 9;

QString durationText(const Sprite& sprite) {
    const qint64 active = sprite.activeFrameIndex;
    const bool inRange = active >= 0 && active < sprite.frames.size();
    return QString::number(inRange ? sprite.frames[active].duration : Frame::defaultDuration);
}

} // namespace

TimelineView::TimelineView(EditorState* editor, QWidget* parent) : QWidget(parent), editor(editor) {
    gridView = new TimelineGridView(editor);
    gridScroll = new QScrollArea;
    gridScroll->setWidget(gridView);
    gridScroll->setWidgetResizable(true);
    gridScroll->setFrameShape(QFrame::NoFrame);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(makeControlRow());
    layout->addWidget(gridScroll, 1);
    applySymbols();
    refresh();
    connect(editor->document(), &PixelDocument::changed, this, &TimelineView::refresh);
    connect(&editor->playback(), &Playback::playingChanged, this, &TimelineView::refresh);
    // After the grid has taken its new size, so that a new last frame can be reached.
    const auto revealLater = [this] {
        QMetaObject::invokeMethod(this, &TimelineView::revealShownFrame, Qt::QueuedConnection);
    };
    connect(editor->document(), &PixelDocument::changed, this, revealLater);
    connect(&editor->playback(), &Playback::displayChanged, this, revealLater);
}

// Scrolls the frame the canvas shows into sight when it changed, leaving the scroll position
// alone otherwise, so the user can look along the timeline while drawing.
void TimelineView::revealShownFrame() {
    const qint64 frame = editor->displayFrame();
    if (frame == revealedFrame)
        return;
    revealedFrame = frame;
    const QRect column = gridView->headerRect(frame);
    QScrollBar* bar = gridScroll->horizontalScrollBar();
    const int width = gridScroll->viewport()->width();
    if (column.left() < bar->value())
        bar->setValue(column.left());
    else if (column.right() >= bar->value() + width)
        bar->setValue(column.right() + 1 - width);
}

QToolButton* TimelineView::addButton(const QString& toolTip, const std::function<void()>& action) {
    auto* button = new QToolButton;
    button->setToolTip(toolTip);
    button->setAutoRaise(true);
    connect(button, &QToolButton::clicked, this, action);
    return button;
}

QWidget* TimelineView::makeControlRow() {
    playButton = addButton(QString(), [this] { togglePlayback(); });
    addFrameButton =
        addButton(tr("New Frame \u2014 carries this frame's pixels forward (Ctrl+Alt+N)"),
                  [this] { editor->duplicateFrame(tr("Add Frame")); });
    addFrameButton->setText(tr("Add Frame"));
    addFrameButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    emptyFrameButton =
        addButton(tr("New Empty Frame (Ctrl+Alt+Shift+N)"), [this] { editor->addEmptyFrame(); });
    deleteFrameButton = addButton(tr("Delete Frame"), [this] { editor->deleteFrame(); });
    summaryLabel = new QLabel;
    QFont small = summaryLabel->font();
    small.setPointSizeF(summaryPointSize);
    summaryLabel->setFont(small);

    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(6, 2, 6, 2);
    for (QWidget* control : {playButton, addFrameButton, emptyFrameButton, deleteFrameButton})
        layout->addWidget(control);
    layout->addSpacing(8);
    layout->addWidget(summaryLabel);
    layout->addStretch(1);
    layout->addWidget(makeDurationEditor());
    return row;
}

QWidget* TimelineView::makeDurationEditor() {
    durationSymbol = new QLabel;
    durationSymbol->setToolTip(tr("How long this frame is shown"));
    durationField = new QLineEdit;
    durationField->setFixedWidth(durationFieldWidth);
    durationField->setAlignment(Qt::AlignRight);
    EditingTextTracker::track(durationField, editor);
    durationField->installEventFilter(this);
    connect(durationField, &QLineEdit::returnPressed, this, &TimelineView::commitDuration);

    auto* durationEditor = new QWidget;
    auto* layout = new QHBoxLayout(durationEditor);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(durationSymbol);
    layout->addWidget(durationField);
    layout->addWidget(new QLabel(tr("ms")));
    return durationEditor;
}

void TimelineView::applySymbols() {
    const QPalette& colors = palette();
    addFrameButton->setIcon(
        SymbolIcons::icon(QStringLiteral("plus.square.on.square"), colors, symbolSize));
    emptyFrameButton->setIcon(
        SymbolIcons::icon(QStringLiteral("square.dashed"), colors, symbolSize));
    deleteFrameButton->setIcon(SymbolIcons::icon(QStringLiteral("trash"), colors, symbolSize));
    durationSymbol->setPixmap(
        SymbolIcons::icon(QStringLiteral("arrow.left.and.right"), colors, symbolSize)
            .pixmap(symbolSize, symbolSize));
    refreshPlayButton();
}

void TimelineView::refreshPlayButton() {
    const bool playing = editor->playback().isPlaying();
    playButton->setIcon(
        SymbolIcons::icon(playing ? QStringLiteral("stop.fill") : QStringLiteral("play.fill"),
                          palette(), symbolSize));
    playButton->setToolTip(playing ? tr("Stop (Return)") : tr("Play (Return)"));
    playButton->setEnabled(playing || editor->document()->sprite().frames.size() >= 2);
}

QString TimelineView::summary(const QList<Frame>& frames) {
    qint64 total = 0;
    for (const Frame& frame : frames) {
        // Durations read from a file are unbounded; a sum that would overflow stops at the top.
        if (qAddOverflow(total, std::max<qint64>(frame.duration, 0), &total))
            total = std::numeric_limits<qint64>::max();
    }
    return tr("%1 frames \u00B7 %2 ms").arg(frames.size()).arg(total);
}

void TimelineView::refresh() {
    const Sprite& sprite = editor->document()->sprite();
    refreshPlayButton();
    deleteFrameButton->setEnabled(sprite.frames.size() >= 2);
    summaryLabel->setText(summary(sprite.frames));
    // The field shows the stored duration except while the user is typing a new one.
    if (!durationField->hasFocus() || !durationField->isModified())
        refreshDurationText();
}

void TimelineView::refreshDurationText() {
    durationField->setText(durationText(editor->document()->sprite()));
}

// A number (optionally signed) becomes the active frame's duration, within the limits the
// editor applies; anything else reverts to the stored duration.
void TimelineView::commitDuration() {
    // Leaving the field without typing keeps what undo or another frame put there.
    if (!durationField->isModified()) {
        refreshDurationText();
        return;
    }
    bool parsed = false;
    const qint64 value = durationField->text().trimmed().toLongLong(&parsed, 10);
    if (parsed)
        editor->setFrameDuration(value);
    refreshDurationText();
}

void TimelineView::togglePlayback() {
    if (editor->playback().isPlaying())
        editor->playback().stop();
    else
        editor->startPlayback();
}

bool TimelineView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == durationField && event->type() == QEvent::FocusOut)
        commitDuration();
    return QWidget::eventFilter(watched, event);
}

void TimelineView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange)
        applySymbols();
    QWidget::changeEvent(event);
}

void TimelineView::showEvent(QShowEvent* event) {
    if (!durationField->hasFocus() || !durationField->isModified())
        refreshDurationText();
    QWidget::showEvent(event);
}
