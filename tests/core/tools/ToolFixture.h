#pragma once

#include "../editing/EditorFixture.h"

#include <QSet>

// An editor driven the way the canvas drives it: presses, drags and releases.
struct ToolFixture : EditorFixture {
    void use(ToolKind kind) { editor->setActiveTool(kind); }
    // Press at the first point, move through the rest, release at the last.
    void drag(const QList<PixelPoint>& path, ToolModifiers modifiers = {}) {
        editor->pointerDown(path.first(), modifiers);
        for (qint64 i = 1; i < path.size(); ++i)
            editor->pointerMoved(path[i], modifiers);
        editor->pointerUp(path.last(), modifiers);
    }
    void click(PixelPoint at, ToolModifiers modifiers = {}) { drag({at}, modifiers); }
    QSet<PixelPoint> paintedSet(qint64 layer = 0, qint64 frame = 0) const {
        const QList<PixelPoint> points = painted(layer, frame);
        return QSet<PixelPoint>(points.begin(), points.end());
    }
    // The cel's words, or none when the slot is empty.
    QList<quint32> words(qint64 layer = 0, qint64 frame = 0) const {
        const Cel* cel = sprite().celPointer(layer, frame);
        return cel ? cel->words() : QList<quint32>();
    }
    QString lastStep() const { return document->undoStack()->text(undoCount() - 1); }
    qint64 undoCount() const { return document->undoStack()->count(); }
};

inline constexpr quint32 green = 0xFF00FF00;

inline ToolModifiers shifted() {
    ToolModifiers m;
    m.shift = true;
    return m;
}

inline ToolModifiers secondary(bool option = false) {
    ToolModifiers m;
    m.secondaryButton = true;
    m.option = option;
    return m;
}

inline ToolModifiers withOption() {
    ToolModifiers m;
    m.option = true;
    return m;
}

inline QSet<PixelPoint> pointsIn(const PixelRect& r) {
    QSet<PixelPoint> points;
    for (qint64 y = r.y; y < r.bottom(); ++y)
        for (qint64 x = r.x; x < r.right(); ++x)
            points.insert({x, y});
    return points;
}
