#include "DocumentUndoCommands.h"
#include "PixelDocument.h"
#include "Sprite.h"

#include <benchmark/benchmark.h>

namespace {

// 64 layers × 64 frames whose cels all share one painted buffer: the copy must not touch it.
Sprite hugeSprite(qint64 side) {
    Sprite sprite = Sprite::blank(side, side);
    Cel painted(side, side);
    painted.fill(0xFF336699);
    for (int f = 1; f < 64; ++f)
        sprite.insertFrame(f);
    for (int l = 1; l < 64; ++l)
        sprite.layers.append(Layer(sprite.uniqueLayerName("Layer"), 64));
    for (Layer& layer : sprite.layers)
        for (auto& slot : layer.cels)
            slot = painted;
    return sprite;
}

void BM_SpriteCopyAndCompare(benchmark::State& state) {
    const Sprite sprite = hugeSprite(state.range(0));
    for (auto _ : state) {
        Sprite copy = sprite;
        benchmark::DoNotOptimize(copy);
        const bool equal = copy == sprite;
        benchmark::DoNotOptimize(equal);
    }
    state.SetLabel("64 layers x 64 frames");
}
BENCHMARK(BM_SpriteCopyAndCompare)->Arg(64)->Arg(2048)->Unit(benchmark::kMicrosecond);

// 1,000 pixel steps of 16 × 16 on a 4096 × 4096 cel: what the undo stack keeps alive.
void BM_UndoMemoryOfSmallSteps(benchmark::State& state) {
    qint64 bytes = 0;
    for (auto _ : state) {
        PixelDocument document(Sprite::blank(4096, 4096));
        document.sprite().ensureCel(0, 0);
        const QUuid layer = document.sprite().layers[0].id;
        for (int step = 0; step < 1000; ++step) {
            const PixelRect rect{(step * 37) % 4080, (step * 91) % 4080, 16, 16};
            PixelPatch patch{layer,
                             0,
                             rect,
                             PixelSpans::rectangle(rect),
                             document.sprite().cel(0, 0)->extract(rect),
                             QList<quint32>(256, 0xFF000000u | quint32(step)),
                             false};
            document.apply(patch, document.undoStack(), true, "Draw");
        }
        bytes = 0;
        for (int i = 0; i < document.undoStack()->count(); ++i)
            bytes += static_cast<const PixelPatchCommand*>(document.undoStack()->command(i))
                         ->patch()
                         .pixelBytes();
    }
    state.counters["undo_pixel_MB"] = double(bytes) / (1024.0 * 1024.0);
}
BENCHMARK(BM_UndoMemoryOfSmallSteps)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
