#include "ProjectPackage.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <ctime>
#include <png.h>
#include <vector>

// Saving and opening a large project beside libpng alone doing the same cel work on one
// thread at the same compression level (zlib's default, which Qt's PNG writer also uses).

namespace {

constexpr qint64 side = 2048;
constexpr int layerCount = 8;
constexpr int frameCount = 8;

// Flat-colour shapes on a transparent cel, different in every slot.
Cel flatCel(int layer, int frame) {
    Cel cel(side, side);
    const quint32 colour = 0xFF000000u | quint32(layer * 0x1F3D5B + frame * 0x294A6B);
    const qint64 left = (layer * 97 + frame * 131) % (side / 2);
    const qint64 top = (layer * 53 + frame * 71) % (side / 2);
    for (qint64 y = top; y < top + side / 2; ++y)
        std::fill_n(cel.mutableRow(y) + left, side / 2, colour);
    for (qint64 y = 0; y < side; y += 64)
        std::fill_n(cel.mutableRow(y), side, 0x80FFFFFFu);
    return cel;
}

// 8 layers × 8 frames, every other slot painted.
const Sprite& largeProject() {
    static const Sprite sprite = [] {
        Sprite s = Sprite::blank(side, side);
        for (int f = 1; f < frameCount; ++f)
            s.insertFrame(f);
        for (int l = 1; l < layerCount; ++l)
            s.layers.append(Layer(s.uniqueLayerName("Layer"), frameCount));
        for (int l = 0; l < layerCount; ++l) {
            for (int f = 0; f < frameCount; ++f) {
                if ((l + f) % 2 == 0)
                    s.layers[l].cels[f] = flatCel(l, f);
            }
        }
        return s;
    }();
    return sprite;
}

std::vector<const Cel*> paintedCels() {
    std::vector<const Cel*> cels;
    const Sprite& sprite = largeProject();
    for (qint64 l = 0; l < sprite.layers.size(); ++l) {
        for (qint64 f = 0; f < sprite.frames.size(); ++f) {
            if (const Cel* cel = sprite.celPointer(l, f))
                cels.push_back(cel);
        }
    }
    return cels;
}

void appendBytes(png_structp png, png_bytep data, png_size_t length) {
    static_cast<QByteArray*>(png_get_io_ptr(png))
        ->append(reinterpret_cast<const char*>(data), qsizetype(length));
}

// The cel's 0xAARRGGBB words as an 8-bit RGBA PNG, rows filtered as libpng chooses.
QByteArray libpngEncode(const Cel& cel) {
    QByteArray out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, appendBytes, nullptr);
    png_set_IHDR(png, info, png_uint_32(cel.width), png_uint_32(cel.height), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 6);
    png_write_info(png, info);
    png_set_bgr(png); // little-endian words are B, G, R, A in memory
    for (qint64 y = 0; y < cel.height; ++y)
        png_write_row(png,
                      reinterpret_cast<png_const_bytep>(cel.row(y)));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

struct ReadCursor {
    const QByteArray* bytes;
    qsizetype offset;
};

void readBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* cursor = static_cast<ReadCursor*>(png_get_io_ptr(png));
    if (cursor->offset + qsizetype(length) > cursor->bytes->size())
        png_error(png, "truncated");
    std::memcpy(data, cursor->bytes->constData() + cursor->offset, length);
    cursor->offset += qsizetype(length);
}

// Decodes straight into 0xAARRGGBB words.
QList<quint32> libpngDecode(const QByteArray& bytes) {
    ReadCursor cursor{&bytes, 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    QList<quint32> words;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return {};
    }
    png_set_read_fn(png, &cursor, readBytes);
    png_read_info(png, info);
    png_set_bgr(png);
    png_read_update_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    words.resize(qint64(width) * height);
    for (png_uint_32 y = 0; y < height; ++y)
        png_read_row(png, reinterpret_cast<png_bytep>(words.data() + qint64(y) * width), nullptr);
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return words;
}

struct Times {
    double real = 0; // seconds on the wall clock
    double cpu = 0;  // seconds of CPU, all threads of the process
};

double clockSeconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

template <typename Work> void addTimeOf(Times& times, const Work& work) {
    const double real = clockSeconds(CLOCK_MONOTONIC);
    const double cpu = clockSeconds(CLOCK_PROCESS_CPUTIME_ID);
    work();
    times.real += clockSeconds(CLOCK_MONOTONIC) - real;
    times.cpu += clockSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpu;
}

