#include "PixelRasterizer.h"

#include "PixelSpans.h"

#include <QHash>
#include <QSet>
#include <cmath>

namespace {

constexpr double squareRootOfThree = 1.7320508075688772;

qint64 signOf(qint64 difference) {
    return difference < 0 ? -1 : 1;
}

// Round to nearest, halves away from zero.
qint64 rounded(double value) {
    return qint64(std::round(value));
}

} // namespace

namespace PixelRasterizer {

QList<PixelPoint> line(PixelPoint from, PixelPoint to) {
    const qint64 dx = std::abs(to.x - from.x);
    const qint64 dy = -std::abs(to.y - from.y);
    const qint64 sx = from.x < to.x ? 1 : -1;
    const qint64 sy = from.y < to.y ? 1 : -1;
    qint64 err = dx + dy;
    QList<PixelPoint> points;
    points.reserve(std::max(dx, -dy) + 1);
    PixelPoint p = from;
    while (true) {
        points.append(p);
        if (p == to)
            return points;
        const qint64 e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            p.x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            p.y += sy;
        }
    }
}

PixelPoint constrain(PixelPoint point, PixelPoint anchor) {
    const qint64 dx = point.x - anchor.x;
    const qint64 dy = point.y - anchor.y;
    if (2 * std::abs(dy) < std::abs(dx))
        return {point.x, anchor.y};
    if (2 * std::abs(dx) < std::abs(dy))
        return {anchor.x, point.y};
    const qint64 m = std::min(std::abs(dx), std::abs(dy));
    return {anchor.x + signOf(dx) * m, anchor.y + signOf(dy) * m};
}

PixelPoint constrainSquare(PixelPoint point, PixelPoint anchor) {
    const qint64 dx = point.x - anchor.x;
    const qint64 dy = point.y - anchor.y;
    const qint64 m = std::max(std::abs(dx), std::abs(dy));
    return {anchor.x + signOf(dx) * m, anchor.y + signOf(dy) * m};
}

PixelPoint constrainEquilateral(PixelPoint point, PixelPoint anchor) {
    const qint64 dx = point.x - anchor.x;
    const qint64 dy = point.y - anchor.y;
    const qint64 w = rounded(2.0 * double(std::abs(dy)) / squareRootOfThree);
    const qint64 side = std::max(w, std::abs(dx));
    const qint64 h = rounded(double(side) * squareRootOfThree / 2.0);
    return {anchor.x + signOf(dx) * side, anchor.y + signOf(dy) * h};
}

PixelRect box(PixelPoint from, PixelPoint to) {
    const qint64 left = std::min(from.x, to.x);
    const qint64 top = std::min(from.y, to.y);
    return {left, top, std::max(from.x, to.x) - left + 1, std::max(from.y, to.y) - top + 1};
}

QList<PixelPoint> deduplicated(const QList<PixelPoint>& points) {
    QSet<PixelPoint> seen;
    seen.reserve(points.size());
    QList<PixelPoint> result;
    result.reserve(points.size());
    for (const PixelPoint& p : points) {
        if (!seen.contains(p)) {
            seen.insert(p);
            result.append(p);
        }
    }
    return result;
}

QList<PixelPoint> rectangleOutline(const PixelRect& box) {
    QList<PixelPoint> points;
    if (box.width < 1 || box.height < 1)
        return points;
    for (qint64 cx = box.x; cx < box.right(); ++cx) {
        points.append({cx, box.y});
        if (box.height >= 2)
            points.append({cx, box.bottom() - 1});
    }
    for (qint64 ry = box.y + 1; ry <= box.bottom() - 2; ++ry) {
        points.append({box.x, ry});
        if (box.width >= 2)
            points.append({box.right() - 1, ry});
    }
    return points;
}

QList<PixelPoint> filledRectangle(const PixelRect& box, const PixelRect& reach) {
    QList<PixelPoint> points;
    if (box.width < 1 || box.height < 1)
        return points;
    const PixelRect visible = box.intersection(reach);
    if (visible.isEmpty())
        return points;
    points.reserve(visible.area());
    for (qint64 ry = visible.y; ry < visible.bottom(); ++ry)
        for (qint64 cx = visible.x; cx < visible.right(); ++cx)
            points.append({cx, ry});
    return points;
}

QList<PixelPoint> ellipseOutline(const PixelRect& box) {
    if (box.width < 1 || box.height < 1)
        return {};
    if (box.width <= 2 || box.height <= 2)
        return filledRectangle(box);
    qint64 x0 = box.x;
    qint64 x1 = box.x + box.width - 1;
    const double a = double(box.width - 1);
    const qint64 b = box.height - 1;
    const qint64 b1 = b % 2;
    const double bd = double(b);
    double dx = 4 * (1 - a) * bd * bd;
    double dy = 4 * double(b1 + 1) * a * a;
    double err = dx + dy + double(b1) * a * a;
    qint64 yTop = box.y + (b + 1) / 2;
    qint64 yBot = yTop - b1;
    const double a8 = 8 * a * a;
    const double b8 = 8 * bd * bd;
    QList<PixelPoint> points;
    do {
        points.append({x1, yTop});
        points.append({x0, yTop});
        points.append({x0, yBot});
        points.append({x1, yBot});
        const double e2 = 2 * err;
        if (e2 <= dy) {
            ++yTop;
            --yBot;
            dy += a8;
            err += dy;
        }
        if (e2 >= dx || 2 * err > dy) {
            ++x0;
            --x1;
            dx += b8;
            err += dx;
        }
    } while (x0 <= x1);
    while (yTop - yBot <= b) {
        points.append({x0 - 1, yTop});
        points.append({x1 + 1, yTop});
        ++yTop;
        points.append({x0 - 1, yBot});
        points.append({x1 + 1, yBot});
        --yBot;
    }
    return deduplicated(points);
}

QList<PixelPoint> triangleOutline(const PixelRect& box) {
    if (box.width < 1 || box.height < 1)
        return {};
    const qint64 bottom = box.y + box.height - 1;
    const qint64 right = box.x + box.width - 1;
    const qint64 apexL = box.x + (box.width - 1) / 2;
    const qint64 apexR = box.x + box.width / 2;
    QList<PixelPoint> points = line({apexL, box.y}, {box.x, bottom});
    points += line({apexR, box.y}, {right, bottom});
    points += line({box.x, bottom}, {right, bottom});
    points += line({apexL, box.y}, {apexR, box.y});
    return deduplicated(points);
}

QList<PixelPoint> spanFilled(const QList<PixelPoint>& outline, const PixelRect& reach) {
    return PixelSpans::rowHulls(outline).clipped(reach).points();
}

} // namespace PixelRasterizer
