#include "ApngWriter.h"

#include "ExportError.h"

#include <QtEndian>
#include <zlib.h>

namespace {

constexpr qint64 largestPngSide = 0x7FFFFFFF;
// Frame chunks split their zlib data into pieces of at most this size.
constexpr qint64 largestChunkData = 1 << 24;

void append32(QByteArray& data, quint32 value) {
    char word[4];
    qToBigEndian(value, word);
    data.append(word, 4);
}

void append16(QByteArray& data, quint16 value) {
    char half[2];
    qToBigEndian(value, half);
    data.append(half, 2);
}

enum : char { disposeNone = 0, blendSource = 0 };

} // namespace

ApngWriter::ApngWriter(qint64 width, qint64 height, qint64 frameCount)
    : width(width), height(height), frameCount(frameCount) {
    if (width < 1 || height < 1 || width > largestPngSide || height > largestPngSide ||
        frameCount < 1 || frameCount > 0x7FFFFFFF)
        throw ExportError::renderFailed();
    bytes.append("\x89PNG\r\n\x1A\n", 8);
    QByteArray header;
    append32(header, quint32(width));
    append32(header, quint32(height));
    header.append("\x08\x06\x00\x00\x00", 5); // 8-bit RGBA, deflate, adaptive filters, no interlace
    writeChunk("IHDR", header);
    QByteArray control;
    append32(control, quint32(frameCount));
    append32(control, 0); // plays forever
    writeChunk("acTL", control);
}

void ApngWriter::add(const PixelRect& rect, const QList<quint32>& pixels, Delay delay) {
    const bool first = framesAdded == 0;
    if (framesAdded == frameCount || rect.area() != pixels.size() ||
        !PixelRect::canvas(width, height).contains(rect) ||
        (first && rect != PixelRect::canvas(width, height)))
        throw ExportError::renderFailed();
    QByteArray control;
    append32(control, sequence++);
    append32(control, quint32(rect.width));
    append32(control, quint32(rect.height));
    append32(control, quint32(rect.x));
    append32(control, quint32(rect.y));
    append16(control, delay.numerator);
    append16(control, delay.denominator);
    control.append(disposeNone);
    control.append(blendSource);
    writeChunk("fcTL", control);

    const QByteArray data = compressed(rect, pixels);
    for (qint64 at = 0; at < data.size(); at += largestChunkData) {
        const QByteArray piece = data.mid(at, largestChunkData);
        if (first) {
            writeChunk("IDAT", piece);
        } else {
            QByteArray frameData;
            append32(frameData, sequence++);
            writeChunk("fdAT", frameData + piece);
        }
    }
    ++framesAdded;
}

QByteArray ApngWriter::finish() {
    if (framesAdded != frameCount)
        throw ExportError::renderFailed();
    writeChunk("IEND", {});
    return bytes;
}

void ApngWriter::writeChunk(const char* type, const QByteArray& data) {
    append32(bytes, quint32(data.size()));
    const qsizetype start = bytes.size();
    bytes.append(type, 4);
    bytes.append(data);
    const auto* typed = reinterpret_cast<const Bytef*>(bytes.constData() + start);
    append32(bytes, quint32(crc32(0, typed, uInt(bytes.size() - start))));
}

// Rows stream through deflate one at a time, each with the "Sub" filter, which suits flat
// runs of pixel art, so no filtered copy of the whole frame is kept.
QByteArray ApngWriter::compressed(const PixelRect& rect, const QList<quint32>& pixels) const {
    z_stream stream{};
    if (deflateInit(&stream, Z_DEFAULT_COMPRESSION) != Z_OK)
        throw ExportError::renderFailed();
    QByteArray out;
    QByteArray row(1 + 4 * rect.width, '\0');
    QByteArray buffer(1 << 16, '\0');
    int status = Z_OK;
    for (qint64 y = 0; y <= rect.height && status == Z_OK; ++y) {
        const bool last = y == rect.height;
        if (!last) {
            auto* filtered = reinterpret_cast<uchar*>(row.data());
            filtered[0] = 1; // Sub
            const quint32* words = pixels.constData() + y * rect.width;
            quint32 left = 0;
            for (qint64 x = 0; x < rect.width; ++x) {
                const quint32 w = words[x];
                uchar* px = filtered + 1 + 4 * x;
                px[0] = uchar((w >> 16) - (left >> 16));
                px[1] = uchar((w >> 8) - (left >> 8));
                px[2] = uchar(w - left);
                px[3] = uchar((w >> 24) - (left >> 24));
                left = w;
            }
            stream.next_in = reinterpret_cast<Bytef*>(row.data());
            stream.avail_in = uInt(row.size());
        }
        do {
            stream.next_out = reinterpret_cast<Bytef*>(buffer.data());
            stream.avail_out = uInt(buffer.size());
            status = deflate(&stream, last ? Z_FINISH : Z_NO_FLUSH);
            out.append(buffer.constData(), buffer.size() - qsizetype(stream.avail_out));
        } while (status == Z_OK && (stream.avail_out == 0 || (last && status != Z_STREAM_END)));
        if (status == Z_BUF_ERROR)
            status = Z_OK;
    }
    deflateEnd(&stream);
    if (status != Z_STREAM_END)
        throw ExportError::renderFailed();
    return out;
}
