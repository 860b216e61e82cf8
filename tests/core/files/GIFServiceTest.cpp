#include "GIFService.h"
#include "ExportTestSupport.h"
#include "ExportError.h"

#include <QSet>
#include <gtest/gtest.h>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace kestrin::test;

namespace {

// Frames that exercise every kind of change between images: a moving pixel, a pixel that
// turns transparent again, an unchanged frame, translucent pixels either side of the
// transparency threshold, a hidden layer and a half-opaque layer.
Sprite changingAnimation(qint64 width, qint64 height) {
    Sprite sprite = animation(width, height, 5, {100, 250, 40, 40, 70});
    for (qint64 f = 0; f < 5; ++f) {
        fill(sprite, 0, f, {0, 0, width, 1}, 0xFF203040);
        paint(sprite, 0, f, {f % width, height - 1}, 0xFFFF0000);
    }
    paint(sprite, 0, 0, {width - 1, 1}, 0xFF00FF00);     // gone from frame 1 on
    sprite.layers[0].cels[3] = sprite.layers[0].cels[2]; // frame 3 repeats frame 2
    paint(sprite, 0, 4, {0, 1}, 0x90FFFFFF);             // drawn opaque
    paint(sprite, 0, 4, {1, 1}, 0x70FFFFFF);             // transparent
    const qint64 hidden = addLayer(sprite, "Hidden");
    sprite.layers[hidden].isVisible = false;
    fill(sprite, hidden, 2, sprite.bounds(), 0xFFFFFF00);
    const qint64 glaze = addLayer(sprite, "Glaze");
    sprite.layers[glaze].opacity = 0.75;
    paint(sprite, glaze, 1, {0, 2}, 0xFF0000FF);
    return sprite;
}

DecodedGif decoded(const Sprite& sprite, qint64 percent) {
    const auto gif = decodedGif(GIFService::data(sprite, percent));
    EXPECT_TRUE(gif.has_value());
    return gif.value_or(DecodedGif{});
}

} // namespace

TEST(GIFService, LoopsForeverWithEachFramesDelay) {
    const DecodedGif gif = decoded(animation(4, 4, 3, {100, 250, 40}), 100);
    EXPECT_EQ(gif.signature, "GIF89a");
    EXPECT_EQ(gif.loopCount, 0);
    EXPECT_EQ(gif.delays, QList<qint64>({10, 25, 4})); // identical frames stay separate images

    const DecodedGif single = decoded(animation(4, 4, 1, {1234}), 100);
    EXPECT_EQ(single.delays, QList<qint64>({123}));

    struct Case {
        qint64 milliseconds, hundredths;
    } cases[] = {{100, 10},          {44, 4}, {45, 5}, {10, 1}, {0, 0}, {655350, 65535},
                 {10'000'000, 65535}};
    for (const Case& c : cases)
        EXPECT_EQ(GIFService::delayHundredths(c.milliseconds), c.hundredths) << c.milliseconds;
}

TEST(GIFService, EveryImageShowsItsFrameOverTwoLoops) {
    for (qint64 width : {1, 2, 7, 9, 17}) {
        const Sprite sprite = changingAnimation(width, 4);
        for (qint64 percent : {25, 100, 300}) {
            const DecodedGif gif = decoded(sprite, percent);
            ASSERT_EQ(gif.shown.size(), 10) << width << " at " << percent;
            for (qint64 i = 0; i < 10; ++i)
                EXPECT_EQ(gif.shown[i], expectedGifFrame(sprite, i % 5, percent))
                    << "width " << width << " at " << percent << "%, image " << i;
        }
    }
}

