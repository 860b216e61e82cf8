#include "EditorState.h"
#include "PixelDocument.h"

#include <QRandomGenerator>
#include <benchmark/benchmark.h>
#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

// A seeded random walk of dab centres inside a square area at the given offset.
QList<PixelPoint> wanderingDabs(qint64 count, qint64 area, qint64 offset) {
    QRandomGenerator random(2024);
    QList<PixelPoint> dabs;
    PixelPoint at{offset + area / 2, offset + area / 2};
    for (qint64 i = 0; i < count; ++i) {
        at.x = std::clamp<qint64>(at.x + random.bounded(-12, 13), offset, offset + area - 1);
        at.y = std::clamp<qint64>(at.y + random.bounded(-12, 13), offset, offset + area - 1);
        dabs.append(at);
    }
    return dabs;
}

void paintStroke(EditorState& editor, const QList<PixelPoint>& dabs, PixelColor color) {
    editor.beginStroke();
    for (const PixelPoint& dab : dabs)
        editor.stamp(dab, color);
}

double seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// 1,000 dabs of a 16 px brush inside 512 × 512 of a 2048 × 2048 sprite, press to release.
void BM_Stroke1000Dabs(benchmark::State& state) {
    PixelDocument document(Sprite::blank(2048, 2048));
    EditorState editor(&document);
    editor.invalidateCanvas = [](std::optional<PixelRect>) {}; // a canvas is listening
    editor.setBrushSize(16);
    const QList<PixelPoint> dabs = wanderingDabs(1000, 512, 768);
    quint32 color = 0xFF000001;
    for (auto _ : state) {
        paintStroke(editor, dabs, PixelColor(color++));
        editor.endStroke("Draw");
        state.PauseTiming();
        document.undoStack()->clear();
        state.ResumeTiming();
    }
    const PixelRect rect = document.sprite().bounds();
    state.counters["canvas_px"] = double(rect.area());
}
BENCHMARK(BM_Stroke1000Dabs)->Unit(benchmark::kMillisecond);

// endStroke alone, for a stroke wandering over an area of the given side on a canvas of the
// given side: its cost follows the stroke's dirty rectangle, not the canvas.
void BM_EndStroke(benchmark::State& state) {
    const qint64 side = state.range(0);
    PixelDocument document(Sprite::blank(side, side));
    EditorState editor(&document);
    editor.setBrushSize(4);
    const QList<PixelPoint> dabs = wanderingDabs(state.range(1), state.range(1), 4);
    quint32 color = 0xFF000001;
    qint64 dirty = 0;
    for (auto _ : state) {
        paintStroke(editor, dabs, PixelColor(color++));
        dirty = editor.stroke().dirtyRect().area();
        const auto start = Clock::now();
        editor.endStroke("Draw");
        state.SetIterationTime(seconds(start));
        document.undoStack()->clear();
    }
    state.counters["dirty_px"] = double(dirty);
}
// Fixed iterations: each one first paints the stroke, which the timing leaves out.
BENCHMARK(BM_EndStroke)
    ->Args({64, 24})
    ->Args({4096, 24})
    ->Args({4096, 1024})
    ->Iterations(100)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// Undo then redo of the 1,000-dab stroke.
void BM_UndoRedoStroke(benchmark::State& state) {
    PixelDocument document(Sprite::blank(2048, 2048));
    EditorState editor(&document);
    editor.setBrushSize(16);
    paintStroke(editor, wanderingDabs(1000, 512, 768), PixelColor(0xFF336699));
    editor.endStroke("Draw");
    for (auto _ : state) {
        document.undoStack()->undo();
        document.undoStack()->redo();
    }
}
BENCHMARK(BM_UndoRedoStroke)->Unit(benchmark::kMillisecond);

} // namespace
