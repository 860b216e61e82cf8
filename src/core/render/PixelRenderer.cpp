#include "PixelRenderer.h"

#include "MemoryError.h"
#include "PixelBlending.h"

#include <QBuffer>
#include <QColorSpace>
#include <QImageWriter>
#include <QVarLengthArray>
#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

// Warm for the frames before, cool for the frames after.
constexpr quint32 warmTint = 0xFFFF4060;
constexpr quint32 coolTint = 0xFF4898FF;

// A layer taking part, with the band it last read from: regions are drawn row by row, and
// a band holds several rows.
struct LayerSource {
    const Cel* cel;
    quint32 weight;
    mutable const quint32* band = nullptr;
    mutable qint64 bandFirst = 0;
    mutable qint64 bandEnd = 0; // empty until the first row is read

    const quint32* rowIfWritten(qint64 y) const {
        if (y < bandFirst || y >= bandEnd)
            band = cel->bandOfRow(y, bandFirst, bandEnd);
        return band ? band + (y - bandFirst) * cel->width : nullptr;
    }
};
using LayerSources = QVarLengthArray<LayerSource, 16>;

struct Ghost {
    LayerSources layers;
    quint32 tint;
    quint32 weight;
};

// The layers of a frame that take part, bottom first. A cel of another size than the sprite is
// left out rather than read out of bounds.
LayerSources layerSources(const Sprite& sprite, qint64 frame) {
    LayerSources sources;
    for (qint64 i = 0; i < sprite.layers.size(); ++i) {
        const Cel* cel = sprite.celPointer(i, frame);
        const quint32 weight = PixelBlending::layerWeight(sprite.layers[i].opacity);
        if (!sprite.layers[i].isVisible || weight == 0 || !cel || cel->width != sprite.width ||
            cel->height != sprite.height)
            continue;
        sources.append({cel, weight});
    }
    return sources;
}

// The ghost frames in drawing order, without the ones that would not show.
QList<Ghost> ghosts(const Sprite& sprite, qint64 frame, const std::optional<OnionSkin>& onionSkin) {
    const qint64 frameCount = sprite.frames.size();
    QList<Ghost> result;
    if (!onionSkin || frameCount < 2)
        return result;
    // Offsets past the frame list never show; bounding them keeps a wild setting cheap.
    const OnionSkin bounded{std::min(onionSkin->framesBefore, frameCount),
                            std::min(onionSkin->framesAfter, frameCount), onionSkin->opacity};
    for (qint64 offset : bounded.offsets()) {
        const qint64 ghostFrame = frame + offset;
        if (ghostFrame < 0 || ghostFrame >= frameCount)
            continue; // no wrap-around
        const quint32 weight = PixelBlending::ghostWeight(onionSkin->opacity, offset);
        LayerSources layers = layerSources(sprite, ghostFrame);
        if (weight > 0 && !layers.isEmpty())
            result.append({std::move(layers), offset < 0 ? warmTint : coolTint, weight});
    }
    return result;
}

// Rows of a wide canvas lie far apart and are too short for the hardware to notice a stream,
// so a region narrower than the canvas asks for the rows it reads a little ahead of use.
class RowPrefetcher {
public:
    RowPrefetcher(const PixelRect& region, qint64 canvasWidth, const quint32* out,
                  const QList<Ghost>& ghostFrames, const LayerSources& current)
        : region(region), canvasWidth(canvasWidth) {
        if (region.width >= canvasWidth)
            return;
        output = out;
        for (const Ghost& ghost : ghostFrames)
            sources.append(ghost.layers.constData(), ghost.layers.size());
        sources.append(current.constData(), current.size());
        for (qint64 y = region.y; y < std::min(region.bottom(), region.y + rowsAhead); ++y)
            fetch(y);
    }

    // Called as row y is drawn.
    void advance(qint64 y) const {
        if (output)
            fetch(y + rowsAhead);
    }

private:
    static constexpr qint64 rowsAhead = 2;

    void fetch(qint64 y) const {
        if (y >= region.bottom())
            return;
        PixelBlending::prefetch(output + y * canvasWidth + region.x, region.width);
        for (const LayerSource& source : sources) {
            if (const quint32* words = source.rowIfWritten(y))
                PixelBlending::prefetch(words + region.x, region.width);
        }
    }

    PixelRect region;
    qint64 canvasWidth;
    const quint32* output = nullptr;
    QVarLengthArray<LayerSource, 64> sources; // copies: they follow rows ahead of the drawing
};

// The sources' words from (x, y) on, length of them; unwritten rows are transparent and are
// left out.
QVarLengthArray<PixelBlending::LayerRow, 16> layerRows(const LayerSources& sources, qint64 y,
                                                       qint64 x) {
    QVarLengthArray<PixelBlending::LayerRow, 16> rows;
    for (const LayerSource& source : sources) {
        if (const quint32* words = source.rowIfWritten(y))
            rows.append({words + x, source.weight});
    }
    return rows;
}

