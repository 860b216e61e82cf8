#pragma once

#include "AppSettings.h"
#include "CanvasView.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

// A canvas view on a fresh document, shown at a chosen size, with the settings tests assume.
struct CanvasViewFixture : ::testing::Test {
    std::unique_ptr<PixelDocument> document;
    std::unique_ptr<EditorState> editor;
    std::unique_ptr<CanvasView> view; // destroyed first, as it watches the editor

    void SetUp() override {
        AppSettings& settings = AppSettings::shared();
        settings.setShowPixelGrid(false);
        settings.setAutomaticGrid(false);
        settings.setAutomaticGridZoom(8);
        settings.setGridOpacity(0.25);
        settings.setShowCheckerboard(true);
        settings.setScrollBehavior(ScrollZoomBehavior::scrollPans);
        settings.setOptionScrollZooms(true);
        settings.setMouseWheelZooms(true);
        settings.setOnionSkinEnabled(false);
        settings.setPixelPerfect(false);
        open(Sprite::blank(16, 16), QSize(300, 200));
    }

    void open(Sprite sprite, QSize viewSize) {
        view.reset();
        editor.reset();
        document = std::make_unique<PixelDocument>(std::move(sprite));
        editor = std::make_unique<EditorState>(document.get());
        editor->view().setShowPixelGrid(AppSettings::shared().showPixelGrid()); // as a window does
        view = std::make_unique<CanvasView>(editor.get());
        view->resize(viewSize);
        view->show();
        settle();
    }

    // Lets the view handle its pending redraws, as the event loop would.
    static void settle() { QApplication::processEvents(); }

    // The view point at the centre of a sprite pixel.
    QPoint centreOf(PixelPoint pixel) const {
        const QPointF origin = view->canvasOrigin();
        const double zoom = editor->view().zoom();
        return QPointF(origin.x() + (double(pixel.x) + 0.5) * zoom,
                       origin.y() + (double(pixel.y) + 0.5) * zoom)
            .toPoint();
    }

    void wheel(QPoint angle, QPoint pixels = {}, Qt::KeyboardModifiers keys = Qt::NoModifier,
               bool inverted = false, QPointF at = {150, 100}) {
        QWheelEvent event(at, view->mapToGlobal(at), pixels, angle, Qt::NoButton, keys,
                          Qt::NoScrollPhase, inverted);
        QApplication::sendEvent(view.get(), &event);
    }

    quint32 cel(qint64 x, qint64 y) const {
        const Cel* c = document->sprite().celPointer(0, 0);
        return c ? c->pixel(x, y) : 0u;
    }
};
