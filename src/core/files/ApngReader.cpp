#include "ApngReader.h"

#include "ImportError.h"
#include "MemoryError.h"

#include <QtEndian>
#include <zlib.h>

namespace {

const QByteArray signature("\x89PNG\r\n\x1A\n", 8);

enum : quint8 { disposeNone = 0, disposeBackground = 1, disposePrevious = 2 };
enum : quint8 { blendSource = 0, blendOver = 1 };

[[noreturn]] void unreadable() {
    throw ImportError(ImportError::unreadableImage);
}

quint32 be32(const QByteArray& data, qsizetype at) {
    if (at + 4 > data.size())
        unreadable();
    return qFromBigEndian<quint32>(data.constData() + at);
}

struct FrameControl {
    qint64 width = 0, height = 0, x = 0, y = 0;
    qint64 duration = 0;
    quint8 dispose = disposeNone;
    quint8 blend = blendSource;
    QByteArray data; // the frame's zlib stream
};

FrameControl frameControl(const QByteArray& data, qint64 canvasWidth, qint64 canvasHeight) {
    if (data.size() < 26)
        unreadable();
    FrameControl control;
    control.width = be32(data, 4);
    control.height = be32(data, 8);
    control.x = be32(data, 12);
    control.y = be32(data, 16);
    const qint64 numerator = qFromBigEndian<quint16>(data.constData() + 20);
    const qint64 denominator = qFromBigEndian<quint16>(data.constData() + 22);
    control.duration = ImportedFrames::frameDuration(
        qint64(std::llround(1000.0 * double(numerator) / double(denominator ? denominator : 100))));
    control.dispose = quint8(data[24]);
    control.blend = quint8(data[25]);
    if (control.width < 1 || control.height < 1 || control.x + control.width > canvasWidth ||
        control.y + control.height > canvasHeight || control.dispose > disposePrevious ||
        control.blend > blendOver)
        unreadable();
    return control;
}

void appendChunk(QByteArray& png, const char* type, const QByteArray& data) {
    char word[4];
    qToBigEndian(quint32(data.size()), word);
    png.append(word, 4);
    const qsizetype start = png.size();
    png.append(type, 4);
    png.append(data);
    qToBigEndian(quint32(crc32(0, reinterpret_cast<const Bytef*>(png.constData() + start),
                               uInt(png.size() - start))),
                 word);
    png.append(word, 4);
}

// One frame as a PNG of its own: the file's header at the frame's size, the chunks that shape
// its colours (palette, transparency, colour space), and its data.
QList<quint32> decodeFrame(const QByteArray& header,
                           const QList<QPair<QByteArray, QByteArray>>& shared,
                           const FrameControl& control) {
    QByteArray frameHeader = header;
    qToBigEndian(quint32(control.width), frameHeader.data());
    qToBigEndian(quint32(control.height), frameHeader.data() + 4);
    QByteArray png = signature;
    appendChunk(png, "IHDR", frameHeader);
    for (const auto& [type, data] : shared)
        appendChunk(png, type.constData(), data);
    appendChunk(png, "IDAT", control.data);
    appendChunk(png, "IEND", {});
    const QImage image = QImage::fromData(png, "png");
    if (image.width() != control.width || image.height() != control.height)
        unreadable();
    return ImportedFrames::pixels(image);
}

// Straight-alpha "over": the frame's pixel drawn on what the canvas holds.
quint32 over(quint32 top, quint32 bottom) {
    const quint32 ta = top >> 24, ba = bottom >> 24;
    if (ta == 255 || ba == 0)
        return ta ? top : 0u;
    if (ta == 0)
        return bottom;
    const quint32 outAlpha255 = ta * 255 + ba * (255 - ta); // alpha × 255
    quint32 word = ((outAlpha255 + 127) / 255) << 24;
    for (int shift = 0; shift <= 16; shift += 8) {
        const quint32 tc = (top >> shift) & 0xFF, bc = (bottom >> shift) & 0xFF;
        const quint32 value =
            (tc * ta * 255 + bc * ba * (255 - ta) + outAlpha255 / 2) / outAlpha255;
        word |= std::min<quint32>(255, value) << shift;
    }
    return word;
}

void drawFrame(QList<quint32>& canvas, qint64 canvasWidth, const FrameControl& control,
               const QList<quint32>& pixels) {
    for (qint64 y = 0; y < control.height; ++y) {
        quint32* row = canvas.data() + (control.y + y) * canvasWidth + control.x;
        const quint32* from = pixels.constData() + y * control.width;
        for (qint64 x = 0; x < control.width; ++x)
            row[x] = control.blend == blendSource ? from[x] : over(from[x], row[x]);
    }
}

void fillRegion(QList<quint32>& canvas, qint64 canvasWidth, const FrameControl& control,
                const QList<quint32>* source) {
    for (qint64 y = 0; y < control.height; ++y) {
        const qint64 at = (control.y + y) * canvasWidth + control.x;
        for (qint64 x = 0; x < control.width; ++x)
            canvas[at + x] = source ? (*source)[at + x] : 0u;
    }
}

} // namespace