TEST(GIFService, ScalesWithWholePixelBlocks) {
    Sprite sprite = animation(16, 16, 2);
    paint(sprite, 0, 0, {5, 7}, 0xFF123456);
    paint(sprite, 0, 1, {15, 15}, 0xFF654321);
    const DecodedGif gif = decoded(sprite, 300);
    EXPECT_EQ(gif.width, 48);
    EXPECT_EQ(gif.height, 48);
    const QList<quint32>& first = gif.shown[0];
    for (qint64 y = 0; y < 48; ++y)
        for (qint64 x = 0; x < 48; ++x) {
            const bool inBlock = x / 3 == 5 && y / 3 == 7;
            EXPECT_EQ(first[y * 48 + x], inBlock ? 0xFF123456u : 0u) << x << "," << y;
        }
    // Unchanged and transparent pixels keep later images small.
    EXPECT_EQ(gif.transparentIndex[0] >= 0, true);
}

TEST(GIFService, KeepsUpTo255ColoursExactlyAndReducesMore) {
    Sprite exact = animation(16, 16, 2);
    for (qint64 i = 0; i < 255; ++i)
        paint(exact, 0, 0, {i % 16, i / 16}, 0xFF000000u | quint32(i * 0x010305));
    paint(exact, 0, 1, {0, 0}, 0xFFFFFFFF);
    const DecodedGif kept = decoded(exact, 100);
    EXPECT_EQ(kept.colorCounts[0], 256); // 255 colours and the transparent pixel
    EXPECT_EQ(kept.shown[0], expectedGifFrame(exact, 0, 100));

    Sprite rich = animation(64, 64, 2);
    QSet<quint32> distinct;
    for (qint64 y = 0; y < 64; ++y)
        for (qint64 x = 0; x < 64; ++x) {
            const quint32 word = 0xFF000000u | quint32(x * 4) << 16 | quint32(y * 4) << 8 | 0x80;
            paint(rich, 0, 0, {x, y}, word);
            distinct.insert(word);
        }
    ASSERT_GT(distinct.size(), 255);
    const DecodedGif reduced = decoded(rich, 100);
    EXPECT_LE(reduced.colorCounts[0], 256);
    const QList<quint32> expected = expectedGifFrame(rich, 0, 100);
    qint64 worst = 0;
    for (qint64 i = 0; i < expected.size(); ++i) {
        const quint32 a = reduced.shown[0][i], b = expected[i];
        ASSERT_EQ(a >> 24, 0xFFu);
        for (int shift = 0; shift <= 16; shift += 8)
            worst = std::max<qint64>(worst,
                                     std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    }
    EXPECT_LE(worst, 24); // close, without dithering noise
}

TEST(GIFService, RefusesWhatCannotBeAGif) {
    Sprite noFrames = animation(4, 4, 1);
    noFrames.frames.clear();
    EXPECT_THROW(GIFService::data(noFrames, 100), ExportError);
    EXPECT_THROW(GIFService::data(Sprite{}, 100), ExportError);
    EXPECT_THROW(GIFService::data(animation(4000, 1, 2), 500), ExportError);

    EXPECT_EQ(GIFService::declaringGIF89a("GIF87a\x01\x02"), "GIF89a\x01\x02");
    EXPECT_EQ(GIFService::declaringGIF89a("GIF89a\x01"), "GIF89a\x01");
    EXPECT_EQ(GIFService::declaringGIF89a("GIF8"), "GIF8");
    EXPECT_EQ(GIFService::declaringGIF89a("\x89PNG"), "\x89PNG");
}

namespace {

// Each frame of a GIF as another decoder shows it, one line of 0xAARRGGBB words (with
// transparent pixels as 0) per frame; empty with the reason in skipped when it is missing.
struct OtherDecoder {
    const char* name;
    QStringList (*frames)(const QString& path, QString& skipped);
};

QString run(const QString& program, const QStringList& arguments, bool& ok) {
    QProcess process;
    process.start(program, arguments);
    ok = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
         process.exitCode() == 0;
    return QString::fromUtf8(process.readAllStandardOutput());
}

QStringList pillowFrames(const QString& path, QString& skipped) {
    static const char* script = R"(
import sys
from PIL import Image
image = Image.open(sys.argv[1])
for i in range(image.n_frames):
    image.seek(i)
    rgba = image.convert("RGBA")
    print(" ".join("%08x" % ((a << 24 | r << 16 | g << 8 | b) if a else 0)
                   for r, g, b, a in rgba.getdata()))
)";
    // Debian's python3-pil belongs to the system interpreter, whatever else is on the PATH.
    const QString python = QStandardPaths::findExecutable("python3", {"/usr/bin"}).isEmpty()
                               ? QStringLiteral("python3")
                               : QStringLiteral("/usr/bin/python3");
    bool ok = false;
    run(python, {"-c", "import PIL"}, ok);
    if (!ok) {
        skipped = "Pillow (python3-pil) is not installed";
        return {};
    }
    const QString out = run(python, {"-c", script, path}, ok);
    EXPECT_TRUE(ok) << "Pillow could not read the GIF";
    return out.split(u'\n', Qt::SkipEmptyParts);
}

QStringList imageMagickFrames(const QString& path, QString& skipped) {
    if (QStandardPaths::findExecutable("convert").isEmpty()) {
        skipped = "ImageMagick's convert is not installed";
        return {};
    }
    bool ok = false;
    const QString text = run("convert", {path, "-coalesce", "-depth", "8", "+adjoin", "txt:-"}, ok);
    EXPECT_TRUE(ok) << "ImageMagick could not read the GIF";
    // "# ImageMagick pixel enumeration: …" starts each frame; pixel lines end in a colour.
    QStringList frames;
    static const QRegularExpression pixel(R"(^\d+,\d+: \((\d+),(\d+),(\d+),(\d+)\))");
    for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts)) {
        if (line.startsWith('#')) {
            frames.append(QString());
            continue;
        }
        const QRegularExpressionMatch m = pixel.match(line);
        if (!m.hasMatch() || frames.isEmpty())
            continue;
        const quint32 a = m.captured(4).toUInt();
        const quint32 word = a ? (a << 24 | m.captured(1).toUInt() << 16 |
                                  m.captured(2).toUInt() << 8 | m.captured(3).toUInt())
                               : 0;
        frames.last() += (frames.last().isEmpty() ? "" : " ") +
                         QString::number(word, 16).rightJustified(8, u'0');
    }
    return frames;
}

} // namespace

