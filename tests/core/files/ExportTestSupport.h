#pragma once

#include "PixelRenderer.h"
#include "Sprite.h"
#include "TestSupport.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QList>
#include <QtEndian>
#include <cstring>
#include <functional>
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <optional>
#include <zlib.h>

namespace kestrin::test {

// A blank sprite with frameCount frames of the given durations (100 ms when not given).
inline Sprite animation(qint64 width, qint64 height, qint64 frameCount,
                        const QList<qint64>& durations = {}) {
    Sprite sprite = Sprite::blank(width, height);
    for (qint64 f = 1; f < frameCount; ++f)
        sprite.insertFrame(f);
    for (qint64 f = 0; f < durations.size() && f < frameCount; ++f)
        sprite.frames[f].duration = durations[f];
    return sprite;
}

inline qint64 addLayer(Sprite& sprite, const QString& name) {
    sprite.layers.append(Layer(name, sprite.frames.size()));
    return sprite.layers.size() - 1;
}

inline void fill(Sprite& sprite, qint64 layer, qint64 frame, const PixelRect& rect, quint32 word) {
    sprite.ensureCel(layer, frame);
    Cel& cel = *sprite.layers[layer].cels[frame];
    for (qint64 y = rect.y; y < rect.bottom(); ++y)
        for (qint64 x = rect.x; x < rect.right(); ++x)
            cel.setWordAt(y * cel.width + x, word);
}

inline void paint(Sprite& sprite, qint64 layer, qint64 frame, PixelPoint point, quint32 word) {
    fill(sprite, layer, frame, PixelRect::pixel(point), word);
}

// What a still export of the frame should hold: the straight composite, scaled.
inline QImage expectedImage(const Sprite& sprite, qint64 frame, qint64 percent) {
    const QList<quint32> straight =
        PixelRenderer::unpremultiply(PixelRenderer::composite(sprite, frame));
    return PixelRenderer::scaled(
        PixelRenderer::makeStraightImage(straight, sprite.width, sprite.height), percent);
}

// Frames with every kind of change: a moving pixel, a pixel that turns transparent again, a
// repeated frame, translucent pixels either side of the GIF threshold, a hidden layer and a
// half-opaque layer.
inline Sprite changingAnimation(qint64 width, qint64 height) {
    Sprite sprite = animation(width, height, 5, {100, 250, 40, 10, 1234});
    for (qint64 f = 0; f < 5; ++f) {
        fill(sprite, 0, f, {0, 0, width, 1}, 0xFF203040);
        paint(sprite, 0, f, {f % width, height - 1}, 0xFFFF0000);
    }
    paint(sprite, 0, 0, {width - 1, 1}, 0xFF00FF00);
    sprite.layers[0].cels[3] = sprite.layers[0].cels[2];
    paint(sprite, 0, 4, {0, 1}, 0x90FFFFFF); // drawn opaque in a GIF
    paint(sprite, 0, 4, {1, 1}, 0x70FFFFFF); // transparent in a GIF
    const qint64 hidden = addLayer(sprite, "Hidden");
    sprite.layers[hidden].isVisible = false;
    fill(sprite, hidden, 2, sprite.bounds(), 0xFFFFFF00);
    const qint64 glaze = addLayer(sprite, "Glaze");
    sprite.layers[glaze].opacity = 0.75;
    paint(sprite, glaze, 1, {0, 2}, 0xFF0000FF);
    return sprite;
}

// The first layer's cel words of every frame, and what every frame shows, as straight words.
inline QList<QList<quint32>> frameWords(const Sprite& sprite) {
    QList<QList<quint32>> frames;
    for (qint64 f = 0; f < sprite.frames.size(); ++f)
        frames.append(sprite.layers[0].cels[f]->words());
    return frames;
}

inline QList<QList<quint32>> composites(const Sprite& sprite) {
    QList<QList<quint32>> frames;
    for (qint64 f = 0; f < sprite.frames.size(); ++f)
        frames.append(words(expectedImage(sprite, f, 100)));
    return frames;
}

inline QString writtenFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    return path;
}

inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The message of the Error the action throws, or "(no error)".
template <typename Error> QString messageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& error) {
        return error.message();
    }
    return QStringLiteral("(no error)");
}

// A PNG chunk with its length and checksum.
inline QByteArray pngChunk(const char* type, const QByteArray& data) {
    QByteArray bytes(4, '\0');
    qToBigEndian(quint32(data.size()), bytes.data());
    bytes += QByteArray(type, 4) + data;
    QByteArray crc(4, '\0');
    qToBigEndian(quint32(crc32(0, reinterpret_cast<const Bytef*>(bytes.constData() + 4),
                               uInt(bytes.size() - 4))),
                 crc.data());
    return bytes + crc;
}

// The file with chunks put in right after its header, as other programs tag files.
inline QByteArray withChunksAfterHeader(const QByteArray& png, const QByteArray& chunks) {
    return png.left(8 + 25) + chunks + png.mid(8 + 25);
}

// A PNG of only a signature and header chunks: any size, no pixels to decode.
inline QByteArray pngHeader(quint32 width, quint32 height, std::optional<quint32> frames = {}) {
    QByteArray header(8, '\0');
    qToBigEndian(width, header.data());
    qToBigEndian(height, header.data() + 4);
    QByteArray bytes = QByteArray("\x89PNG\r\n\x1A\n", 8) +
                       pngChunk("IHDR", header + QByteArray("\x08\x06\0\0\0", 5));
    if (frames) {
        QByteArray control(8, '\0');
        qToBigEndian(*frames, control.data());
        bytes += pngChunk("acTL", control);
    }
    return bytes;
}

// The image in a file format Qt writes ("png", "jpeg", "bmp").
inline QByteArray encodedImage(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer device(&bytes);
    device.open(QIODevice::WriteOnly);
    image.save(&device, format);
    return bytes;
}

inline QImage decodedImage(const QByteArray& bytes) {
    return QImage::fromData(bytes).convertToFormat(QImage::Format_ARGB32);
}

// Qt's own icon reader loses precision on translucent pixels, so icons are read here: the
// one 32-bit bottom-up DIB (or embedded PNG) of a single-image ICO.
inline std::optional<QImage> decodedIcon(const QByteArray& bytes) {
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    if (bytes.size() < 22 || qFromLittleEndian<quint16>(data + 2) != 1 ||
        qFromLittleEndian<quint16>(data + 4) != 1)
        return std::nullopt;
    const quint32 offset = qFromLittleEndian<quint32>(data + 18);
    if (offset + 40 > quint32(bytes.size()))
        return std::nullopt;
    if (bytes.mid(offset, 4) == "\x89PNG")
        return decodedImage(bytes.mid(offset));
    const uchar* header = data + offset;
    const qint32 width = qFromLittleEndian<qint32>(header + 4);
    const qint32 height = qFromLittleEndian<qint32>(header + 8) / 2; // colour and mask halves
    if (qFromLittleEndian<quint16>(header + 14) != 32 ||
        offset + 40 + qint64(width) * height * 4 > bytes.size())
        return std::nullopt;
    QImage image(width, height, QImage::Format_ARGB32);
    const uchar* pixels = header + 40;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y,
                           qFromLittleEndian<quint32>(pixels + ((height - 1 - y) * width + x) * 4));
    return image;
}

// A GIF read back with giflib, and what a viewer shows after each image.
struct DecodedGif {
    qint64 width = 0;
    qint64 height = 0;
    std::optional<qint64> loopCount;
    QList<qint64> delays;        // hundredths of a second
    QList<int> colorCounts;      // colour map entries of each image
    QList<QList<quint32>> shown; // opaque 0xFFRRGGBB words or 0, per image, over two loops
};

inline int readFromBytes(GifFileType* gif, GifByteType* into, int length) {
    auto* source = static_cast<QByteArray*>(gif->UserData);
    const int count = int(std::min<qsizetype>(length, source->size()));
    std::memcpy(into, source->constData(), size_t(count));
    source->remove(0, count);
    return count;
}

