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

// Frames, loop and durations are checked through Pillow below; here what a strict reader
// also demands: checksums, sequence numbers and the first frame as the default image.
TEST(ApngService, ChunksAreNumberedAndChecked) {
    const QByteArray file = ApngService::data(changingAnimation(9, 4), 100);
    ASSERT_TRUE(file.startsWith("\x89PNG\r\n\x1A\n"));
    const QList<Chunk> list = chunks(file);
    ASSERT_GE(list.size(), 4);
    EXPECT_EQ(list.last().type, "IEND");
    EXPECT_EQ(list[1].type, "acTL");
    quint32 sequence = 0;
    for (const Chunk& chunk : list) {
        EXPECT_TRUE(chunk.crcMatches) << chunk.type.constData();
        if (chunk.type == "fcTL" || chunk.type == "fdAT") {
            EXPECT_EQ(be32(chunk.data, 0), sequence++);
        } else if (chunk.type == "IDAT") {
            EXPECT_EQ(sequence, 1u) << "the first frame is the default image";
        }
    }
    EXPECT_EQ(sequence, 9u); // five frame controls and four frames of data
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
