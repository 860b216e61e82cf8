#pragma once

#include "AppSettings.h"
#include "EditorState.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

// An editor on a fresh document and a shown window to put one panel in. Panels made in a test
// are destroyed before the fixture's editor, as in a window.
struct PanelFixture : ::testing::Test {
    std::unique_ptr<PixelDocument> document;
    std::unique_ptr<EditorState> editor;
    std::unique_ptr<QWidget> window;

    void SetUp() override { open(Sprite::blank(16, 16)); }
    void TearDown() override {
        window.reset();
        editor.reset();
    }

    void open(Sprite sprite) {
        AppSettings::shared().setPixelPerfect(false);
        window.reset();
        editor.reset();
        document = std::make_unique<PixelDocument>(std::move(sprite));
        editor = std::make_unique<EditorState>(document.get());
    }

    // Shows the panel in the active window, of the given width, as the inspector column does.
    template <typename Panel> Panel* show(int width = 240) {
        window = std::make_unique<QWidget>();
        auto* panel = new Panel(editor.get(), window.get());
        auto* layout = new QVBoxLayout(window.get());
        layout->addWidget(panel);
        layout->addStretch();
        window->resize(width, 480);
        window->show();
        window->activateWindow();
        QApplication::setActiveWindow(window.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get())); // so that fields take the focus
        return panel;
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
            sprite.layers[0].cels[frame]->fill(0xFF000000 | quint32(frame + 1) * 0x40);
        }
        return sprite;
    }

    const Sprite& sprite() const { return document->sprite(); }
    QUndoStack& undo() { return *document->undoStack(); }
    QList<qint64> durations() const {
        QList<qint64> values;
        for (const Frame& frame : sprite().frames)
            values.append(frame.duration);
        return values;
    }
};

// Opens a widget's context menu at a point and hands the menu to inspect (which may trigger an
// action) while it is up; the menu is closed afterwards.
inline void withContextMenu(QWidget* widget, QPoint point,
                            const std::function<void(QMenu&)>& inspect) {
    bool shown = false;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        shown = true;
        inspect(*menu);
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, point, widget->mapToGlobal(point));
    QApplication::sendEvent(widget, &event);
    EXPECT_TRUE(shown) << "no context menu appeared";
}

inline QAction* actionNamed(QMenu& menu, const QString& text) {
    for (QAction* action : menu.actions())
        if (action->text() == text)
            return action;
    ADD_FAILURE() << "no menu item " << text.toStdString();
    return nullptr;
}

inline QToolButton* buttonWithToolTip(const QWidget& widget, const QString& toolTip) {
    for (QToolButton* button : widget.findChildren<QToolButton*>())
        if (button->toolTip() == toolTip)
            return button;
    ADD_FAILURE() << "no button " << toolTip.toStdString();
    return nullptr;
}