inline std::optional<qint64> netscapeLoopCount(const SavedImage& image) {
    for (int i = 0; i + 1 < image.ExtensionBlockCount; ++i) {
        const ExtensionBlock& block = image.ExtensionBlocks[i];
        const ExtensionBlock& next = image.ExtensionBlocks[i + 1];
        if (block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11 &&
            std::memcmp(block.Bytes, "NETSCAPE2.0", 11) == 0 && next.ByteCount == 3 &&
            next.Bytes[0] == 1)
            return next.Bytes[1] | (next.Bytes[2] << 8);
    }
    return std::nullopt;
}

// Draws image i over the canvas, records it, then disposes of it.
inline void showImage(const GifFileType* gif, int i, const GraphicsControlBlock& control,
                      QList<quint32>& canvas, QList<QList<quint32>>& shown) {
    const SavedImage& image = gif->SavedImages[i];
    const GifImageDesc& desc = image.ImageDesc;
    const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    for (int y = 0; y < desc.Height; ++y)
        for (int x = 0; x < desc.Width; ++x) {
            const int index = image.RasterBits[y * desc.Width + x];
            if (index == control.TransparentColor)
                continue;
            const GifColorType c = map->Colors[index];
            canvas[(desc.Top + y) * gif->SWidth + desc.Left + x] =
                0xFF000000u | (quint32(c.Red) << 16) | (quint32(c.Green) << 8) | c.Blue;
        }
    shown.append(canvas);
    if (control.DisposalMode == DISPOSE_BACKGROUND)
        for (int y = 0; y < desc.Height; ++y)
            std::fill_n(canvas.begin() + (desc.Top + y) * gif->SWidth + desc.Left, desc.Width, 0u);
}

inline std::optional<DecodedGif> decodedGif(QByteArray bytes) {
    DecodedGif result;
    int error = 0;
    GifFileType* gif = DGifOpen(&bytes, readFromBytes, &error);
    if (!gif)
        return std::nullopt;
    if (DGifSlurp(gif) != GIF_OK || gif->ImageCount < 1) {
        DGifCloseFile(gif, &error);
        return std::nullopt;
    }
    result.width = gif->SWidth;
    result.height = gif->SHeight;
    result.loopCount = netscapeLoopCount(gif->SavedImages[0]);
    QList<quint32> canvas(gif->SWidth * gif->SHeight, 0u);
    for (int pass = 0; pass < 2; ++pass)
        for (int i = 0; i < gif->ImageCount; ++i) {
            GraphicsControlBlock control{};
            control.TransparentColor = NO_TRANSPARENT_COLOR;
            DGifSavedExtensionToGCB(gif, i, &control);
            if (pass == 0) {
                const ColorMapObject* map = gif->SavedImages[i].ImageDesc.ColorMap;
                result.delays.append(control.DelayTime);
                result.colorCounts.append(map ? map->ColorCount : 0);
            }
            showImage(gif, i, control, canvas, result.shown);
        }
    DGifCloseFile(gif, &error);
    return result;
}

// What a GIF viewer should show for the frame: the scaled composite with alpha below 128
// transparent and everything else opaque in its straight colour.
inline QList<quint32> expectedGifFrame(const Sprite& sprite, qint64 frame, qint64 percent) {
    const QImage image =
        PixelRenderer::scaled(PixelRenderer::makeImage(PixelRenderer::composite(sprite, frame),
                                                       sprite.width, sprite.height),
                              percent)
            .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QList<quint32> premultiplied;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const quint32*>(image.constScanLine(y));
        premultiplied.append(QList<quint32>(row, row + image.width()));
    }
    QList<quint32> pixels = PixelRenderer::unpremultiply(premultiplied);
    for (quint32& word : pixels)
        word = (word >> 24) < 128 ? 0 : word | 0xFF000000u;
    return pixels;
}

} // namespace kestrin::test
