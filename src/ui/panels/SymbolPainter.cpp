#include "SymbolPainter.h"

#include <QHash>
#include <QPainterPath>
#include <QPolygonF>
#include <functional>

namespace {

constexpr qreal lineWidth = 2.0;

// One colour, round pen ends, and the few primitives the drawings are made of.
class Ink {
public:
    Ink(QPainter& painter, const QColor& color) : p(painter), color(color) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(pen());
        p.setBrush(Qt::NoBrush);
    }

    void line(qreal x1, qreal y1, qreal x2, qreal y2) {
        p.drawLine(QPointF(x1, y1), QPointF(x2, y2));
    }
    void polyline(const QPolygonF& points) { p.drawPolyline(points); }
    void outline(const QPainterPath& path) { p.strokePath(path, pen()); }
    void fill(const QPainterPath& path) {
        p.fillPath(path, color);
        p.strokePath(path, pen()); // the pen's round edge keeps filled and outlined shapes alike
    }
    void dashed(const QPainterPath& path) {
        QPen dashes = pen(1.6);
        dashes.setCapStyle(Qt::FlatCap);
        dashes.setDashPattern({1.6, 1.4});
        p.strokePath(path, dashes);
    }
    // Clears a margin around a shape so that what is drawn next stands apart from what is behind.
    void punch(const QPainterPath& path) {
        p.save();
        p.setCompositionMode(QPainter::CompositionMode_Clear);
        p.fillPath(path, Qt::black);
        p.strokePath(path, pen(lineWidth * 2.5));
        p.restore();
    }
    void dot(qreal x, qreal y, qreal radius) {
        QPainterPath path;
        path.addEllipse(QPointF(x, y), radius, radius);
        p.fillPath(path, color);
    }
    QPainter& painter() { return p; }

private:
    QPen pen(qreal width = lineWidth) const {
        return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    }

    QPainter& p;
    QColor color;
};

QPainterPath rect(qreal x, qreal y, qreal w, qreal h, qreal radius = 2) {
    QPainterPath path;
    path.addRoundedRect(QRectF(x, y, w, h), radius, radius);
    return path;
}

QPainterPath ellipse(qreal cx, qreal cy, qreal rx, qreal ry) {
    QPainterPath path;
    path.addEllipse(QPointF(cx, cy), rx, ry);
    return path;
}

QPainterPath polygon(const QPolygonF& points) {
    QPainterPath path;
    path.addPolygon(points);
    path.closeSubpath();
    return path;
}

QPainterPath segment(qreal x1, qreal y1, qreal x2, qreal y2) {
    QPainterPath path(QPointF(x1, y1));
    path.lineTo(x2, y2);
    return path;
}

// Draws in a frame turned by degrees about the grid's centre, origin at the centre.
void turned(Ink& ink, qreal degrees, const std::function<void()>& drawing) {
    QPainter& p = ink.painter();
    p.save();
    p.translate(12, 12);
    p.rotate(degrees);
    drawing();
    p.restore();
}

// An arrow head at (x, y) pointing along (dx, dy), a unit direction.
void arrowHead(Ink& ink, qreal x, qreal y, qreal dx, qreal dy, qreal size = 4.5) {
    ink.polyline({QPointF(x - size * (dx + dy), y - size * (dy - dx)), QPointF(x, y),
                  QPointF(x - size * (dx - dy), y - size * (dy + dx))});
}

void pencil(Ink& ink) {
    turned(ink, -45, [&] {
        ink.outline(polygon({{-10, 0}, {-5, -3}, {9, -3}, {9, 3}, {-5, 3}}));
        ink.line(-5, -3, -5, 3);
        ink.line(5.5, -3, 5.5, 3);
        ink.fill(polygon({{-10, 0}, {-8, -1.2}, {-8, 1.2}}));
    });
}

void eraser(Ink& ink) {
    turned(ink, -45, [&] {
        ink.outline(rect(-9, -4.5, 18, 9, 1.5));
        ink.fill(rect(-9, -4.5, 6, 9, 1.5));
    });
    ink.line(13, 20.5, 21, 20.5);
}

void paintBucket(Ink& ink) {
    turned(ink, -30, [&] {
        ink.outline(polygon({{-6, -4}, {6, -4}, {4.5, 8}, {-4.5, 8}}));
        QPainterPath handle(QPointF(-6, -4));
        handle.cubicTo(-6, -12, 6, -12, 6, -4);
        ink.outline(handle);
    });
    QPainterPath drop(QPointF(20, 13));
    drop.cubicTo(22.5, 17, 22.5, 20, 20, 20);
    drop.cubicTo(17.5, 20, 17.5, 17, 20, 13);
    ink.fill(drop);
}

void eyedropper(Ink& ink) {
    turned(ink, -45, [&] {
        ink.outline(rect(-8, -1.8, 12, 3.6, 1.2));
        ink.line(-8, 0, -10.5, 0);
        ink.line(4, -4, 4, 4);
        ink.fill(rect(5.5, -3, 4.5, 6, 2.5));
    });
}

