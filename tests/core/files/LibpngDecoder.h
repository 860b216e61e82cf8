#pragma once

#include <QByteArray>
#include <QList>
#include <cstring>
#include <optional>
#include <png.h>

// libpng as an independent second decoder for the PNG files Kestrin writes.
namespace kestrin::test {

struct PngReadCursor {
    const QByteArray* bytes;
    qsizetype offset;
};

inline void readPngBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* cursor = static_cast<PngReadCursor*>(png_get_io_ptr(png));
    if (cursor->offset + qsizetype(length) > cursor->bytes->size())
        png_error(png, "truncated");
    std::memcpy(data, cursor->bytes->constData() + cursor->offset, length);
    cursor->offset += qsizetype(length);
}

// libpng as the independent decoder: the file as 0xAARRGGBB words, nothing when it refuses it.
inline std::optional<QList<quint32>> libpngWords(const QByteArray& bytes, qint64 width,
                                                 qint64 height) {
    PngReadCursor cursor{&bytes, 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    QList<quint32> words(width * height);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return std::nullopt;
    }
    png_set_read_fn(png, &cursor, readPngBytes);
    png_read_info(png, info);
    if (png_get_image_width(png, info) != width || png_get_image_height(png, info) != height ||
        png_get_color_type(png, info) != PNG_COLOR_TYPE_RGB_ALPHA ||
        png_get_bit_depth(png, info) != 8)
        png_error(png, "not the expected layout");
    png_set_bgr(png);
    for (qint64 y = 0; y < height; ++y)
        png_read_row(png, reinterpret_cast<png_bytep>(words.data() + y * width), nullptr);
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return words;
}

} // namespace kestrin::test
