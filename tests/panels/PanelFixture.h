#pragma once

#include "editing/EditorState.h"
#include "settings/AppSettings.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

// An editor on a fresh document and a shown window to put one panel in.
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
        window.reset();
        editor.reset();
        document = std::make_unique<PixelDocument>(std::move(sprite));
        editor = std::make_unique<EditorState>(document.get());
    }

    // Shows the panel made by make in a window of the given width, as the inspector column does.
    template <typename Panel> Panel* show(int width = 240) {
        window = std::make_unique<QWidget>();
        auto* panel = new Panel(editor.get(), window.get());
        auto* layout = new QVBoxLayout(window.get());
        layout->addWidget(panel);
        layout->addStretch();
        window->resize(width, 480);
        window->show();
        QApplication::setActiveWindow(window.get());
        return panel;
    }

    const Sprite& sprite() const { return document->sprite(); }
    QUndoStack& undo() { return *document->undoStack(); }
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