void arrowUpDownLeftRight(Ink& ink) {
    ink.line(12, 3, 12, 21);
    ink.line(3, 12, 21, 12);
    arrowHead(ink, 12, 3, 0, -1, 3.5);
    arrowHead(ink, 12, 21, 0, 1, 3.5);
    arrowHead(ink, 3, 12, -1, 0, 3.5);
    arrowHead(ink, 21, 12, 1, 0, 3.5);
}

void arrowLeftRight(Ink& ink) {
    ink.line(3, 12, 21, 12);
    arrowHead(ink, 3, 12, -1, 0);
    arrowHead(ink, 21, 12, 1, 0);
}

void fitArrows(Ink& ink) {
    ink.line(5, 5, 19, 19);
    ink.polyline({{5, 11}, {5, 5}, {11, 5}});
    ink.polyline({{13, 19}, {19, 19}, {19, 13}});
}

void magnifier(Ink& ink, bool plus) {
    ink.outline(ellipse(10, 10, 6.5, 6.5));
    ink.line(15, 15, 20.5, 20.5);
    ink.line(7, 10, 13, 10);
    if (plus)
        ink.line(10, 7, 10, 13);
}

void sidebarRight(Ink& ink) {
    ink.outline(rect(3, 5, 18, 14));
    ink.line(15, 5, 15, 19);
    ink.line(17, 8.5, 19, 8.5);
    ink.line(17, 11.5, 19, 11.5);
}

void eye(Ink& ink) {
    QPainterPath lids(QPointF(2, 12));
    lids.quadTo(12, 2, 22, 12);
    lids.quadTo(12, 22, 2, 12);
    ink.outline(lids);
    ink.dot(12, 12, 3.5);
}

void eyeSlash(Ink& ink) {
    eye(ink);
    ink.punch(segment(4, 4, 20, 20));
    ink.line(4, 4, 20, 20);
}

void folder(Ink& ink) {
    ink.outline(polygon({{3, 6}, {9, 6}, {11, 8}, {21, 8}, {21, 19}, {3, 19}}));
    ink.line(3, 11, 21, 11);
}

void grid2x2(Ink& ink) {
    for (qreal y : {4.0, 13.0})
        for (qreal x : {4.0, 13.0})
            ink.outline(rect(x, y, 7, 7, 1.5));
}

void stepFrame(Ink& ink, bool forward) {
    QPainter& p = ink.painter();
    p.save();
    if (forward) {
        p.translate(24, 0);
        p.scale(-1, 1);
    }
    ink.fill(rect(4, 5, 2.5, 14, 1));
    ink.fill(polygon({{19, 5}, {9, 12}, {19, 19}}));
    p.restore();
}

void squareOnSquare(Ink& ink, bool plus) {
    ink.outline(rect(8, 3, 13, 13));
    const QPainterPath front = rect(3, 8, 13, 13);
    ink.punch(front);
    ink.outline(front);
    if (plus) {
        ink.line(9.5, 11, 9.5, 18);
        ink.line(6, 14.5, 13, 14.5);
    }
}

void trash(Ink& ink) {
    ink.line(4, 6, 20, 6);
    ink.polyline({{9, 6}, {9, 3.5}, {15, 3.5}, {15, 6}});
    ink.outline(polygon({{6, 6}, {7.5, 20.5}, {16.5, 20.5}, {18, 6}}));
    ink.line(10, 10, 10, 16.5);
    ink.line(14, 10, 14, 16.5);
}

// A square with its fold lines dashed and a dot mirrored across each, for the symmetry modes.
void mirrorSquare(Ink& ink, const QList<QPainterPath>& folds, const QList<QPointF>& dots) {
    ink.outline(rect(4, 4, 16, 16));
    for (const QPainterPath& fold : folds)
        ink.dashed(fold);
    for (QPointF dot : dots)
        ink.dot(dot.x(), dot.y(), 1.8);
}

void placeholder(Ink& ink) {
    ink.outline(rect(4, 4, 16, 16));
    ink.line(8, 8, 16, 16);
    ink.line(16, 8, 8, 16);
}

using Drawing = std::function<void(Ink&)>;