// Blends the sources over what the span holds.
void compositeSpan(const LayerSources& sources, qint64 y, qint64 x, quint32* span, qint64 length) {
    for (const PixelBlending::LayerRow& row : layerRows(sources, y, x))
        PixelBlending::blendRow(row.words, span, length, row.weight);
}

// The sources over transparency, whatever the span held.
void compositeSpanAlone(const LayerSources& sources, qint64 y, qint64 x, quint32* span,
                        qint64 length) {
    const auto rows = layerRows(sources, y, x);
    PixelBlending::compositeRow(rows.constData(), rows.size(), span, length);
}

// Calls visit(y, x, length) for runs of the region: one per row, or, when the region spans
// whole rows, runs across row ends that stay inside one band of rows, where every cel of the
// canvas keeps its rows contiguous. A band is about a second-level cache of destination, drawn
// over by every layer in turn.
template <typename Visit>
void forEachSpan(const PixelRect& region, qint64 canvasWidth, Visit visit) {
    if (region.x == 0 && region.width == canvasWidth) {
        const qint64 bandRows = Cel::bandRowsFor(canvasWidth);
        for (qint64 y = region.y; y < region.bottom();) {
            const qint64 end = std::min(region.bottom(), (y / bandRows + 1) * bandRows);
            visit(y, 0, (end - y) * canvasWidth);
            y = end;
        }
        return;
    }
    for (qint64 y = region.y; y < region.bottom(); ++y)
        visit(y, region.x, region.width);
}

// Nearest neighbour: each target pixel takes the source pixel under its centre; sourceRow(y)
// gives the words of source row y.
template <typename SourceRow>
QImage sampledNearest(SourceRow sourceRow, qint64 sourceWidth, qint64 sourceHeight, qint64 width,
                      qint64 height, QImage::Format format, const QColorSpace& space) {
    if (width > INT_MAX / 4 || height > INT_MAX)
        return {};
    QImage target = MemoryError::allocatedImage(width, height, format);
    target.setColorSpace(space);
    std::vector<qint64> columns(static_cast<size_t>(width));
    for (qint64 x = 0; x < width; ++x)
        columns[size_t(x)] = PixelRenderer::nearestSource(x, sourceWidth, width);
    for (qint64 y = 0; y < height; ++y) {
        const quint32* in = sourceRow(PixelRenderer::nearestSource(y, sourceHeight, height));
        auto* out = reinterpret_cast<quint32*>(target.scanLine(int(y)));
        for (qint64 x = 0; x < width; ++x)
            out[x] = in[columns[size_t(x)]];
    }
    return target;
}

// Straight and premultiplied words are copied as they are; other formats are drawn
// premultiplied first.
QImage drawnNearest(const QImage& image, qint64 width, qint64 height) {
    const QImage::Format format = image.format();
    if (image.isNull())
        return {};
    const QImage source =
        format == PixelRenderer::straightFormat || format == PixelRenderer::premultipliedFormat
            ? image
            : MemoryError::checkedImage(image.convertToFormat(PixelRenderer::premultipliedFormat));
    if (source.isNull())
        return {};
    const auto sourceRow = [&](qint64 y) {
        return reinterpret_cast<const quint32*>(source.constScanLine(int(y)));
    };
    return sampledNearest(sourceRow, source.width(), source.height(), width, height,
                          source.format(), source.colorSpace());
}

// max(1, round(side)) with halves away from zero; absurd sizes stay absurd but defined.
qint64 atLeastOne(double side) {
    return std::max<qint64>(1, qint64(std::round(std::min(side, double(INT_MAX)))));
}

void releaseWords(void* words) {
    delete static_cast<QList<quint32>*>(words);
}

// The image reads the list's storage, which stays alive and unchanged (lists copy on write)
// until the last copy of the image lets go.
QImage wrap(const QList<quint32>& words, qint64 width, qint64 height, QImage::Format format) {
    if (width <= 0 || height <= 0 || width > INT_MAX / 4 || height > INT_MAX ||
        words.size() != width * height)
        return {};
    auto* owner = new QList<quint32>(words);
    QImage image(reinterpret_cast<const uchar*>(owner->constData()), int(width), int(height),
                 qsizetype(width * 4), format, releaseWords, owner);
    if (image.isNull()) {
        delete owner;
        return {};
    }
    image.setColorSpace(QColorSpace::SRgb);
    return image;
}

using RowKernel = void (*)(const quint32*, quint32*, qint64);

QList<quint32> converted(const QList<quint32>& pixels, RowKernel kernel) {
    QList<quint32> result = MemoryError::unsetWords(pixels.size());
    kernel(pixels.constData(), result.data(), pixels.size());
    return result;
}

} // namespace

