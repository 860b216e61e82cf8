#include "SheetCut.h"

#include "ImportError.h"
#include "ImportedFrames.h"

namespace {

// Cells along one side: their length and how many.
struct Span {
    qint64 length = 0;
    qint64 count = 0;
};

} // namespace

QList<PixelRect> SheetCut::cells(qint64 width, qint64 height) const {
    if (padding < 0 || offsetX < 0 || offsetY < 0)
        throw ImportError(tr("Padding and offset cannot be negative."));
    const auto counted = [this](qint64 side, qint64 offset, qint64 count, const char* axis) {
        const qint64 room = side - 2 * offset - (count - 1) * padding;
        if (count < 1 || room < count || room % count != 0)
            throw ImportError(tr("The sheet's %1 px %2 does not split into %3 equal cells with "
                                 "padding %4 and offset %5.")
                                  .arg(side)
                                  .arg(tr(axis))
                                  .arg(count)
                                  .arg(padding)
                                  .arg(offset));
        return Span{room / count, count};
    };
    const auto sized = [this](qint64 side, qint64 offset, qint64 length, const char* axis) {
        const qint64 count = length < 1 ? 0 : (side - offset + padding) / (length + padding);
        if (count < 1)
            throw ImportError(tr("No %1 px cell fits the sheet's %2 px %3 after offset %4.")
                                  .arg(length)
                                  .arg(side)
                                  .arg(tr(axis))
                                  .arg(offset));
        return Span{length, count};
    };
    const Span across = mode == Mode::count ? counted(width, offsetX, columns, "width")
                                            : sized(width, offsetX, cellWidth, "width");
    const Span down = mode == Mode::count ? counted(height, offsetY, rows, "height")
                                          : sized(height, offsetY, cellHeight, "height");
    ImportedFrames::checkSize(across.length, down.length);
    ImportedFrames::checkCount(across.count * down.count, across.length, down.length);
    QList<PixelRect> result;
    for (qint64 row = 0; row < down.count; ++row)
        for (qint64 column = 0; column < across.count; ++column)
            result.append({offsetX + column * (across.length + padding),
                           offsetY + row * (down.length + padding), across.length, down.length});
    return result;
}
