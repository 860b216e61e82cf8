#include "../tests/core/files/ExportTestSupport.h"
#include "GIFService.h"
#include "PixelRenderer.h"
#include "SpriteSheetService.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace kestrin::test;

namespace {

constexpr qint64 frameCount = 64;

// A typical sprite animation: a static banded backdrop, a 48 × 48 figure in a dozen colours
// moving across it, and a sparkle cycling through its own colours. Under 255 colours in all.
Sprite benchAnimation(qint64 side) {
    Sprite sprite = animation(side, side, frameCount);
    Cel backdrop(side, side);
    for (qint64 y = 0; y < side; ++y)
        for (qint64 x = 0; x < side; ++x)
            backdrop.setPixel(x, y,
                              0xFF102040u + quint32((y * 24 / side) * 0x050302) +
                                  (((x / 8 + y / 8) % 2) ? 0x000800u : 0u));
    for (auto& slot : sprite.layers[0].cels)
        slot = backdrop;
    const qint64 hero = addLayer(sprite, "Hero");
    const qint64 spark = addLayer(sprite, "Spark");
    for (qint64 f = 0; f < frameCount; ++f) {
        const double t = 2 * M_PI * double(f) / double(frameCount);
        const qint64 cx = side / 2 + qint64(std::lround(std::sin(t) * double(side) / 3));
        const qint64 cy = side / 2 + qint64(std::lround(std::sin(2 * t) * double(side) / 4));
        for (qint64 ring = 12; ring >= 1; --ring) {
            const qint64 r = ring * 2;
            fill(sprite, hero, f,
                 PixelRect{cx - r, cy - r, 2 * r, 2 * r}.intersection(sprite.bounds()),
                 0xFFC04010u + quint32(ring * 0x000A0C));
        }
        fill(sprite, spark, f, PixelRect{side / 8, side / 8, 8, 8},
             0xFFFFFF00u - quint32((f % 16) * 0x000F00));
    }
    return sprite;
}

QString imageMagick() {
    return QFileInfo::exists("/usr/bin/convert") ? QStringLiteral("/usr/bin/convert")
                                                 : QStringLiteral("convert");
}

// The frames at the export scale as PNG files, the reference tool's input.
QStringList writeFramePngs(const Sprite& sprite, qint64 percent, const QDir& folder) {
    QStringList paths;
    for (qint64 f = 0; f < sprite.frames.size(); ++f) {
        const QString path = folder.filePath(QString::asprintf("frame_%03lld.png", qlonglong(f)));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(PixelRenderer::pngData(expectedImage(sprite, f, percent)));
        paths.append(path);
    }
    return paths;
}

// One thread, as ours uses: on a shared machine its thread pool only adds noise.
QByteArray imageMagickGif(const QStringList& frames, const QString& output) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("MAGICK_THREAD_LIMIT", "1");
    process.setProcessEnvironment(environment);
    process.start(imageMagick(),
                  QStringList{"-delay", "10", "-loop", "0"} + frames + QStringList{output});
    process.waitForFinished(-1);
    QFile file(output);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// How many images a viewer shows exactly as the animation's frames.
qint64 exactFrames(const QByteArray& gif, const Sprite& sprite, qint64 percent) {
    const auto decoded = decodedGif(gif);
    if (!decoded)
        return 0;
    qint64 exact = 0;
    for (qint64 f = 0; f < sprite.frames.size() && f < decoded->shown.size(); ++f)
        exact += decoded->shown[f] == expectedGifFrame(sprite, f, percent) ? 1 : 0;
    return exact;
}

double seconds(const QElapsedTimer& timer) {
    return double(timer.nsecsElapsed()) / 1e9;
}

// Our GIF export against ImageMagick assembling the same frames from PNG files, measured in
// the same run. The benchmark's own time is ours; the counters hold the comparison.
void BM_GifVersusImageMagick(benchmark::State& state) {
    const qint64 percent = state.range(0);
    const Sprite sprite = benchAnimation(256);
    QTemporaryDir folder;
    const QStringList frames = writeFramePngs(sprite, percent, QDir(folder.path()));
    const QString output = QDir(folder.path()).filePath("reference.gif");
    QByteArray ours, theirs;
    double oursTotal = 0, theirsTotal = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        ours = GIFService::data(sprite, percent);
        const double oursTime = seconds(timer);
        timer.restart();
        theirs = imageMagickGif(frames, output);
        theirsTotal += seconds(timer);
        oursTotal += oursTime;
        state.SetIterationTime(oursTime);
    }
    const double runs = double(state.iterations());
    state.counters["ours_s"] = oursTotal / runs;
    state.counters["imagemagick_s"] = theirsTotal / runs;
    state.counters["time_ratio"] = oursTotal / theirsTotal;
    state.counters["ours_bytes"] = double(ours.size());
    state.counters["imagemagick_bytes"] = double(theirs.size());
    state.counters["size_ratio"] =
        double(ours.size()) / double(std::max<qsizetype>(1, theirs.size()));
    state.counters["ours_exact_frames"] = double(exactFrames(ours, sprite, percent));
    state.counters["imagemagick_exact_frames"] = double(exactFrames(theirs, sprite, percent));
    state.SetLabel("64 frames of 256x256");
}
BENCHMARK(BM_GifVersusImageMagick)
    ->Arg(100)
    ->Arg(400)
    ->UseManualTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

// A 64-frame sheet in an 8-column grid at 400 %, with its JSON metadata.
void BM_SpriteSheetGrid400WithJson(benchmark::State& state) {
    const Sprite sprite = benchAnimation(state.range(0));
    SpriteSheetService::Options options;
    options.layout = SpriteSheetLayout::grid;
    options.columns = 8;
    options.percent = 400;
    options.padding = 1;
    options.includeMetadata = true;
    qint64 bytes = 0;
    for (auto _ : state) {
        const auto sheet = SpriteSheetService::sheet(sprite, options);
        bytes = sheet.data.size() + sheet.metadata->size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["bytes"] = double(bytes);
    const QString target = state.range(0) == 256 ? "; target <= 1.5 s CPU" : "";
    state.SetLabel(QString("64 frames of %1x%1%2").arg(state.range(0)).arg(target).toStdString());
}
BENCHMARK(BM_SpriteSheetGrid400WithJson)
    ->Arg(64)
    ->Arg(256)
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

} // namespace