namespace ApngReader {

bool isPng(const QByteArray& bytes) {
    return bytes.startsWith(signature);
}

ImportedFrames read(const QByteArray& bytes) {
    if (!isPng(bytes))
        unreadable();
    QByteArray header;
    QList<QPair<QByteArray, QByteArray>> shared;
    QList<FrameControl> frames;
    bool animated = false, imageDataSeen = false;
    qint64 width = 0, height = 0;
    QByteArray stillData;
    for (qsizetype at = signature.size(); at + 12 <= bytes.size();) {
        const qint64 length = be32(bytes, at);
        if (length > bytes.size() - at - 12)
            unreadable();
        const QByteArray type = bytes.mid(at + 4, 4);
        const QByteArray data = bytes.mid(at + 8, length);
        at += 12 + length;
        if (type == "IHDR") {
            if (data.size() != 13)
                unreadable();
            header = data;
            width = be32(data, 0);
            height = be32(data, 4);
            ImportedFrames::checkSize(width, height);
        } else if (type == "acTL") {
            animated = !imageDataSeen;
            ImportedFrames::checkCount(be32(data, 0), width, height);
        } else if (type == "fcTL") {
            if (!animated || header.isEmpty())
                unreadable();
            frames.append(frameControl(data, width, height));
            ImportedFrames::checkCount(frames.size(), width, height);
        } else if (type == "IDAT") {
            imageDataSeen = true;
            // Data before any frame control is a still image that is not part of the animation.
            if (animated && frames.size() == 1)
                frames.last().data += data;
            stillData += data;
        } else if (type == "fdAT") {
            if (frames.isEmpty() || data.size() < 4)
                unreadable();
            frames.last().data += data.mid(4);
        } else if (type == "IEND") {
            break;
        } else if (!imageDataSeen && type != "acTL" &&
                   (type == "PLTE" || type == "tRNS" || type == "gAMA" || type == "cHRM" ||
                    type == "sRGB" || type == "iCCP" || type == "sBIT")) {
            shared.append({type, data});
        }
    }
    if (header.isEmpty())
        unreadable();
    if (!animated || frames.isEmpty())
        frames = {FrameControl{width, height, 0, 0, 100, disposeNone, blendSource, stillData}};
    if (frames.first().x != 0 || frames.first().y != 0 || frames.first().width != width ||
        frames.first().height != height)
        unreadable();

    ImportedFrames result{width, height, {}, {}};
    QList<quint32> canvas = MemoryError::allocatedWords(width * height);
    for (qsizetype i = 0; i < frames.size(); ++i) {
        const FrameControl& control = frames[i];
        const QList<quint32> before =
            control.dispose == disposePrevious && i > 0 ? canvas : QList<quint32>();
        drawFrame(canvas, width, control, decodeFrame(header, shared, control));
        result.images.append(canvas);
        result.durations.append(control.duration);
        if (control.dispose == disposeBackground || (control.dispose == disposePrevious && i == 0))
            fillRegion(canvas, width, control, nullptr);
        else if (control.dispose == disposePrevious)
            fillRegion(canvas, width, control, &before);
    }
    return result;
}

} // namespace ApngReader
