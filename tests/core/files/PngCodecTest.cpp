#include "PngCodec.h"
#include "CelPng.h"
#include "ExportTestSupport.h"
#include "LibpngDecoder.h"

#include <gtest/gtest.h>
#include <zlib.h>

using namespace kestrin::test;

namespace {

// The codec on flat row-major lists, rows stride words apart.
QByteArray encodeWords(const QList<quint32>& words, qint64 width, qint64 height, qint64 stride) {
    return PngCodec::encode(width, height,
                            [&](qint64 y) { return words.constData() + y * stride; });
}

PngCodec::Decoded decodeInto(const QByteArray& bytes, qint64 width, qint64 height,
                             QList<quint32>& words) {
    return PngCodec::decode(bytes, width, height,
                            [&](qint64 y) { return words.data() + y * width; });
}

// A zTXt chunk of a few kilobytes that inflates to 64 MiB.
QByteArray textBomb() {
    const QByteArray zeros(64 << 20, '\0');
    uLongf size = compressBound(uLong(zeros.size()));
    QByteArray packed(qsizetype(size), '\0');
    compress2(reinterpret_cast<Bytef*>(packed.data()), &size,
              reinterpret_cast<const Bytef*>(zeros.constData()), uLong(zeros.size()), 9);
    packed.truncate(qsizetype(size));
    return pngChunk("zTXt", QByteArray("Comment") + '\0' + '\0' + packed);
}

} // namespace

TEST(PngCodec, EveryWordComesBackAndLibpngReadsTheSameFile) {
    for (const qint64 width : awkwardWidths) {
        for (const qint64 height : {1, 3, 16}) {
            SCOPED_TRACE(QStringLiteral("%1 x %2").arg(width).arg(height).toStdString());
            QList<quint32> pixels = randomPixels(width * height, quint32(width * 7 + height));
            for (qint64 i = 0; i < pixels.size(); i += 3) // flat runs, where the filters matter
                pixels[i] = i % 2 ? 0u : 0x80FF0000u;
            const QByteArray png = encodeWords(pixels, width, height, width);
            ASSERT_FALSE(png.isEmpty());
            QList<quint32> decoded(width * height);
            ASSERT_EQ(decodeInto(png, width, height, decoded), PngCodec::Decoded::done);
            EXPECT_EQ(decoded, pixels);
            EXPECT_EQ(libpngWords(png, width, height), pixels);
        }
    }
}

TEST(PngCodec, FilesFromOtherWritersDecodeWithEveryFilter) {
    // libpng (through Qt) picks Average and Paeth rows too; our reader must undo them all.
    QImage image(37, 23, QImage::Format_ARGB32);
    QRandomGenerator random(9);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y,
                           (x * 7 + y * 3) % 5 ? qRgba(x * 6, y * 11, (x ^ y) * 4, 255)
                                               : random.generate());
    const QByteArray png = PixelRenderer::pngData(image);
    QList<quint32> decoded(37 * 23);
    ASSERT_EQ(decodeInto(png, 37, 23, decoded), PngCodec::Decoded::done);
    EXPECT_EQ(decoded, words(image));
}

TEST(PngCodec, ExtrasAreSkippedUnreadAndBrokenFilesRefused) {
    const QList<quint32> pixels = randomPixels(8 * 4, 5);
    const QByteArray png = encodeWords(pixels, 8, 4, 8);
    QList<quint32> out(8 * 4);

    // Text, a huge compressed comment and an unknown ancillary chunk are passed over.
    const QByteArray chatty =
        withChunksAfterHeader(png, pngChunk("tEXt", QByteArray("Author\0Someone", 14)) +
                                       textBomb() + pngChunk("teSt", "whatever"));
    ASSERT_EQ(decodeInto(chatty, 8, 4, out), PngCodec::Decoded::done);
    EXPECT_EQ(out, pixels);
    ASSERT_TRUE(CelPng::decode(chatty, 8, 4));

    // The same extras on a file only a general decoder handles are removed before it runs.
    QImage grey(8, 4, QImage::Format_Grayscale8);
    grey.fill(77);
    const QByteArray foreign = withChunksAfterHeader(PixelRenderer::pngData(grey), textBomb());
    EXPECT_EQ(decodeInto(foreign, 8, 4, out), PngCodec::Decoded::notMine);
    const auto cel = CelPng::decode(foreign, 8, 4);
    ASSERT_TRUE(cel);
    EXPECT_EQ(cel->pixel(3, 2), 0xFF4D4D4Du);
    EXPECT_LT(PngCodec::withoutExtras(foreign).size(), 1000);

    // The header's size is checked before anything is decompressed.
    EXPECT_EQ(decodeInto(png, 8, 5, out), PngCodec::Decoded::wrongSize);
    EXPECT_FALSE(CelPng::decode(png, 4, 8));

    struct Broken {
        const char* name;
        QByteArray bytes;
    };
    QByteArray badChecksum = png;
    badChecksum[badChecksum.indexOf("IDAT") + 6] ^= 0x40;
    // Damaged compressed data under a correct chunk checksum: the stream's own check fails.
    const qsizetype idat = png.indexOf("IDAT");
    const qsizetype idatSize = png.mid(idat - 4, 4).toHex().toLongLong(nullptr, 16);
    QByteArray stream = png.mid(idat + 4, idatSize);
    stream[stream.size() / 2] = char(stream[stream.size() / 2] ^ 0x5A);
    const QByteArray badStream =
        png.left(idat - 4) + pngChunk("IDAT", stream) + png.mid(idat + 4 + idatSize + 4);
    const QList<Broken> broken = {
        {"empty", {}},
        {"not a PNG", QByteArray("GIF89a, not quite")},
        {"truncated", png.left(png.size() - 20)},
        {"no end", png.left(png.indexOf("IEND") - 4)},
        {"bad data checksum", badChecksum},
        {"bad compressed data", badStream},
        {"unknown critical chunk", withChunksAfterHeader(png, pngChunk("QUUX", "x"))},
    };
    for (const Broken& b : broken) {
        SCOPED_TRACE(b.name);
        EXPECT_NE(decodeInto(b.bytes, 8, 4, out), PngCodec::Decoded::done);
        EXPECT_FALSE(CelPng::decode(b.bytes, 8, 4));
    }
}
