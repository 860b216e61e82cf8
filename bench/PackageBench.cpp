#include "files/ProjectPackage.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <png.h>
#include <vector>

// Saving and opening a large project beside libpng alone doing the same cel work on one
// thread at the same compression level (zlib's default, which Qt's PNG writer also uses).
// Targets: save ≤ 0.75 × the libpng encode time, open ≤ 1.0 × the libpng decode time.

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
        std::fill_n(cel.pixels.data() + y * side + left, side / 2, colour);
    for (qint64 y = 0; y < side; y += 64)
        std::fill_n(cel.pixels.data() + y * side, side, 0x80FFFFFFu);
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
                      reinterpret_cast<png_const_bytep>(cel.pixels.constData() + y * cel.width));
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

void setLabel(benchmark::State& state) {
    state.SetLabel("2048x2048, 8 layers x 8 frames, 32 painted cels");
}

void BM_PackageSave(benchmark::State& state) {
    const Sprite& sprite = largeProject();
    QTemporaryDir folder;
    const QString path = folder.filePath("Large.pixel");
    for (auto _ : state)
        ProjectPackage::writePackage(sprite, path);
    setLabel(state);
}
BENCHMARK(BM_PackageSave)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(3);

void BM_LibpngEncodeCels(benchmark::State& state) {
    const auto cels = paintedCels();
    for (auto _ : state) {
        for (const Cel* cel : cels)
            benchmark::DoNotOptimize(libpngEncode(*cel));
    }
    setLabel(state);
}
BENCHMARK(BM_LibpngEncodeCels)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(3);

void BM_PackageOpen(benchmark::State& state) {
    QTemporaryDir folder;
    const QString path = folder.filePath("Large.pixel");
    ProjectPackage::writePackage(largeProject(), path);
    for (auto _ : state)
        benchmark::DoNotOptimize(ProjectPackage::readPackage(path));
    setLabel(state);
}
BENCHMARK(BM_PackageOpen)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(3);

// Decodes the very files a save writes, and checks on the way that an independent decoder
// reads the same words back.
void BM_LibpngDecodeCels(benchmark::State& state) {
    const Sprite& sprite = largeProject();
    const PackageTree tree = ProjectPackage::fileWrapper(sprite);
    std::vector<std::pair<const Cel*, QByteArray>> files;
    for (qint64 l = 0; l < sprite.layers.size(); ++l) {
        for (qint64 f = 0; f < sprite.frames.size(); ++f) {
            if (const Cel* cel = sprite.celPointer(l, f))
                files.emplace_back(cel, tree.entry(ProjectPackage::layersDirectoryName)
                                            ->entry(ProjectPackage::celFileName(l, f))
                                            ->contents());
        }
    }
    for (const auto& [cel, file] : files) {
        if (libpngDecode(file) != cel->pixels) {
            state.SkipWithError("libpng reads other pixels than were saved");
            return;
        }
    }
    for (auto _ : state) {
        for (const auto& [cel, file] : files)
            benchmark::DoNotOptimize(libpngDecode(file));
    }
    setLabel(state);
}
BENCHMARK(BM_LibpngDecodeCels)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(3);

} // namespace
