#pragma once

#include "PixelPoint.h"

#include <QHashFunctions>
#include <QtGlobal>

// A half-open rectangle of pixels; empty when width or height is 0 or less.
struct PixelRect {
    qint64 x = 0;
    qint64 y = 0;
    qint64 width = 0;
    qint64 height = 0;

    // The canvas rectangle of a width × height sprite (negative sizes count as 0).
    static constexpr PixelRect canvas(qint64 width, qint64 height) {
        return {0, 0, width < 0 ? 0 : width, height < 0 ? 0 : height};
    }
    static constexpr PixelRect pixel(PixelPoint point) { return {point.x, point.y, 1, 1}; }

    constexpr bool isEmpty() const { return width <= 0 || height <= 0; }
    constexpr qint64 right() const { return x + width; }   // one past the last column
    constexpr qint64 bottom() const { return y + height; } // one past the last row
    constexpr qint64 area() const { return isEmpty() ? 0 : width * height; }
    constexpr bool contains(PixelPoint p) const {
        return p.x >= x && p.x < x + width && p.y >= y && p.y < y + height;
    }
    // True when other lies wholly inside this rectangle (and is not empty).
    constexpr bool contains(const PixelRect& other) const {
        return !other.isEmpty() && other.x >= x && other.y >= y && other.right() <= right() &&
               other.bottom() <= bottom();
    }

    // Smallest rectangle holding both; an empty side yields the other unchanged.
    constexpr PixelRect unionWith(const PixelRect& other) const {
        if (isEmpty())
            return other;
        if (other.isEmpty())
            return *this;
        const qint64 nx = x < other.x ? x : other.x;
        const qint64 ny = y < other.y ? y : other.y;
        const qint64 nr = right() > other.right() ? right() : other.right();
        const qint64 nb = bottom() > other.bottom() ? bottom() : other.bottom();
        return {nx, ny, nr - nx < 0 ? 0 : nr - nx, nb - ny < 0 ? 0 : nb - ny};
    }

    // Overlap of both; a disjoint pair keeps the larger origin with a zero size.
    constexpr PixelRect intersection(const PixelRect& other) const {
        const qint64 nx = x > other.x ? x : other.x;
        const qint64 ny = y > other.y ? y : other.y;
        const qint64 nr = right() < other.right() ? right() : other.right();
        const qint64 nb = bottom() < other.bottom() ? bottom() : other.bottom();
        return {nx, ny, nr - nx < 0 ? 0 : nr - nx, nb - ny < 0 ? 0 : nb - ny};
    }

    friend constexpr bool operator==(const PixelRect& a, const PixelRect& b) = default;
};

inline size_t qHash(const PixelRect& r, size_t seed = 0) {
    return qHashMulti(seed, r.x, r.y, r.width, r.height);
}
