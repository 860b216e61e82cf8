#pragma once

#include "TimelineThumbnailCache.h"
#include "EditorState.h"

#include <QWidget>
#include <optional>

class QMenu;

// The timeline's grid: a numbered header per frame, then one row per layer, topmost first,
// with the layer's name and a thumbnail of each of its cels. Clicking a header chooses the
// frame, clicking a cel chooses its layer and frame together, and dragging a header onto
// another reorders the frames (within the grid, like moving a header section: nothing
// leaves the window).
class TimelineGridView : public QWidget {
    Q_OBJECT

public:
    static constexpr int frameWidth = 40;
    static constexpr int rowHeight = 34;
    static constexpr int headerHeight = 20;
    static constexpr int nameWidth = 96;

    // The editor must outlive the grid.
    explicit TimelineGridView(EditorState* editor, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    // Rows count from the top, so row 0 is the topmost layer.
    QRect headerRect(qint64 frame) const;
    QRect nameRect(qint64 row) const;
    QRect celRect(qint64 row, qint64 frame) const;

    // The frame whose header is being dragged, while a drag is under way.
    std::optional<qint64> draggingFrame() const { return dragging; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    struct Hit {
        enum Kind { nothing, header, name, cel } kind = nothing;
        qint64 row = -1;
        qint64 frame = -1;
    };

    const Sprite& sprite() const { return editor->document()->sprite(); }
    qint64 frameCount() const { return sprite().frames.size(); }
    qint64 rowCount() const { return sprite().layers.size(); }
    qint64 layerIndex(qint64 row) const { return rowCount() - 1 - row; }
    Hit hitTest(QPoint point) const;
    void documentChanged();

    void headerClicked(qint64 frame);
    void celClicked(qint64 row, qint64 frame);
    void cancelHeaderDrag();
    void dropHeader(qint64 target);
    QMenu* headerMenu(qint64 frame);

    void paintHeader(QPainter& painter, qint64 frame, bool displayed) const;
    void paintName(QPainter& painter, qint64 row) const;
    void paintCel(QPainter& painter, qint64 row, qint64 frame, bool active);
    void paintDropMarker(QPainter& painter, qint64 target) const;

    EditorState* const editor;
    TimelineThumbnailCache thumbnails;
    std::optional<qint64> pressedHeader;
    std::optional<qint64> dragging;
    std::optional<qint64> dropTarget;
    QPoint pressPosition;
    QSize shownSize;
};
