#pragma once

#include "PixelRect.h"

#include <QCoreApplication>
#include <QList>

// How a sprite-sheet image is cut into frames, left to right, then top to bottom. Cells are
// `padding` apart, and the first one starts at the offset. Counted cells split what is left
// of the image, with the offset as the margin on both sides, into equal cells; sized cells
// repeat for as long as whole cells fit.
struct SheetCut {
    Q_DECLARE_TR_FUNCTIONS(SheetCut)

public:
    enum class Mode { count, size };

    Mode mode = Mode::count;
    qint64 columns = 1;    // count
    qint64 rows = 1;       // count
    qint64 cellWidth = 0;  // size
    qint64 cellHeight = 0; // size
    qint64 padding = 0;
    qint64 offsetX = 0;
    qint64 offsetY = 0;
    bool skipEmpty = false; // leave out cells with no visible pixel

    // The cells of a width × height sheet in reading order. Throws ImportError when the
    // numbers do not cut that sheet (nothing fits, or counted cells would be unequal), or the
    // cells are larger than a canvas or too many.
    QList<PixelRect> cells(qint64 width, qint64 height) const;
};
