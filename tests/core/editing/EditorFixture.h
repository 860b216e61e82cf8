#pragma once

#include "EditorState.h"

#include <QSet>
#include <gtest/gtest.h>
#include <memory>

// An editor on a fresh document, recording what it asks the canvas to redraw.
struct EditorFixture : ::testing::Test {
    std::unique_ptr<PixelDocument> document;
    std::unique_ptr<EditorState> editor;
    QList<std::optional<PixelRect>> invalidated;

    void SetUp() override { open(Sprite::blank(16, 16)); }

    void open(Sprite sprite) {
        editor.reset();
        document = std::make_unique<PixelDocument>(std::move(sprite));
        editor = std::make_unique<EditorState>(document.get());
        editor->invalidateCanvas = [this](std::optional<PixelRect> r) { invalidated.append(r); };
        invalidated.clear();
    }

    const Sprite& sprite() const { return document->sprite(); }
    QUndoStack& undo() { return *document->undoStack(); }
    QUuid layerID(qint64 index) const { return sprite().layers[index].id; }
    quint32 pixel(qint64 x, qint64 y, qint64 layer = 0, qint64 frame = 0) const {
        const Cel* cel = sprite().celPointer(layer, frame);
        return cel ? cel->pixel(x, y) : 0u;
    }
    // The painted pixels of a cel, row by row.
    QList<PixelPoint> painted(qint64 layer = 0, qint64 frame = 0) const {
        QList<PixelPoint> points;
        for (qint64 y = 0; y < sprite().height; ++y)
            for (qint64 x = 0; x < sprite().width; ++x)
                if (pixel(x, y, layer, frame) != 0)
                    points.append({x, y});
        return points;
    }
    QSet<PixelPoint> paintedSet(qint64 layer = 0, qint64 frame = 0) const {
        const QList<PixelPoint> points = painted(layer, frame);
        return QSet<PixelPoint>(points.begin(), points.end());
    }
    void paint(qint64 x, qint64 y, quint32 color, const QString& action = "Draw") {
        editor->beginStroke();
        editor->plot(x, y, PixelColor(color));
        editor->endStroke(action);
    }
};

inline constexpr quint32 red = 0xFFFF0000;
inline constexpr quint32 blue = 0xFF0000FF;

inline QSet<PixelPoint> pointsIn(const PixelRect& r) {
    QSet<PixelPoint> points;
    for (qint64 y = r.y; y < r.bottom(); ++y)
        for (qint64 x = r.x; x < r.right(); ++x)
            points.insert({x, y});
    return points;
}
