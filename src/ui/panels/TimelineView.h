#pragma once

#include "EditorState.h"

#include <QWidget>
#include <functional>

class QLabel;
class QLineEdit;
class QScrollArea;
class QToolButton;
class TimelineGridView;

// The panel under the canvas: playback and frame controls, the active frame's duration, and
// the grid of layers down and frames across.
class TimelineView : public QWidget {
    Q_OBJECT

public:
    // The editor must outlive the timeline.
    explicit TimelineView(EditorState* editor, QWidget* parent = nullptr);

    TimelineGridView* grid() const { return gridView; }

    // "3 frames · 450 ms"; the sum saturates rather than overflowing.
    static QString summary(const QList<Frame>& frames);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QWidget* makeControlRow();
    QWidget* makeDurationEditor();
    void applySymbols();
    void refresh();
    void revealShownFrame();
    void refreshPlayButton();
    void refreshDurationText();
    void commitDuration();
    void togglePlayback();
    QToolButton* addButton(const QString& toolTip, const std::function<void()>& action);

    EditorState* const editor;
    QToolButton* playButton = nullptr;
    QToolButton* addFrameButton = nullptr;
    QToolButton* emptyFrameButton = nullptr;
    QToolButton* deleteFrameButton = nullptr;
    QLabel* summaryLabel = nullptr;
    QLabel* durationSymbol = nullptr;
    QLineEdit* durationField = nullptr;
    TimelineGridView* gridView = nullptr;
    QScrollArea* gridScroll = nullptr;
    qint64 revealedFrame = -1; // the frame last scrolled into sight
};