// Runs ours and the reference back to back in every iteration, so both meet the same load on
// a shared machine, and reports both times and the ratio of the wall-clock times.
template <typename Ours, typename Reference>
void runBeside(benchmark::State& state, const Ours& ours, const Reference& reference) {
    Times our;
    Times libpng;
    for (auto _ : state) {
        addTimeOf(our, ours);
        addTimeOf(libpng, reference);
    }
    const auto average = [&](double seconds) {
        return benchmark::Counter(seconds * 1000, benchmark::Counter::kAvgIterations);
    };
    state.counters["ours_ms"] = average(our.real);
    state.counters["ours_cpu_ms"] = average(our.cpu);
    state.counters["libpng_ms"] = average(libpng.real);
    state.counters["libpng_cpu_ms"] = average(libpng.cpu);
    state.counters["ratio"] = our.real / libpng.real;
    state.SetLabel("2048x2048, 8 layers x 8 frames, 32 painted cels");
}

qint64 celBytesIn(const QString& package) {
    qint64 bytes = 0;
    for (const QFileInfo& file : QDir(package + "/layers").entryInfoList(QDir::Files))
        bytes += file.size();
    return bytes;
}

// Target: ratio ≤ 0.5, and cel files at most 1.2 × libpng's (size_ratio). Every save goes to
// a new package, so nothing is carried over from an earlier one: all cels are encoded.
void BM_SaveBesideLibpngEncode(benchmark::State& state) {
    QTemporaryDir folder;
    const auto cels = paintedCels();
    int saves = 0;
    qint64 ourBytes = 0;
    qint64 libpngBytes = 0;
    runBeside(
        state,
        [&] {
            const QString path = folder.filePath(QStringLiteral("Large-%1.pixel").arg(++saves));
            ProjectPackage::writePackage(largeProject(), path);
            ourBytes = celBytesIn(path);
        },
        [&] {
            libpngBytes = 0;
            for (const Cel* cel : cels)
                libpngBytes += libpngEncode(*cel).size();
        });
    state.counters["size_ratio"] = double(ourBytes) / double(libpngBytes);
}
BENCHMARK(BM_SaveBesideLibpngEncode)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(3);

// Target: ratio ≤ 0.6. libpng decodes the very files a save writes, and first checks that
// this independent decoder reads back the words that were saved.
void BM_OpenBesideLibpngDecode(benchmark::State& state) {
    const Sprite& sprite = largeProject();
    QTemporaryDir folder;
    const QString path = folder.filePath("Large.pixel");
    ProjectPackage::writePackage(sprite, path);
    std::vector<QByteArray> files;
    for (qint64 l = 0; l < sprite.layers.size(); ++l) {
        for (qint64 f = 0; f < sprite.frames.size(); ++f) {
            const Cel* cel = sprite.celPointer(l, f);
            if (!cel)
                continue;
            QFile file(path + "/layers/" + ProjectPackage::celFileName(l, f));
            const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
            if (libpngDecode(bytes) != cel->words()) {
                state.SkipWithError("libpng reads other pixels than were saved");
                return;
            }
            files.push_back(bytes);
        }
    }
    runBeside(
        state, [&] { benchmark::DoNotOptimize(ProjectPackage::readPackage(path)); },
        [&] {
            for (const QByteArray& file : files)
                benchmark::DoNotOptimize(libpngDecode(file));
        });
}
BENCHMARK(BM_OpenBesideLibpngDecode)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(3);

// Target: ≤ 150 ms. Ctrl+S after one pixel changed, going round the painted cels (the first
// frame's cels also redraw the preview); the edit itself is not timed.
void BM_SaveAfterOnePixelChange(benchmark::State& state) {
    QTemporaryDir folder;
    const QString path = folder.filePath("Large.pixel");
    Sprite sprite = largeProject();
    ProjectPackage::writePackage(sprite, path);
    std::vector<std::pair<qint64, qint64>> painted;
    for (qint64 l = 0; l < sprite.layers.size(); ++l)
        for (qint64 f = 0; f < sprite.frames.size(); ++f)
            if (sprite.celPointer(l, f))
                painted.emplace_back(l, f);
    size_t turn = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const auto [l, f] = painted[turn++ % painted.size()];
        sprite.layers[l].cels[f]->setWordAt(qsizetype(turn * 4099 % (side * side)), sprite.layers[l].cels[f]->wordAt(qsizetype(turn * 4099 % (side * side))) ^ 0x00010101u);
        state.ResumeTiming();
        ProjectPackage::writePackage(sprite, path);
    }
    state.SetLabel("2048x2048, 8 layers x 8 frames, one pixel of one cel changed");
}
BENCHMARK(BM_SaveAfterOnePixelChange)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(16);

} // namespace