TEST(GIFService, OtherDecodersShowPixelsThatTurnTransparentAgain) {
    // Opaque all over, then a hole, then whole again: the hole is cleared by disposing of an
    // image to the background, which decoders must clear to transparency, not to a colour.
    Sprite sprite = animation(4, 3, 3);
    for (qint64 f = 0; f < 3; ++f)
        fill(sprite, 0, f, sprite.bounds(), 0xFF336699);
    paint(sprite, 0, 1, {2, 1}, 0);
    QList<QString> expected;
    for (qint64 f = 0; f < 3; ++f) {
        QStringList words;
        for (quint32 word : expectedGifFrame(sprite, f, 100))
            words.append(QString::number(word, 16).rightJustified(8, u'0'));
        expected.append(words.join(' '));
    }
    QTemporaryDir folder;
    const QString path = folder.filePath("hole.gif");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(GIFService::data(sprite, 100));
    file.close();

    QStringList skipped;
    for (const OtherDecoder& decoder :
         {OtherDecoder{"Pillow", pillowFrames}, OtherDecoder{"ImageMagick", imageMagickFrames}}) {
        SCOPED_TRACE(decoder.name);
        QString why;
        const QStringList frames = decoder.frames(path, why);
        if (!why.isEmpty()) {
            skipped.append(why);
            continue;
        }
        EXPECT_EQ(frames, QStringList(expected));
    }
    if (!skipped.isEmpty())
        GTEST_SKIP() << skipped.join("; ").toStdString();
}
