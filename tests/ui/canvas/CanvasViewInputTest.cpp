#include "CanvasViewFixture.h"

#include <QNativeGestureEvent>

namespace {

void pressKey(QWidget* widget, Qt::Key key, bool press = true) {
    QKeyEvent event(press ? QEvent::KeyPress : QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

} // namespace

TEST_F(CanvasViewFixture, PanGesturesMoveTheCanvas) {
    const auto pan = [&](Qt::MouseButton button, Qt::KeyboardModifiers keys) {
        editor->view().setPanOffset({0, 0});
        QTest::mousePress(view.get(), button, keys, {100, 100});
        EXPECT_EQ(view->cursor().shape(), Qt::ClosedHandCursor);
        QTest::mouseMove(view.get(), {130, 90});
        QTest::mouseMove(view.get(), {140, 80});
        QTest::mouseRelease(view.get(), button, keys, {140, 80});
        EXPECT_EQ(editor->view().panOffset(), QSizeF(40, -20));
        EXPECT_FALSE(editor->isGestureActive());
    };
    pan(Qt::LeftButton, Qt::ControlModifier);
    pan(Qt::MiddleButton, Qt::NoModifier);
    pressKey(view.get(), Qt::Key_Space);
    pan(Qt::LeftButton, Qt::NoModifier);
    EXPECT_EQ(document->undoStack()->count(), 0); // nothing drawn
}

TEST_F(CanvasViewFixture, ButtonsDrawTheirColourAndOtherButtonsWaitForTheRunningGesture) {
    editor->setSecondaryColor(PixelColor(0xFF445566));
    // A pan pressed while drawing waits for the drawing button.
    QTest::mousePress(view.get(), Qt::LeftButton, Qt::NoModifier, centreOf({2, 5}));
    QTest::mousePress(view.get(), Qt::MiddleButton, Qt::NoModifier, centreOf({2, 5}));
    QTest::mouseMove(view.get(), centreOf({6, 5}));
    QTest::mouseRelease(view.get(), Qt::MiddleButton, Qt::NoModifier, centreOf({6, 5}));
    EXPECT_TRUE(editor->isGestureActive());
    QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::NoModifier, centreOf({6, 5}));
    EXPECT_EQ(editor->view().panOffset(), QSizeF(0, 0));
    for (qint64 x = 2; x <= 6; ++x)
        EXPECT_EQ(cel(x, 5), editor->primaryColor().raw) << x;
    document->undoStack()->undo();
    EXPECT_EQ(cel(4, 5), 0u);

    // Space arms a pan for the left button only: the right button always draws.
    pressKey(view.get(), Qt::Key_Space);
    QTest::mouseClick(view.get(), Qt::RightButton, Qt::NoModifier, centreOf({0, 0}));
    pressKey(view.get(), Qt::Key_Space, false);
    EXPECT_EQ(cel(0, 0), 0xFF445566);
    EXPECT_EQ(document->undoStack()->count(), 1);

    // A gesture whose release went elsewhere ends with the next press, which then counts.
    QTest::mousePress(view.get(), Qt::LeftButton, Qt::NoModifier, centreOf({1, 4}));
    const QPointF point = centreOf({2, 6});
    QMouseEvent press(QEvent::MouseButtonPress, point, view->mapToGlobal(point), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(view.get(), &press);
    EXPECT_EQ(document->undoStack()->count(), 2);
    QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::NoModifier, centreOf({2, 6}));
    QTest::mouseRelease(view.get(), Qt::RightButton, Qt::NoModifier, centreOf({2, 6}));
    EXPECT_EQ(cel(2, 6), editor->secondaryColor().raw);
    EXPECT_EQ(document->undoStack()->count(), 3);
}

TEST_F(CanvasViewFixture, KeysActOnFloatingPixelsFirst) {
    editor->setSelection(PixelRect{0, 0, 4, 4});
    editor->setFloatingPaste(FloatingPaste{{0xFF00FF00, 0xFF00FF00}, 2, 1, {5, 5}});
    pressKey(view.get(), Qt::Key_Right);
    pressKey(view.get(), Qt::Key_Up);
    EXPECT_EQ(editor->floatingPaste()->origin, PixelPoint(6, 4));

    // Past the canvas edge, where no cursor is drawn, the floating pixels offer to be dragged.
    editor->setFloatingOrigin({15, 4});
    QTest::mouseMove(view.get(), centreOf({16, 4}));
    EXPECT_EQ(view->cursor().shape(), Qt::OpenHandCursor);
    editor->setFloatingOrigin({6, 4});
    QTest::mousePress(view.get(), Qt::LeftButton, Qt::NoModifier, centreOf({7, 4}));
    QTest::mouseMove(view.get(), centreOf({9, 8}));
    QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::NoModifier, centreOf({9, 8}));
    EXPECT_EQ(editor->floatingPaste()->origin, PixelPoint(8, 8));

    // Escape throws the floating pixels away.
    pressKey(view.get(), Qt::Key_Escape);
    EXPECT_FALSE(editor->floatingPaste().has_value());

