#include "StampCoverage.h"

namespace {

// Rounds toward negative infinity, as the per-pixel reflections do.
qint64 floorHalf(qint64 value) {
    return value >= 0 ? value / 2 : -((1 - value) / 2);
}

// The images the mode adds, each already inside the canvas. Mirror axes are kept doubled
// (2 × centre) exactly as SymmetryModes::reflections keeps them.
QList<PixelSpans> images(const PixelSpans& dabs, SymmetryMode mode, const PixelRect& canvas) {
    const qint64 spanX = 2 * canvas.x + canvas.width - 1;
    const qint64 spanY = 2 * canvas.y + canvas.height - 1;
    QList<PixelSpans> result;
    if (SymmetryModes::mirrorsHorizontally(mode))
        result.append(dabs.mirrored(spanX, std::nullopt));
    if (SymmetryModes::mirrorsVertically(mode))
        result.append(dabs.mirrored(std::nullopt, spanY));
    if (mode == SymmetryMode::both)
        result.append(dabs.mirrored(spanX, spanY));
    if (mode == SymmetryMode::diagonal) {
        // (x, y) → (y + dx, x + dy); only what lands on the canvas is turned.
        const qint64 dx = floorHalf(spanX - spanY);
        const qint64 dy = floorHalf(spanY - spanX);
        const PixelRect source{canvas.y - dy, canvas.x - dx, canvas.height, canvas.width};
        result.append(dabs.clipped(source).transposed(dx, dy));
    }
    if (mode == SymmetryMode::antiDiagonal) {
        // (x, y) → (s − y, s − x): a turn, then both mirrors.
        const qint64 s = floorHalf(spanX + spanY);
        const PixelRect source{s - canvas.bottom() + 1, s - canvas.right() + 1, canvas.height,
                               canvas.width};
        result.append(dabs.clipped(source).transposed(0, 0).mirrored(s, s));
    }
    for (PixelSpans& image : result)
        image = image.clipped(canvas);
    return result;
}

} // namespace

namespace StampCoverage {

PixelSpans painted(const PixelSpans& points, qint64 brushSide, SymmetryMode mode,
                   const PixelRect& canvas, const std::optional<PixelRect>& selection) {
    const PixelSpans dabs = points.dilated(brushSide);
    PixelSpans result = dabs.clipped(canvas);
    for (const PixelSpans& image : images(dabs, mode, canvas))
        result = result.unitedWith(image);
    return selection ? result.clipped(*selection) : result;
}

} // namespace StampCoverage
