#pragma once

#include "EditorState.h"

#include <QPointer>
#include <QWidget>

// The primary colour's well in front, the secondary one behind it, down and to the right.
// A click swaps them.
class ColorWellPair : public QWidget {
    Q_OBJECT

public:
    explicit ColorWellPair(EditorState* editor, int swatchSize = 22, int overlap = 10,
                           QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QRect primaryWellRect() const;
    QRect secondaryWellRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void paintWell(QPainter& painter, const QRect& well, PixelColor color) const;

    QPointer<EditorState> editor;
    int swatchSize;
    int overlap;
};
