#include "ApngService.h"
#include "ExportError.h"
#include "ExportTestSupport.h"
#include "ExternalDecoders.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <zlib.h>

using namespace kestrin::test;

namespace {

struct Chunk {
    QByteArray type;
    QByteArray data;
    bool crcMatches = false;
};

quint32 be32(const QByteArray& data, qsizetype at) {
    return qFromBigEndian<quint32>(data.constData() + at);
}

quint16 be16(const QByteArray& data, qsizetype at) {
    return qFromBigEndian<quint16>(data.constData() + at);
}

QList<Chunk> chunks(const QByteArray& file) {
    QList<Chunk> result;
    for (qsizetype at = 8; at + 12 <= file.size();) {
        const qsizetype length = be32(file, at);
        Chunk chunk{file.mid(at + 4, 4), file.mid(at + 8, length)};
        const auto* typed = reinterpret_cast<const Bytef*>(file.constData() + at + 4);
        chunk.crcMatches = crc32(0, typed, uInt(length + 4)) == be32(file, at + 8 + length);
        result.append(chunk);
        at += 12 + length;
    }
    return result;
}

} // namespace

TEST(ApngService, ChunksAreNumberedCheckedAndCropped) {
    const Sprite sprite = changingAnimation(9, 4);
    const QByteArray file = ApngService::data(sprite, 100);
    ASSERT_TRUE(file.startsWith("\x89PNG\r\n\x1A\n"));
    const QList<Chunk> list = chunks(file);
    ASSERT_GE(list.size(), 4);
    EXPECT_EQ(list.first().type, "IHDR");
    EXPECT_EQ(list.last().type, "IEND");
    EXPECT_EQ(list[1].type, "acTL");
    EXPECT_EQ(be32(list[1].data, 0), 5u); // frames
    EXPECT_EQ(be32(list[1].data, 4), 0u); // loops forever

    quint32 sequence = 0;
    QList<PixelRect> rects;
    QList<QPair<quint16, quint16>> delays;
    bool defaultImageSeen = false;
    for (const Chunk& chunk : list) {
        EXPECT_TRUE(chunk.crcMatches) << chunk.type.constData();
        if (chunk.type == "fcTL") {
            EXPECT_EQ(be32(chunk.data, 0), sequence++);
            rects.append({be32(chunk.data, 12), be32(chunk.data, 16), be32(chunk.data, 4),
                          be32(chunk.data, 8)});
            delays.append({be16(chunk.data, 20), be16(chunk.data, 22)});
            EXPECT_EQ(chunk.data[24], 0); // dispose: none
            EXPECT_EQ(chunk.data[25], 0); // blend: source
        } else if (chunk.type == "fdAT") {
            EXPECT_EQ(be32(chunk.data, 0), sequence++);
            EXPECT_TRUE(defaultImageSeen);
        } else if (chunk.type == "IDAT") {
            EXPECT_EQ(rects.size(), 1) << "the first frame is the default image";
            defaultImageSeen = true;
        }
    }
    ASSERT_EQ(rects.size(), 5);
    EXPECT_EQ(rects[0], PixelRect::canvas(9, 4));
    // Frame 1: the red pixel moves from x 0 to 1 on the last row, the green one goes, the
    // glaze appears at (0, 2).
    EXPECT_EQ(rects[1], PixelRect({0, 1, 9, 3}));
    EXPECT_EQ(rects[3], PixelRect({0, 0, 1, 1})); // unchanged: one pixel, as it was
    const QList<QPair<quint16, quint16>> fractions = {
        {1, 10}, {1, 4}, {1, 25}, {1, 100}, {617, 500}};
    EXPECT_EQ(delays, fractions);
    for (const auto& [milliseconds, numerator, denominator] :
         QList<std::tuple<qint64, quint16, quint16>>{
             {1001, 1001, 1000}, {65535, 13107, 200}, {70'001, 70, 1}, {99'999'999, 65535, 1}}) {
        const ApngWriter::Delay delay = ApngService::delay(milliseconds);
        EXPECT_EQ(QPair(delay.numerator, delay.denominator), QPair(numerator, denominator))
            << milliseconds;
    }
}

TEST(ApngService, RefusesWhatCannotBeWrittenAndShowsFrameOneWithoutAnimation) {
    const Sprite sprite = changingAnimation(7, 3);
    EXPECT_EQ(words(decodedImage(ApngService::data(sprite, 200))),
              words(expectedImage(sprite, 0, 200)));
    Sprite none = animation(4, 4, 1);
    none.frames.clear();
    EXPECT_THROW(ApngService::data(none, 100), ExportError);
    try {
        ApngService::data(animation(4096, 8, 2), 500);
        ADD_FAILURE() << "20480 px wide was written";
    } catch (const ExportError& error) {
        EXPECT_EQ(error.kind(), ExportError::Kind::tooLarge);
    }
}

TEST(ApngService, PillowShowsEveryFrameExactly) {
    const auto python = pythonWithPillow();
    if (!python)
        GTEST_SKIP() << "Pillow is not installed (Debian package python3-pil)";
    QTemporaryDir folder;
    for (qint64 width : {1, 2, 9, 17}) {
        const Sprite sprite = changingAnimation(width, 4);
        for (qint64 percent : {50, 100, 300}) {
            const QString path =
                writtenFile(folder.filePath("a.png"), ApngService::data(sprite, percent));
            const auto decoded = decodedWithPillow(*python, path);
            ASSERT_TRUE(decoded.has_value()) << "Pillow refused width " << width;
            EXPECT_EQ(decoded->loop, 0);
            EXPECT_EQ(decoded->durations, QList<double>({100, 250, 40, 10, 1234}));
            for (qint64 f = 0; f < 5; ++f)
                EXPECT_EQ(decoded->frames.value(f), words(expectedImage(sprite, f, percent)))
                    << "width " << width << " at " << percent << "%, frame " << f;
        }
    }
}
