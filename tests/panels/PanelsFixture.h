#pragma once

#include "editing/EditorState.h"
#include "settings/AppSettings.h"

#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

// An editor on a fresh document for a panel to show. Panels made in a test are destroyed
// before the fixture's editor, as in a window.
struct PanelsFixture : ::testing::Test {
    std::unique_ptr<PixelDocument> document;
    std::unique_ptr<EditorState> editor;

    void SetUp() override { open(Sprite::blank(16, 16)); }

    void open(Sprite sprite) {
        AppSettings::shared().setPixelPerfect(false);
        editor.reset();
        document = std::make_unique<PixelDocument>(std::move(sprite));
        editor = std::make_unique<EditorState>(document.get());
    }

    // Frames with these durations; layer 0 has a cel of its own colour in each of them.
    static Sprite spriteWithFrames(const QList<qint64>& durations, qint64 layers = 1) {
        Sprite sprite = Sprite::blank(8, 8);
        for (qint64 i = 1; i < durations.size(); ++i)
            sprite.insertFrame(i);
        for (qint64 i = 1; i < layers; ++i)
            sprite.layers.append(Layer(QStringLiteral("Layer %1").arg(i + 1), durations.size()));
        for (qint64 frame = 0; frame < durations.size(); ++frame) {
            sprite.frames[frame].duration = durations[frame];
            sprite.ensureCel(0, frame);
            sprite.layers[0].cels[frame]->pixels.fill(0xFF000000 | quint32(frame + 1) * 0x40);
        }
        return sprite;
    }

    QUndoStack& undo() { return *document->undoStack(); }
    const Sprite& sprite() const { return document->sprite(); }
    QList<qint64> durations() const {
        QList<qint64> values;
        for (const Frame& frame : sprite().frames)
            values.append(frame.duration);
        return values;
    }
};

// Shows a top-level widget and makes it the active window, so it can take keyboard focus.
bool showActive(QWidget& widget);
