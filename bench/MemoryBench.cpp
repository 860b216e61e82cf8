#include "EditorState.h"
#include "PixelDocument.h"
#include "ProjectPackage.h"
#include "UndoMemory.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>

namespace {

double undoMegabytes(PixelDocument& document) {
    qint64 bytes = 0;
    for (qint64 charge : UndoMemory::stepCharges(*document.undoStack(), document.sprite()))
        bytes += charge;
    return double(bytes) / (1024.0 * 1024.0);
}

// The kernel's high-water mark of this process's resident memory, which writing 5 to
// clear_refs starts again from the current size.
void resetPeakResidentMemory() {
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

double peakResidentMegabytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

void dab(EditorState& editor, PixelPoint at, quint32 color) {
    editor.beginStroke();
    editor.stamp(at, PixelColor(color));
    editor.endStroke("Draw");
}

// A one-dab stroke, press to release, right after a structural step on a painted canvas of
// the given side: the stroke must not cost the canvas.
void BM_OneDabAfterStructuralStep(benchmark::State& state) {
    const qint64 side = state.range(0);
    Sprite sprite = Sprite::blank(side, side);
    sprite.ensureCel(0, 0);
    sprite.layers[0].cels[0]->fill(0xFF204060);
    PixelDocument document(sprite);
    EditorState editor(&document);
    const QUuid layer = document.sprite().layers[0].id;
    quint32 color = 0xFF000001;
    bool visible = true;
    for (auto _ : state) {
        state.PauseTiming();
        visible = !visible;
        editor.setLayerVisibility(layer, visible);
        state.ResumeTiming();
        dab(editor, {side / 2, side / 2}, color++);
    }
}
BENCHMARK(BM_OneDabAfterStructuralStep)->Arg(256)->Arg(4096)->Unit(benchmark::kMicrosecond);

// Plays a history on a fresh document from start and reports what its undo steps keep.
template <typename History>
void measureUndoMemory(benchmark::State& state, const Sprite& start, History history) {
    double megabytes = 0;
    for (auto _ : state) {
        PixelDocument document(start);
        EditorState editor(&document);
        history(editor);
        megabytes = undoMegabytes(document);
    }
    state.counters["undo_MB"] = megabytes;
}

// 20 × (one-pixel stroke + visibility toggle) on a painted 4096² canvas.
void BM_UndoMemoryStrokeAndToggle(benchmark::State& state) {
    Sprite painted = Sprite::blank(4096, 4096);
    painted.ensureCel(0, 0);
    painted.layers[0].cels[0]->fill(0xFF204060);
    measureUndoMemory(state, painted, [](EditorState& editor) {
        const QUuid layer = editor.document()->sprite().layers[0].id;
        for (int i = 0; i < 20; ++i) {
            dab(editor, {i * 200, i * 200}, 0xFF000001u + quint32(i));
            editor.setLayerVisibility(layer, i % 2 == 1);
        }
    });
}
BENCHMARK(BM_UndoMemoryStrokeAndToggle)->Iterations(1)->Unit(benchmark::kMillisecond);

// 100 strokes mirrored on both axes, each 20 dabs of 32 px, on 4096².
void BM_UndoMemoryMirroredStrokes(benchmark::State& state) {
    measureUndoMemory(state, Sprite::blank(4096, 4096), [](EditorState& editor) {
        editor.setBrushSize(32);
        editor.setSymmetry(SymmetryMode::both);
        for (int stroke = 0; stroke < 100; ++stroke) {
            editor.beginStroke();
            for (int d = 0; d < 20; ++d)
                editor.stamp({(stroke * 37 + d * 97) % 4096, (stroke * 53 + d * 89) % 4096},
                             PixelColor(0xFF000001u + quint32(stroke)));
            editor.endStroke("Draw");
        }
    });
}
BENCHMARK(BM_UndoMemoryMirroredStrokes)->Iterations(1)->Unit(benchmark::kMillisecond);

// 1,000 one-pixel lines across a 2048² canvas.
void BM_UndoMemoryLines(benchmark::State& state) {
    measureUndoMemory(state, Sprite::blank(2048, 2048), [](EditorState& editor) {
        for (int line = 0; line < 1000; ++line) {
            QList<PixelPoint> points;
            for (qint64 x = 0; x < 2048; ++x)
                points.append({x, (line * 2 + x * (line % 7 + 1) / 8) % 2048});
            editor.beginStroke();
            editor.stampSpans(PixelSpans::fromPoints(points),
                              PixelColor(0xFF000001u + quint32(line)));
            editor.endStroke("Line");
        }
    });
}
BENCHMARK(BM_UndoMemoryLines)->Iterations(1)->Unit(benchmark::kMillisecond);

// Opening a package whose layers all hold the same painted 4096² cel: it is decoded once.
void BM_OpenSharedCel(benchmark::State& state) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("shared.pixel"));
    {
        Sprite sprite = Sprite::blank(4096, 4096);
        sprite.ensureCel(0, 0);
        Cel& cel = *sprite.layers[0].cels[0];
        for (qint64 y = 0; y < 4096; ++y)
            for (qint64 x = 0; x < 4096; x += 3)
                cel.setPixel(x, y, 0xFF000000u | quint32(x * 7 + y * 13));
        for (qint64 l = 1; l < state.range(0); ++l) {
            Layer layer(QStringLiteral("Layer %1").arg(l + 1), 1);
            layer.cels[0] = cel;
            sprite.layers.append(layer);
        }
        ProjectPackage::writePackage(sprite, path);
    }
    double peak = 0;
    for (auto _ : state) {
        resetPeakResidentMemory();
        const Sprite opened = ProjectPackage::readPackage(path);
        benchmark::DoNotOptimize(opened.layers.size());
        peak = peakResidentMegabytes();
    }
    // The whole process's resident peak while opening, from what it held just before.
    state.counters["peak_RSS_MB"] = peak;
}
BENCHMARK(BM_OpenSharedCel)->Arg(64)->Iterations(2)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace
