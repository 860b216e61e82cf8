#include "CanvasViewFixture.h"

#include <QPaintEvent>

namespace {

// Collects the regions a widget is asked to paint.
struct PaintRecorder : QObject {
    QRegion painted;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
};

constexpr QRgb light = 0xFFFFFFFF; // the pattern's colours in a light appearance
constexpr QRgb dark = 0xFFDEDEDE;

} // namespace

// 16 × 16 at zoom 8 in 300 × 200: the canvas spans (86, 36) to (214, 164).
struct CanvasPaintTest : CanvasViewFixture {
    void SetUp() override {
        CanvasViewFixture::SetUp();
        ASSERT_EQ(editor->view().zoom(), 8);
        ASSERT_EQ(view->canvasOrigin(), QPointF(86, 36));
    }
    QImage shot() const { return view->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    void paint(PixelPoint at, quint32 color) {
        editor->beginStroke();
        editor->plot(at.x, at.y, PixelColor(color));
        editor->endStroke("Draw");
    }
};

TEST_F(CanvasPaintTest, PixelEditsShowAtTheirPlaceRepaintingOnlyTheirRectangle) {
    view->repaint();
    PaintRecorder recorder;
    view->installEventFilter(&recorder);
    const qint64 fullRebuilds = view->composite().statistics().fullRebuilds;
    paint({3, 4}, 0xFFFF0000);
    settle();
    EXPECT_EQ(recorder.painted, QRegion(110, 68, 8, 8));
    EXPECT_EQ(view->composite().statistics().fullRebuilds, fullRebuilds);
    paint({4, 4}, 0x80000000);
    const QImage image = shot();
    for (int y = 68; y < 76; ++y)
        for (int x = 110; x < 118; ++x)
            ASSERT_EQ(image.pixel(x, y), 0xFFFF0000) << x << "," << y;
    EXPECT_NE(image.pixel(109, 72), 0xFFFF0000);
    EXPECT_NE(image.pixel(113, 76), 0xFFFF0000);
    // Half-transparent black halves the pattern square behind it (light at pixel (4, 4)).
    EXPECT_NEAR(qRed(image.pixel(120, 72)), 127, 1);

    // Undo brings the old pixels back the same way.
    recorder.painted = {};
    document->undoStack()->undo();
    settle();
    EXPECT_EQ(recorder.painted, QRegion(118, 68, 8, 8));
    EXPECT_EQ(shot().pixel(120, 72), light);
}

TEST_F(CanvasPaintTest, GridLinesFallBetweenPixelsOnly) {
    const auto pattern = [](QPoint at) { // the square under a point of this canvas
        return (((at.x() - 86) / 8 + (at.y() - 36) / 8) % 2) ? dark : light;
    };
    AppSettings::shared().setAutomaticGrid(true); // from zoom 8
    const QImage image = shot();
    const QRgb line = image.pixel(94, 50);
    EXPECT_NE(line, pattern({94, 50}));
    EXPECT_EQ(image.pixel(95, 50), pattern({95, 50})); // one device pixel wide
    EXPECT_EQ(image.pixel(100, 44), line);             // horizontal lines, same shade
    EXPECT_EQ(image.pixel(94, 44), line);              // crossings are not darker
    EXPECT_NE(image.pixel(94, 40), pattern({94, 40})); // the first row has them too
    EXPECT_EQ(image.pixel(86, 50), pattern({86, 50})); // none along the edge
}

TEST_F(CanvasPaintTest, FramesLayersAndGhostsRebuildThePicture) {
    Sprite sprite = Sprite::blank(16, 16);
    sprite.insertFrame(1);
    sprite.ensureCel(0, 1);
    sprite.layers[0].cels[1]->setWordAt(2 * 16 + 2, 0xFF0000FF);
    open(sprite, QSize(300, 200));
    const QPoint blue = centreOf({2, 2});
    EXPECT_NE(shot().pixel(blue), 0xFF0000FF);

    editor->startPlayback();
    editor->playback().advance(); // the timer's step, taken at once
    EXPECT_EQ(shot().pixel(blue), 0xFF0000FF);
    editor->playback().stop();

    // From frame 0 the next frame's pixel shows as a cool ghost once onion skin is on.
    AppSettings::shared().setOnionSkinEnabled(true);
    const QRgb ghost = shot().pixel(blue);
    EXPECT_GT(qBlue(ghost), qRed(ghost));
    AppSettings::shared().setOnionSkinEnabled(false);

    // A layer hidden by a structural edit disappears.
    editor->selectNextFrame();
    editor->setLayerVisibility(document->sprite().layers[0].id, false);
    EXPECT_NE(shot().pixel(blue), 0xFF0000FF);
    document->undoStack()->undo();
    EXPECT_EQ(shot().pixel(blue), 0xFF0000FF);
}

TEST_F(CanvasPaintTest, FloatingPixelsAreClippedButTheirOutlineIsNot) {
    editor->setFloatingPaste(FloatingPaste{{0xFF00FF00, 0xFF00FF00}, 2, 1, {15, 3}});
    const QImage image = shot(); // pixel (15, 3) spans (206, 60) to (214, 68)
    EXPECT_EQ(image.pixel(210, 64), 0xFF00FF00);
    EXPECT_NE(image.pixel(218, 64), 0xFF00FF00);
    const auto orangeIn = [&](int y, int from, int to) {
        for (int x = from; x < to; ++x)
            if (image.pixel(x, y) == 0xFFFF9500)
                return true;
        return false;
    };
    EXPECT_TRUE(orangeIn(59, 206, 214));
    EXPECT_TRUE(orangeIn(59, 214, 222)); // past the canvas edge
    EXPECT_FALSE(orangeIn(64, 207, 221));
}