const QHash<QString, Drawing>& drawings() {
    static const QHash<QString, Drawing> table = {
        {"pencil.tip", pencil},
        {"eraser", eraser},
        {"paint.bucket.classic", paintBucket},
        {"eyedropper", eyedropper},
        {"line.diagonal", [](Ink& ink) { ink.line(5, 19, 19, 5); }},
        {"square", [](Ink& ink) { ink.outline(rect(4, 4, 16, 16)); }},
        {"square.fill", [](Ink& ink) { ink.fill(rect(4, 4, 16, 16)); }},
        {"square.dashed", [](Ink& ink) { ink.dashed(rect(4, 4, 16, 16)); }},
        {"rectangle.dashed", [](Ink& ink) { ink.dashed(rect(3, 6, 18, 12)); }},
        {"circle", [](Ink& ink) { ink.outline(ellipse(12, 12, 8, 8)); }},
        {"circle.fill", [](Ink& ink) { ink.fill(ellipse(12, 12, 8, 8)); }},
        {"triangle",
         [](Ink& ink) {
             ink.outline(polygon({{12, 4}, {21, 19.5}, {3, 19.5}}));
         }},
        {"arrow.up.and.down.and.arrow.left.and.right", arrowUpDownLeftRight},
        {"arrow.left.and.right", arrowLeftRight},
        {"arrow.up.left.and.arrow.down.right", fitArrows},
        {"arrow.up",
         [](Ink& ink) {
             ink.line(12, 20, 12, 4);
             arrowHead(ink, 12, 4, 0, -1, 6);
         }},
        {"arrow.down",
         [](Ink& ink) {
             ink.line(12, 4, 12, 20);
             arrowHead(ink, 12, 20, 0, 1, 6);
         }},
        {"chevron.up",
         [](Ink& ink) {
             ink.polyline({{6, 15}, {12, 9}, {18, 15}});
         }},
        {"chevron.down",
         [](Ink& ink) {
             ink.polyline({{6, 9}, {12, 15}, {18, 9}});
         }},
        {"plus",
         [](Ink& ink) {
             ink.line(12, 5, 12, 19);
             ink.line(5, 12, 19, 12);
         }},
        {"minus", [](Ink& ink) { ink.line(5, 12, 19, 12); }},
        {"plus.square",
         [](Ink& ink) {
             ink.outline(rect(4, 4, 16, 16));
             ink.line(12, 8, 12, 16);
             ink.line(8, 12, 16, 12);
         }},
        {"plus.magnifyingglass", [](Ink& ink) { magnifier(ink, true); }},
        {"minus.magnifyingglass", [](Ink& ink) { magnifier(ink, false); }},
        {"sidebar.right", sidebarRight},
        {"play.fill",
         [](Ink& ink) {
             ink.fill(polygon({{7, 4.5}, {19.5, 12}, {7, 19.5}}));
         }},
        {"pause.fill",
         [](Ink& ink) {
             ink.fill(rect(6, 5, 3.5, 14, 1));
             ink.fill(rect(14.5, 5, 3.5, 14, 1));
         }},
        {"stop.fill", [](Ink& ink) { ink.fill(rect(5.5, 5.5, 13, 13)); }},
        {"backward.frame.fill", [](Ink& ink) { stepFrame(ink, false); }},
        {"forward.frame.fill", [](Ink& ink) { stepFrame(ink, true); }},
        {"eye", eye},
        {"eye.slash", eyeSlash},
        {"folder", folder},
        {"square.grid.2x2", grid2x2},
        {"square.on.square", [](Ink& ink) { squareOnSquare(ink, false); }},
        {"plus.square.on.square", [](Ink& ink) { squareOnSquare(ink, true); }},
        {"trash", trash},
        {"nosign",
         [](Ink& ink) {
             ink.outline(ellipse(12, 12, 8, 8));
             ink.line(6.5, 17.5, 17.5, 6.5);
         }},
        {"square.split.2x1",
         [](Ink& ink) {
             mirrorSquare(ink, {segment(12, 2, 12, 22)}, {{8, 12}, {16, 12}});
         }},
        {"square.split.1x2",
         [](Ink& ink) {
             mirrorSquare(ink, {segment(2, 12, 22, 12)}, {{12, 8}, {12, 16}});
         }},
        {"square.split.2x2",
         [](Ink& ink) {
             mirrorSquare(ink, {segment(12, 2, 12, 22), segment(2, 12, 22, 12)},
                          {{8, 8}, {16, 8}, {8, 16}, {16, 16}});
         }},
        {"square.split.diagonal",
         [](Ink& ink) {
             mirrorSquare(ink, {segment(2, 2, 22, 22)}, {{15.5, 8.5}, {8.5, 15.5}});
         }},
        {"square.split.antidiagonal",
         [](Ink& ink) {
             mirrorSquare(ink, {segment(2, 22, 22, 2)}, {{8.5, 8.5}, {15.5, 15.5}});
         }},
    };
    return table;
}

} // namespace

namespace SymbolPainter {

QStringList names() {
    QStringList list = drawings().keys();
    list.sort();
    return list;
}

bool isKnown(const QString& name) {
    return drawings().contains(name);
}

void draw(QPainter& painter, const QString& name, const QColor& color) {
    painter.save();
    Ink ink(painter, color);
    const auto found = drawings().constFind(name);
    if (found != drawings().constEnd())
        (*found)(ink);
    else
        placeholder(ink);
    painter.restore();
}

} // namespace SymbolPainter
