#include "CanvasView.h"
#include "LayerOperations.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QRandomGenerator>
#include <benchmark/benchmark.h>

namespace {

constexpr qint64 side = 2048;
constexpr qint64 layerCount = 8;
const QSize viewSize(1600, 1000);

// Eight layers of seeded pixels, half of them transparent, the rest of any alpha.
Sprite layeredSprite() {
    Sprite sprite = Sprite::blank(side, side);
    for (qint64 i = 1; i < layerCount; ++i)
        LayerOperations::addLayer(sprite, QStringLiteral("Layer %1").arg(i + 1));
    QRandomGenerator random(8);
    for (qint64 i = 0; i < layerCount; ++i) {
        sprite.ensureCel(i, 0);
        Cel& cel = *sprite.layers[i].cels[0];
        for (qint64 y = 0; y < side; ++y) {
            quint32* words = cel.mutableRow(y);
            for (qint64 x = 0; x < side; ++x) {
                const quint32 word = random.generate();
                words[x] = (word & 0x100) ? word : 0;
            }
        }
    }
    return sprite;
}

// Counts the paints a view receives and the area they cover.
struct PaintCounter : QObject {
    qint64 paints = 0;
    qint64 area = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
            for (const QRect& rect : static_cast<QPaintEvent*>(event)->region())
                area += qint64(rect.width()) * rect.height();
        }
        return false;
    }
};

// A document, editor and shown view at zoom 8, as a window would hold them.
struct Scene {
    PixelDocument document{layeredSprite()};
    EditorState editor{&document};
    CanvasView view{&editor};
    PaintCounter counter;

    Scene() {
        view.resize(viewSize);
        view.show();
        editor.view().setZoomFactor(8);
        editor.view().setShowPixelGrid(true);
        QApplication::processEvents();
        view.installEventFilter(&counter);
    }

    void send(QEvent::Type type, QPointF point, Qt::MouseButtons buttons) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, point, view.mapToGlobal(point), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(&view, &event);
        QApplication::processEvents(); // the repaint the event asked for
    }
};

// A seeded random walk of view points over the middle of the view.
QList<QPointF> wanderingPointer(qint64 count) {
    QRandomGenerator random(4);
    QList<QPointF> points;
    QPointF at(viewSize.width() / 2.0, viewSize.height() / 2.0);
    for (qint64 i = 0; i < count; ++i) {
        at += QPointF(random.bounded(-20, 21), random.bounded(-20, 21));
        at.setX(std::clamp(at.x(), 100.0, viewSize.width() - 100.0));
        at.setY(std::clamp(at.y(), 100.0, viewSize.height() - 100.0));
        points.append(at);
    }
    return points;
}

// A 1,000-move pencil drag through the view's mouse handlers, each move followed by the
// recompositing and painting it causes. The rate counter is the time per move.
void BM_CanvasPencilDrag(benchmark::State& state) {
    Scene scene;
    const QList<QPointF> path = wanderingPointer(1000);
    qint64 moves = 0;
    for (auto _ : state) {
        scene.send(QEvent::MouseButtonPress, path.first(), Qt::LeftButton);
        for (const QPointF& point : path)
            scene.send(QEvent::MouseMove, point, Qt::LeftButton);
        scene.send(QEvent::MouseButtonRelease, path.last(), Qt::NoButton);
        moves += path.size();
        state.PauseTiming();
        scene.document.undoStack()->undo();
        scene.document.undoStack()->clear();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    const auto& stats = scene.view.composite().statistics();
    state.counters["per_move"] = benchmark::Counter(double(moves), benchmark::Counter::kIsRate |
                                                                       benchmark::Counter::kInvert);
    state.counters["painted_px_per_paint"] =
        double(scene.counter.area) / double(std::max<qint64>(scene.counter.paints, 1));
    state.counters["partial_composites"] = double(stats.partialRebuilds);
}
BENCHMARK(BM_CanvasPencilDrag)->Unit(benchmark::kMillisecond)->Iterations(3);

// A full repaint of the view at zoom 8 with the grid, when nothing needs recompositing.
void BM_CanvasFullRepaint(benchmark::State& state) {
    Scene scene;
    for (auto _ : state)
        scene.view.repaint();
    state.counters["full_composites"] = double(scene.view.composite().statistics().fullRebuilds);
}
BENCHMARK(BM_CanvasFullRepaint)->Unit(benchmark::kMillisecond);

// Zoom steps and fit, each repainted; none may recomposite the sprite.
void BM_CanvasZoomSteps(benchmark::State& state) {
    Scene scene;
    const auto before = scene.view.composite().statistics();
    for (auto _ : state) {
        scene.editor.view().zoomIn();
        scene.view.repaint();
        scene.editor.view().zoomOut();
        scene.view.repaint();
        scene.view.fit();
        scene.view.repaint();
        scene.editor.view().setZoom(8);
        scene.view.repaint();
    }
    const auto after = scene.view.composite().statistics();
    state.counters["composites"] = double(after.fullRebuilds + after.partialRebuilds -
                                          before.fullRebuilds - before.partialRebuilds);
}
BENCHMARK(BM_CanvasZoomSteps)->Unit(benchmark::kMillisecond);

} // namespace
