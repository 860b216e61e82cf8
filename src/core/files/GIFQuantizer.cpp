#include "GIFQuantizer.h"

#include "ExportError.h"

#include <libimagequant.h>
#include <memory>

namespace {

// Colour → index for the exact path: open addressing over a table that is never more than
// half full, since it gives up past exactColorLimit colours.
class ColorTable {
public:
    static constexpr int noRoom = -1;

    // The colour's index, adding it when new; noRoom once the limit is passed.
    int indexOf(quint32 color) {
        quint32 slot = (color * 2654435761u) >> (32 - bits);
        while (keys[slot] != 0) {
            if (keys[slot] == color)
                return values[slot];
            slot = (slot + 1) & (size - 1);
        }
        if (colors.size() >= GIFQuantizer::exactColorLimit)
            return noRoom;
        keys[slot] = color;
        values[slot] = int(colors.size());
        colors.append(color & 0xFFFFFFu);
        return values[slot];
    }

    QList<quint32> colors;

private:
    static constexpr int bits = 9;
    static constexpr quint32 size = 1u << bits;
    quint32 keys[size] = {};
    int values[size] = {};
};

std::optional<GIFQuantizer::Indexed> exactly(const QList<quint32>& pixels,
                                             bool needsTransparentIndex) {
    GIFQuantizer::Indexed result;
    result.indices = QByteArray(pixels.size(), Qt::Uninitialized);
    auto* out = reinterpret_cast<uchar*>(result.indices.data());
    auto table = std::make_unique<ColorTable>();
    const quint32* in = pixels.constData();
    quint32 previous = 0;
    int previousIndex = -1;
    bool transparent = false;
    for (qint64 i = 0; i < pixels.size(); ++i) {
        const quint32 word = in[i];
        if (word == 0) {
            transparent = true;
            out[i] = 0xFF; // patched below once the opaque colours are counted
            continue;
        }
        if (word != previous || previousIndex < 0) {
            previousIndex = table->indexOf(word);
            if (previousIndex == ColorTable::noRoom)
                return std::nullopt;
            previous = word;
        }
        out[i] = uchar(previousIndex);
    }
    result.colors = table->colors;
    if (transparent || needsTransparentIndex) {
        result.transparentIndex = int(result.colors.size());
        result.colors.append(0);
        for (qint64 i = 0; i < pixels.size(); ++i)
            if (in[i] == 0)
                out[i] = uchar(result.transparentIndex);
    }
    return result;
}

struct LiqDeleter {
    void operator()(liq_attr* attr) const { liq_attr_destroy(attr); }
    void operator()(liq_image* image) const { liq_image_destroy(image); }
    void operator()(liq_result* result) const { liq_result_destroy(result); }
};
template <typename T> using LiqPointer = std::unique_ptr<T, LiqDeleter>;

// libimagequant reads bytes in R, G, B, A order; transparent pixels all become one colour.
QByteArray rgbaBytes(const QList<quint32>& pixels) {
    QByteArray bytes(pixels.size() * 4, Qt::Uninitialized);
    auto* out = reinterpret_cast<uchar*>(bytes.data());
    for (quint32 word : pixels) {
        *out++ = uchar(word >> 16);
        *out++ = uchar(word >> 8);
        *out++ = uchar(word);
        *out++ = uchar(word >> 24);
    }
    return bytes;
}

GIFQuantizer::Indexed reduced(const QList<quint32>& pixels, qint64 width, qint64 height,
                              bool needsTransparentIndex) {
    const QByteArray rgba = rgbaBytes(pixels);
    LiqPointer<liq_attr> attr(liq_attr_create());
    const int colorLimit = needsTransparentIndex ? 255 : 256; // room for the transparent entry
    if (!attr || liq_set_max_colors(attr.get(), colorLimit) != LIQ_OK)
        throw ExportError::renderFailed();
    LiqPointer<liq_image> image(
        liq_image_create_rgba(attr.get(), rgba.constData(), int(width), int(height), 0));
    liq_result* rawResult = nullptr;
    if (!image || liq_image_quantize(image.get(), attr.get(), &rawResult) != LIQ_OK)
        throw ExportError::renderFailed();
    LiqPointer<liq_result> result(rawResult);
    liq_set_dithering_level(result.get(), 0);
    GIFQuantizer::Indexed indexed;
    indexed.indices = QByteArray(pixels.size(), Qt::Uninitialized);
    if (liq_write_remapped_image(result.get(), image.get(), indexed.indices.data(),
                                 size_t(indexed.indices.size())) != LIQ_OK)
        throw ExportError::renderFailed();
    const liq_palette* palette = liq_get_palette(result.get());
    for (unsigned int i = 0; i < palette->count; ++i) {
        const liq_color& c = palette->entries[i];
        if (c.a < 128 && indexed.transparentIndex < 0)
            indexed.transparentIndex = int(i);
        indexed.colors.append((quint32(c.r) << 16) | (quint32(c.g) << 8) | c.b);
    }
    return indexed;
}

} // namespace

namespace GIFQuantizer {

Indexed indexed(const QList<quint32>& pixels, qint64 width, qint64 height,
                bool needsTransparentIndex) {
    if (width < 1 || height < 1 || pixels.size() != width * height)
        throw ExportError::renderFailed();
    if (auto exact = exactly(pixels, needsTransparentIndex))
        return *exact;
    Indexed result = reduced(pixels, width, height, needsTransparentIndex);
    if (needsTransparentIndex && result.transparentIndex < 0) {
        result.transparentIndex = int(result.colors.size());
        result.colors.append(0);
    }
    return result;
}

} // namespace GIFQuantizer
