#pragma once

#include "PixelRect.h"

#include <QList>
#include <optional>
#include <vector>

// A set of pixels kept as horizontal runs, sorted by row and then column, never overlapping or
// touching within a row. Shapes are stored and transformed at the cost of their outline rather
// than of every pixel they cover.
class PixelSpans {
public:
    struct Span {
        qint64 y = 0;
        qint64 x = 0;
        qint64 end = 0; // one past the last column
        friend bool operator==(const Span&, const Span&) = default;
    };

    PixelSpans() = default;
    static PixelSpans fromPoints(const QList<PixelPoint>& points);
    static PixelSpans rectangle(const PixelRect& rect);
    // Each row of the points closed from its leftmost to its rightmost point.
    static PixelSpans rowHulls(const QList<PixelPoint>& points);
    // Any runs, in any order, overlapping or not.
    static PixelSpans fromRuns(std::vector<Span> runs);

    const std::vector<Span>& spans() const { return m_spans; }
    bool isEmpty() const { return m_spans.empty(); }
    qint64 pixelCount() const;
    PixelRect bounds() const;
    bool contains(PixelPoint point) const;
    // Every pixel, row by row from the top, each row left to right.
    QList<PixelPoint> points() const;

    PixelSpans clipped(const PixelRect& rect) const;
    PixelSpans unitedWith(const PixelSpans& other) const;
    // The union of a side × side square placed at every pixel, reaching (side − 1) / 2 up and
    // left of it: what stamping a square brush at each pixel covers.
    PixelSpans dilated(qint64 side) const;
    // x → mirrorX − x and y → mirrorY − y, each only where asked.
    PixelSpans mirrored(std::optional<qint64> mirrorX, std::optional<qint64> mirrorY) const;
    // (x, y) → (y + dx, x + dy): rows become columns. Costs the pixel count, so callers clip
    // first.
    PixelSpans transposed(qint64 dx, qint64 dy) const;

    friend bool operator==(const PixelSpans&, const PixelSpans&) = default;

private:
    explicit PixelSpans(std::vector<Span> sorted) : m_spans(std::move(sorted)) {}
    std::vector<Span> m_spans;
};
