#pragma once

#include "../editing/EditorFixture.h"

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
    // The cel's words, or none when the slot is empty.
    QList<quint32> words(qint64 layer = 0, qint64 frame = 0) const {
        const Cel* cel = sprite().celPointer(layer, frame);
        return cel ? cel->words() : QList<quint32>();
    }
    QString lastStep() const { return document->undoStack()->text(undoCount() - 1); }
    qint64 undoCount() const { return document->undoStack()->count(); }
};

inline constexpr quint32 green = 0xFF00FF00;
inline constexpr ToolModifiers shifted{.shift = true};
inline constexpr ToolModifiers withOption{.option = true};
inline constexpr ToolModifiers secondary{.secondaryButton = true};