    // Return places them, and the key is taken; with nothing floating it goes to the window.
    editor->setFloatingPaste(FloatingPaste{{0xFF00FF00}, 1, 1, {3, 3}});
    for (bool floating : {true, false}) {
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Enter, Qt::KeypadModifier);
        QApplication::sendEvent(view.get(), &enter);
        EXPECT_EQ(enter.isAccepted(), floating);
    }
    EXPECT_EQ(cel(3, 3), 0xFF00FF00);

    // Without a selection the arrows move the layer only with the move tool.
    editor->setSelection(std::nullopt);
    editor->beginStroke();
    editor->plot(0, 0, PixelColor(0xFFFF0000));
    editor->endStroke("Draw");
    pressKey(view.get(), Qt::Key_Right);
    EXPECT_EQ(cel(0, 0), 0xFFFF0000);
    EXPECT_EQ(document->undoStack()->count(), 2);
    editor->setActiveTool(ToolKind::move);
    pressKey(view.get(), Qt::Key_Right);
    EXPECT_EQ(cel(1, 0), 0xFFFF0000);
    EXPECT_EQ(cel(0, 0), 0u);
}

TEST_F(CanvasViewFixture, WheelsTouchpadsAndPinchesZoomAroundThePointerOrPan) {
    editor->view().setZoomFactor(4);
    const QPointF at = centreOf({2, 3});
    // Without natural scrolling a wheel turned towards the user zooms in, with it away.
    wheel({0, -120}, {}, Qt::NoModifier, false, at);
    EXPECT_EQ(editor->view().zoom(), 8);
    wheel({0, 120}, {}, Qt::NoModifier, true, at);
    EXPECT_EQ(editor->view().zoom(), 16);
    const auto pinch = [&](double magnification) {
        QNativeGestureEvent event(Qt::ZoomNativeGesture, QPointingDevice::primaryPointingDevice(),
                                  2, at, at, view->mapToGlobal(at), magnification, {});
        QApplication::sendEvent(view.get(), &event);
    };
    pinch(0.5);
    pinch(-1.5); // a factor below 0 does nothing
    EXPECT_DOUBLE_EQ(editor->view().zoom(), 24);
    EXPECT_EQ(view->pixelAt(at), PixelPoint(2, 3));

    AppSettings::shared().setMouseWheelZooms(false);
    const QSizeF pan = editor->view().panOffset();
    wheel({0, 120});
    EXPECT_EQ(editor->view().zoom(), 24);
    EXPECT_GT(editor->view().panOffset().height(), pan.height()); // content follows the wheel down
    // Alt turns the wheel into zoom; X11 reports an Alt wheel as horizontal.
    wheel({-120, 0}, {}, Qt::AltModifier, false, at);
    EXPECT_EQ(editor->view().zoom(), 32);

    // A touchpad pans by its pixels, or zooms continuously with Alt or when scrolling zooms.
    editor->view().setZoomFactor(4);
    editor->view().setPanOffset({0, 0});
    wheel({0, 36}, {5, 12});
    EXPECT_EQ(editor->view().panOffset(), QSizeF(5, 12));
    wheel({0, 360}, {0, 120}, Qt::AltModifier, true, at); // natural scrolling: as delivered
    EXPECT_DOUBLE_EQ(editor->view().zoom(), 8);
    AppSettings::shared().setScrollBehavior(ScrollZoomBehavior::scrollZooms);
    wheel({0, 180}, {0, 60}, Qt::NoModifier, false, at);
    EXPECT_NEAR(editor->view().zoom(), 8 / std::sqrt(2.0), 1e-9);

    AppSettings::shared().setOptionScrollZooms(false);
    AppSettings::shared().setScrollBehavior(ScrollZoomBehavior::scrollPans);
    wheel({0, 120}, {}, Qt::AltModifier, false, at);
    EXPECT_NEAR(editor->view().zoom(), 8 / std::sqrt(2.0), 1e-9);
}

TEST_F(CanvasViewFixture, SystemCursorHidesOnlyWhileTheViewDrawsItsOwn) {
    QTest::mouseMove(view.get(), centreOf({4, 4}));
    EXPECT_EQ(view->cursor().shape(), Qt::BlankCursor);
    EXPECT_EQ(editor->view().cursorPixel(), PixelPoint(4, 4));

    QTest::mouseMove(view.get(), {5, 5}); // over the background
    EXPECT_EQ(view->cursor().shape(), Qt::CrossCursor);
    EXPECT_EQ(editor->view().cursorPixel(), PixelPoint(-11, -4)); // unclamped

    // Space shows the pan hand; one whose release went elsewhere is not left armed.
    QTest::mouseMove(view.get(), centreOf({4, 4}));
    pressKey(view.get(), Qt::Key_Space);
    EXPECT_EQ(view->cursor().shape(), Qt::OpenHandCursor);
    QFocusEvent focusOut(QEvent::FocusOut);
    QApplication::sendEvent(view.get(), &focusOut);
    EXPECT_EQ(view->cursor().shape(), Qt::BlankCursor);

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(view.get(), &leave);
    EXPECT_EQ(view->cursor().shape(), Qt::CrossCursor);
    EXPECT_FALSE(editor->view().cursorPixel().has_value());
}
