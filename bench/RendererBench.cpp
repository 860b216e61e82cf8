#include "PixelRenderer.h"

#include <QRandomGenerator>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstring>
#include <ctime>
#include <pixman.h>

// Our compositor against pixman's OVER on the same eight layers (pixman gets them
// premultiplied, as it needs). Both run in every iteration, one after the other, timed in CPU
// time of this thread, so that other work on a loaded machine slows both alike; the counters
// are medians and their ratio.

namespace {

constexpr qint64 layerCount = 8;

double threadMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

double millisecondsOf(const std::function<void()>& work) {
    const double start = threadMilliseconds();
    work();
    return threadMilliseconds() - start;
}

double median(QList<double> values) {
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

QList<quint32> denseLayer(qint64 count, QRandomGenerator& random) {
    QList<quint32> words(count);
    random.fillRange(words.data(), count);
    return words;
}

// Pixel-art-like content: opaque rectangles of random colours on transparency until 30 % of
// the layer is covered.
QList<quint32> typicalLayer(qint64 side, QRandomGenerator& random) {
    QList<quint32> words(side * side, 0u);
    quint32* pixels = words.data();
    qint64 covered = 0;
    while (covered * 10 < side * side * 3) {
        const qint64 width = random.bounded(8, 200);
        const qint64 height = random.bounded(8, 200);
        const qint64 left = random.bounded(side - width);
        const qint64 top = random.bounded(side - height);
        const quint32 color = random.generate() | 0xFF000000u;
        for (qint64 y = top; y < top + height; ++y) {
            for (qint64 x = left; x < left + width; ++x) {
                covered += pixels[y * side + x] == 0;
                pixels[y * side + x] = color;
            }
        }
    }
    return words;
}

Sprite spriteOf(qint64 side, qint64 frameCount,
                const std::function<QList<quint32>()>& makeLayerPixels) {
    Sprite sprite = Sprite::blank(side, side);
    for (qint64 f = 1; f < frameCount; ++f)
        sprite.insertFrame(f);
    for (qint64 l = 1; l < layerCount; ++l)
        sprite.layers.append(Layer(sprite.uniqueLayerName("Layer"), frameCount));
    for (Layer& layer : sprite.layers)
        for (auto& slot : layer.cels)
            slot = Cel(side, side, makeLayerPixels());
    return sprite;
}

class PixmanLayers {
public:
    explicit PixmanLayers(const Sprite& sprite)
        : side(int(sprite.width)), target(sprite.width * sprite.height) {
        for (const Layer& layer : sprite.layers)
            premultiplied.append(PixelRenderer::premultiply(layer.cels[0]->words()));
        for (QList<quint32>& words : premultiplied)
            sources.append(image(words.data()));
        destination = image(target.data());
    }
    ~PixmanLayers() {
        for (pixman_image_t* source : sources)
            pixman_image_unref(source);
        pixman_image_unref(destination);
    }

    void composite() {
        std::memset(target.data(), 0, size_t(target.size()) * 4);
        for (pixman_image_t* source : sources)
            pixman_image_composite32(PIXMAN_OP_OVER, source, nullptr, destination, 0, 0, 0, 0, 0, 0,
                                     side, side);
    }

private:
    pixman_image_t* image(quint32* words) const {
        return pixman_image_create_bits(PIXMAN_a8r8g8b8, side, side, words, side * 4);
    }

    int side;
    QList<quint32> target;
    QList<QList<quint32>> premultiplied;
    QList<pixman_image_t*> sources;
    pixman_image_t* destination = nullptr;
};

void compareWithPixman(benchmark::State& state, const Sprite& sprite) {
    PixmanLayers pixman(sprite);
    QList<double> ours, theirs;
    for (auto _ : state) {
        const double ourTime = millisecondsOf([&] {
            QList<quint32> buffer = PixelRenderer::composite(sprite, 0);
            benchmark::DoNotOptimize(buffer.data());
        });
        theirs.append(millisecondsOf([&] { pixman.composite(); }));
        ours.append(ourTime);
        state.SetIterationTime(ourTime / 1000.0);
    }
    state.counters["ours_ms"] = median(ours);
    state.counters["pixman_ms"] = median(theirs);
    state.counters["ratio"] = median(ours) / median(theirs);
}

void BM_CompositeDenseVersusPixman(benchmark::State& state) {
    QRandomGenerator random(1);
    static const Sprite sprite = spriteOf(2048, 1, [&] { return denseLayer(2048 * 2048, random); });
    compareWithPixman(state, sprite);
    state.SetLabel("2048x2048, 8 layers, random alpha; target ratio <= 1.0");
}
BENCHMARK(BM_CompositeDenseVersusPixman)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_CompositeTypicalVersusPixman(benchmark::State& state) {
    QRandomGenerator random(2);
    static const Sprite sprite = spriteOf(2048, 1, [&] { return typicalLayer(2048, random); });
    compareWithPixman(state, sprite);
    state.SetLabel("2048x2048, 8 layers, 70% transparent; target ratio <= 0.6");
}
BENCHMARK(BM_CompositeTypicalVersusPixman)->UseManualTime()->Unit(benchmark::kMillisecond);

const Sprite& fiveFrameCanvas() {
    static const Sprite sprite = [] {
        QRandomGenerator random(3);
        return spriteOf(4096, 5, [&] { return denseLayer(4096 * 4096, random); });
    }();
    return sprite;
}

// Brush dabs: 32 × 32 rectangles of a 4096 × 4096 canvas, eight layers of dense random alpha
// in each of five frames, ghosts two frames either way. Argument 0 moves each dab a few pixels
// on from the last, as a stroke does; argument 1 jumps anywhere, so nothing is in a cache.
void BM_RegionalCompositeWithGhosts(benchmark::State& state) {
    const Sprite& sprite = fiveFrameCanvas();
    QList<quint32> buffer = PixelRenderer::composite(sprite, 2);
    QList<quint32> scratch;
    const OnionSkin skin{2, 2, 0.4};
    QRandomGenerator jumps(4);
    qint64 dab = 0;
    const auto next = [&]() -> PixelRect {
        constexpr qint64 room = 4096 - 32;
        ++dab;
        if (state.range(0) == 1)
            return {jumps.bounded(room), jumps.bounded(room), 32, 32};
        return {(dab * 3) % room, (dab * 2) % room, 32, 32};
    };
    PixelRenderer::composite(sprite, buffer, next(), 2, skin, scratch); // sizes the scratch
    for (auto _ : state) {
        PixelRenderer::composite(sprite, buffer, next(), 2, skin, scratch);
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetLabel(state.range(0) == 1 ? "dabs anywhere (cold caches)"
                                       : "dabs along a stroke; target <= 100 us");
}
BENCHMARK(BM_RegionalCompositeWithGhosts)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