namespace PixelRenderer {

QList<quint32> composite(const Sprite& sprite, qint64 frame) {
    if (sprite.width <= 0 || sprite.height <= 0)
        return {};
    QList<quint32> buffer = MemoryError::unsetWords(sprite.width * sprite.height);
    const LayerSources sources = layerSources(sprite, frame);
    quint32* out = buffer.data();
    forEachSpan(sprite.bounds(), sprite.width, [&](qint64 y, qint64 x, qint64 length) {
        compositeSpanAlone(sources, y, x, out + y * sprite.width + x, length);
    });
    return buffer;
}

void composite(const Sprite& sprite, QList<quint32>& buffer, const PixelRect& rect, qint64 frame,
               const std::optional<OnionSkin>& onionSkin, QList<quint32>& scratch) {
    const PixelRect region = rect.intersection(sprite.bounds());
    const qint64 count = sprite.width * sprite.height;
    if (region.isEmpty() || buffer.size() != count)
        return;
    const QList<Ghost> ghostFrames = ghosts(sprite, frame, onionSkin);
    if (!ghostFrames.isEmpty() && scratch.size() != count)
        scratch = MemoryError::allocatedWords(count);
    const LayerSources current = layerSources(sprite, frame);
    quint32* out = buffer.data();
    // Ghost frames are composited into the front of the scratch buffer, one span at a time,
    // where the span stays in the cache.
    quint32* work = ghostFrames.isEmpty() ? nullptr : scratch.data();
    const RowPrefetcher prefetcher(region, sprite.width, out, ghostFrames, current);
    // Each pixel goes through every step on its own, so a span can take all of them in turn
    // while it is in the cache. The current frame always lies on top of its ghosts.
    forEachSpan(region, sprite.width, [&](qint64 y, qint64 x, qint64 length) {
        prefetcher.advance(y);
        quint32* target = out + y * sprite.width + x;
        if (ghostFrames.isEmpty()) {
            compositeSpanAlone(current, y, x, target, length);
            return;
        }
        std::fill_n(target, length, 0u);
        for (const Ghost& ghost : ghostFrames) {
            compositeSpanAlone(ghost.layers, y, x, work, length);
            PixelBlending::ghostRow(work, target, length, ghost.tint, ghost.weight);
        }
        compositeSpan(current, y, x, target, length);
    });
}

QList<quint32> premultiply(const QList<quint32>& pixels) {
    return converted(pixels, PixelBlending::premultiplyRow);
}

QList<quint32> unpremultiply(const QList<quint32>& pixels) {
    return converted(pixels, PixelBlending::unpremultiplyRow);
}

QImage makeImage(const QList<quint32>& premultiplied, qint64 width, qint64 height) {
    return wrap(premultiplied, width, height, premultipliedFormat);
}

QImage makeStraightImage(const QList<quint32>& straight, qint64 width, qint64 height) {
    return wrap(straight, width, height, straightFormat);
}

bool holdsSRgb(const QColorSpace& space) {
    static const QColorSpace gammaTagged(QColorSpace::Primaries::SRgb, 2.2f);
    return !space.isValid() || space == QColorSpace::SRgb || space == gammaTagged;
}

std::optional<Buffer> buffer(const QImage& image) {
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        return std::nullopt;
    QImage drawn = image;
    if (!holdsSRgb(drawn.colorSpace()))
        drawn.convertToColorSpace(QColorSpace::SRgb);
    // Straight all the way: a trip through premultiplied words would round semi-transparent
    // colours, so a copy → paste round trip would not be exact.
    if (drawn.format() != straightFormat)
        drawn = MemoryError::checkedImage(drawn.convertToFormat(straightFormat));
    const qint64 width = drawn.width();
    Buffer result{MemoryError::allocatedWords(width * drawn.height()), width, drawn.height()};
    quint32* out = result.pixels.data();
    for (int y = 0; y < drawn.height(); ++y)
        std::memcpy(out + y * width, drawn.constScanLine(y), size_t(width) * sizeof(quint32));
    for (quint32& word : result.pixels) {
        if ((word >> 24) == 0)
            word = 0; // an empty pixel is the word 0, whatever colour it hid
    }
    return result;
}

QByteArray pngData(const QImage& image) {
    if (image.isNull())
        return {};
    QByteArray bytes;
    QBuffer device(&bytes);
    device.open(QIODevice::WriteOnly);
    QImageWriter writer(&device, "png");
    return writer.write(image) ? bytes : QByteArray();
}

QImage scaled(const QImage& image, qint64 percent) {
    if (percent <= 0 || percent == 100 || image.isNull())
        return image;
    const auto side = [percent](qint64 length) {
        return atLeastOne(double(length) * double(percent) / 100.0);
    };
    return drawnNearest(image, side(image.width()), side(image.height()));
}

QImage thumbnail(const Cel& cel, qint64 maxSide) {
    const qint64 longer = std::max(cel.width, cel.height);
    if (longer <= maxSide)
        return makeStraightImage(cel.words(), cel.width, cel.height);
    // Sampled from the cel's rows: a big cel is never flattened for a small picture.
    const double factor = double(maxSide) / double(longer);
    return sampledNearest([&](qint64 y) { return cel.row(y); }, cel.width, cel.height,
                          atLeastOne(double(cel.width) * factor),
                          atLeastOne(double(cel.height) * factor), straightFormat,
                          QColorSpace::SRgb);
}

} // namespace PixelRenderer
