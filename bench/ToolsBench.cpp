#include "EditorState.h"
#include "PixelDocument.h"

#include <benchmark/benchmark.h>

namespace {

// A one-layer sprite whose only cel is painted all over in one colour.
Sprite uniformSprite(qint64 side, quint32 color) {
    Sprite sprite = Sprite::blank(side, side);
    sprite.layers[0].cels[0] = Cel(side, side, QList<quint32>(side * side, color));
    return sprite;
}

// A fill tool press on a uniform 4096 × 4096 cel, through to the closed undo step.
void BM_FloodFillUniform(benchmark::State& state) {
    const qint64 side = state.range(0);
    PixelDocument document(uniformSprite(side, 0xFF102030));
    EditorState editor(&document);
    editor.invalidateCanvas = [](std::optional<PixelRect>) {}; // a canvas is listening
    editor.setActiveTool(ToolKind::fill);
    quint32 color = 0xFF000001;
    for (auto _ : state) {
        editor.setPrimaryColor(PixelColor(color++));
        editor.pointerDown({side / 2, side / 2}, {});
        editor.pointerUp({side / 2, side / 2}, {});
        state.PauseTiming();
        document.undoStack()->clear();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FloodFillUniform)->Arg(4096)->Unit(benchmark::kMillisecond);

namespace {

// Times only the release of a filled shape dragged corner to corner over a square canvas,
// through to the closed undo step; the drag's preview is left out.
void filledShapeRelease(benchmark::State& state, ToolKind tool, qint64 brushSize) {
    const qint64 side = state.range(0);
    PixelDocument document(Sprite::blank(side, side));
    EditorState editor(&document);
    editor.invalidateCanvas = [](std::optional<PixelRect>) {};
    editor.setActiveTool(tool);
    editor.setShapeFilled(true);
    editor.setBrushSize(brushSize);
    quint32 color = 0xFF000001;
    for (auto _ : state) {
        state.PauseTiming();
        editor.setPrimaryColor(PixelColor(color++));
        editor.pointerDown({0, 0}, {});
        editor.pointerMoved({side - 1, side - 1}, {});
        state.ResumeTiming();
        editor.pointerUp({side - 1, side - 1}, {});
        state.PauseTiming();
        document.undoStack()->clear();
        state.ResumeTiming();
    }
}

} // namespace

// The release of a filled ellipse drag across a whole 2048 × 2048 canvas with a 1 px brush,
// through to the closed undo step; the drag's preview is left out.
void BM_FilledEllipseRelease(benchmark::State& state) {
    filledShapeRelease(state, ToolKind::ellipse, 1);
}
BENCHMARK(BM_FilledEllipseRelease)->Arg(2048)->Unit(benchmark::kMillisecond);

// Target: ≤ 100 ms. The release of a filled rectangle over the whole 2048 × 2048 canvas with
// the 32 px brush, through to the closed undo step.
void BM_FilledRectangleBrush32Release(benchmark::State& state) {
    filledShapeRelease(state, ToolKind::rectangle, 32);
}
BENCHMARK(BM_FilledRectangleBrush32Release)->Arg(2048)->Unit(benchmark::kMillisecond);

// Target: ≤ 2 ms. One pointer move of a filled rectangle drag across a 2048 × 2048 canvas at
// the 32 px brush: the preview is rebuilt for the new box.
void BM_FilledShapeDragMove(benchmark::State& state) {
    const qint64 side = state.range(0);
    PixelDocument document(Sprite::blank(side, side));
    EditorState editor(&document);
    editor.invalidateCanvas = [](std::optional<PixelRect>) {};
    editor.setActiveTool(ToolKind::rectangle);
    editor.setShapeFilled(true);
    editor.setBrushSize(32);
    editor.pointerDown({0, 0}, {});
    qint64 step = 0;
    for (auto _ : state)
        editor.pointerMoved({side - 1 - step++ % 64, side - 1}, {});
    editor.escape();
}
BENCHMARK(BM_FilledShapeDragMove)->Arg(2048)->Unit(benchmark::kMillisecond);

} // namespace
