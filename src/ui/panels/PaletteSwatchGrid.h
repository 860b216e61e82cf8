#pragma once

#include "EditorState.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

class QDrag;

// The palette's swatches in rows that fill the available width. A click makes a colour the
// primary one; swatches are reordered by dragging one onto another, which is accepted only for
// a drag that started in this grid (the dropped text is never read).
class PaletteSwatchGrid : public QWidget {
    Q_OBJECT

public:
    static constexpr int swatchSide = 20;
    static constexpr int spacing = 4;

    explicit PaletteSwatchGrid(EditorState* editor, QWidget* parent = nullptr);

    qint64 columnCount() const;
    QRect swatchRect(qint64 index) const;
    std::optional<qint64> swatchAt(QPoint point) const;
    std::optional<qint64> draggingIndex() const { return dragging; }

    // Runs a drag to its end; the platform's drag loop unless replaced (tests drive drops).
    std::function<void(QDrag&)> runDrag;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    const QList<PixelColor>& colors() const;
    static qint64 columnsFor(int width);
    void paintSwatch(QPainter& painter, qint64 index) const;
    void startDrag(qint64 index);

    QPointer<EditorState> editor;
    std::optional<qint64> dragging;
    std::optional<qint64> pressedIndex;
    QPoint pressPosition;
};
