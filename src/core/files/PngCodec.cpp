#include "PngCodec.h"

#include <QList>
#include <array>
#include <cstring>
#include <libdeflate.h>
#include <memory>
#include <new>

namespace {

constexpr std::array<char, 8> signature = {'\x89', 'P', 'N', 'G', '\r', '\n', '\x1a', '\n'};
// Fast while staying within a few per cent of zlib's default on pixel art.
constexpr int compressionLevel = 5;
// Keeps every chunk well below the format's 2³¹ − 1 byte limit.
constexpr qint64 maximumChunkData = qint64(1) << 30;

quint32 bigEndian(const char* bytes) {
    const auto* b = reinterpret_cast<const uchar*>(bytes);
    return quint32(b[0]) << 24 | quint32(b[1]) << 16 | quint32(b[2]) << 8 | quint32(b[3]);
}

void appendBigEndian(QByteArray& out, quint32 value) {
    const char bytes[4] = {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
    out.append(bytes, 4);
}

quint32 crcOf(const char* data, qint64 size) {
    return libdeflate_crc32(0, data, size_t(size));
}

void appendChunk(QByteArray& out, const char type[4], const char* data, qint64 size) {
    appendBigEndian(out, quint32(size));
    const qsizetype start = out.size();
    out.append(type, 4);
    out.append(data, size);
    appendBigEndian(out, crcOf(out.constData() + start, size + 4));
}

struct CompressorDeleter {
    void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};
struct DecompressorDeleter {
    void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};

// One per thread: they are not thread-safe, and costly enough to keep.
libdeflate_compressor* compressor() {
    thread_local std::unique_ptr<libdeflate_compressor, CompressorDeleter> one(
        libdeflate_alloc_compressor(compressionLevel));
    return one.get();
}

libdeflate_decompressor* decompressor() {
    thread_local std::unique_ptr<libdeflate_decompressor, DecompressorDeleter> one(
        libdeflate_alloc_decompressor());
    return one.get();
}

// Filter type 1 (Sub) and 2 (Up) against 0 (None): the one with the smallest sum of absolute
// differences, the usual heuristic. Pixel art is mostly flat, where Sub and Up give zeros.
void filterRow(const uchar* row, const uchar* above, qint64 bytes, uchar* out) {
    quint64 none = 0, sub = 0, up = 0;
    for (qint64 i = 0; i < bytes; ++i) {
        none += row[i] < 128 ? row[i] : 256 - row[i];
        const uchar s = uchar(row[i] - (i >= 4 ? row[i - 4] : 0));
        sub += s < 128 ? s : 256 - s;
        const uchar u = uchar(row[i] - (above ? above[i] : 0));
        up += u < 128 ? u : 256 - u;
    }
    if (none <= sub && none <= up) {
        out[0] = 0;
        std::memcpy(out + 1, row, size_t(bytes));
    } else if (sub <= up) {
        out[0] = 1;
        for (qint64 i = 0; i < bytes; ++i)
            out[1 + i] = uchar(row[i] - (i >= 4 ? row[i - 4] : 0));
    } else {
        out[0] = 2;
        for (qint64 i = 0; i < bytes; ++i)
            out[1 + i] = uchar(row[i] - (above ? above[i] : 0));
    }
}

// 0xAARRGGBB words to R, G, B, A bytes.
void toRgba(const quint32* words, qint64 count, uchar* out) {
    for (qint64 i = 0; i < count; ++i) {
        const quint32 w = words[i];
        out[4 * i] = uchar(w >> 16);
        out[4 * i + 1] = uchar(w >> 8);
        out[4 * i + 2] = uchar(w);
        out[4 * i + 3] = uchar(w >> 24);
    }
}

void fromRgba(const uchar* bytes, qint64 count, quint32* words) {
    for (qint64 i = 0; i < count; ++i) {
        const uchar* p = bytes + 4 * i;
        words[i] = quint32(p[3]) << 24 | quint32(p[0]) << 16 | quint32(p[1]) << 8 | p[2];
    }
}

uchar paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return uchar(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// Undoes one row's filter in place; false for an unknown filter type.
bool unfilterRow(uchar type, uchar* row, const uchar* above, qint64 bytes) {
    switch (type) {
    case 0:
        return true;
    case 1:
        for (qint64 i = 4; i < bytes; ++i)
            row[i] = uchar(row[i] + row[i - 4]);
        return true;
    case 2:
        for (qint64 i = 0; above && i < bytes; ++i)
            row[i] = uchar(row[i] + above[i]);
        return true;
    case 3:
        for (qint64 i = 0; i < bytes; ++i)
            row[i] = uchar(row[i] + (((i >= 4 ? row[i - 4] : 0) + (above ? above[i] : 0)) >> 1));
        return true;
    case 4:
        for (qint64 i = 0; i < bytes; ++i)
            row[i] = uchar(row[i] + paeth(i >= 4 ? row[i - 4] : 0, above ? above[i] : 0,
                                          i >= 4 && above ? above[i - 4] : 0));
        return true;
    default:
        return false;
    }
}

struct Chunk {
    const char* type;
    const char* data;
    qint64 size;
};

// Walks the chunks after the signature; stops with false at a broken chunk frame.
template <typename Visit> bool forEachChunk(const QByteArray& bytes, const Visit& visit) {
    if (bytes.size() < 8 || std::memcmp(bytes.constData(), signature.data(), 8) != 0)
        return false;
    qint64 at = 8;
    while (at + 12 <= bytes.size()) {
        const qint64 size = bigEndian(bytes.constData() + at);
        if (size > bytes.size() - at - 12)
            return false;
        const Chunk chunk{bytes.constData() + at + 4, bytes.constData() + at + 8, size};
        if (!visit(chunk, at))
            return true;
        at += size + 12;
    }
    return false; // no IEND
}

bool isType(const Chunk& chunk, const char* type) {
    return std::memcmp(chunk.type, type, 4) == 0;
}

bool crcMatches(const Chunk& chunk) {
    return crcOf(chunk.type, chunk.size + 4) == bigEndian(chunk.data + chunk.size);
}

// Ancillary chunks (lower-case first letter) that change how the pixels look.
bool changesColours(const Chunk& chunk) {
    return isType(chunk, "tRNS") || isType(chunk, "gAMA") || isType(chunk, "cHRM") ||
           isType(chunk, "sRGB") || isType(chunk, "iCCP") || isType(chunk, "sBIT");
}

} // namespace

namespace PngCodec {

QByteArray encode(qint64 width, qint64 height, const RowReader& row) {
    if (width < 1 || height < 1 || width > 0x7FFFFFFF / 4 || height > 0x7FFFFFFF)
        return {};
    const qint64 rowBytes = width * 4;
    QByteArray filtered((rowBytes + 1) * height, Qt::Uninitialized);
    QByteArray rgba(rowBytes * 2, Qt::Uninitialized);
    auto* current = reinterpret_cast<uchar*>(rgba.data());
    uchar* previous = current + rowBytes;
    for (qint64 y = 0; y < height; ++y) {
        toRgba(row(y), width, current);
        uchar* out = reinterpret_cast<uchar*>(filtered.data()) + y * (rowBytes + 1);
        if (y > 0 && std::memcmp(current, previous, size_t(rowBytes)) == 0) {
            // A repeated row (flat art, enlarged exports): Up gives zeros, no choosing.
            out[0] = 2;
            std::memset(out + 1, 0, size_t(rowBytes));
            continue;
        }
        filterRow(current, y > 0 ? previous : nullptr, rowBytes, out);
        std::swap(current, previous);
    }
    libdeflate_compressor* deflater = compressor();
    if (!deflater)
        return {};
    QByteArray compressed(
        qsizetype(libdeflate_zlib_compress_bound(deflater, size_t(filtered.size()))),
        Qt::Uninitialized);
    const size_t compressedSize =
        libdeflate_zlib_compress(deflater, filtered.constData(), size_t(filtered.size()),
                                 compressed.data(), size_t(compressed.size()));
    if (compressedSize == 0)
        return {};
    filtered = {};

    QByteArray out;
    out.reserve(qsizetype(compressedSize) + 128);
    out.append(signature.data(), 8);
    QByteArray header;
    appendBigEndian(header, quint32(width));
    appendBigEndian(header, quint32(height));
    header.append("\x08\x06\x00\x00\x00", 5); // 8 bits, RGBA, deflate, adaptive, no interlace
    appendChunk(out, "IHDR", header.constData(), header.size());
    appendChunk(out, "sRGB", "\x00", 1); // perceptual
    for (qint64 at = 0; at < qint64(compressedSize); at += maximumChunkData)
        appendChunk(out, "IDAT", compressed.constData() + at,
                    std::min<qint64>(maximumChunkData, qint64(compressedSize) - at));
    appendChunk(out, "IEND", nullptr, 0);
    return out;
}

Decoded decode(const QByteArray& bytes, qint64 width, qint64 height, const RowWriter& row) {
    enum class Stop { none, broken, wrongSize, notMine, ended };
    Stop stop = Stop::none;
    QList<Chunk> data;
    const bool framed = forEachChunk(bytes, [&](const Chunk& chunk, qint64 at) {
        if (at == 8) { // the header comes first
            const auto* h = reinterpret_cast<const uchar*>(chunk.data);
            if (!isType(chunk, "IHDR") || chunk.size != 13 || !crcMatches(chunk))
                stop = Stop::broken;
            else if (bigEndian(chunk.data) != width || bigEndian(chunk.data + 4) != height)
                stop = Stop::wrongSize;
            else if (h[8] != 8 || h[9] != 6 || h[10] != 0 || h[11] != 0 || h[12] != 0)
                stop = Stop::notMine; // not 8-bit RGBA, or interlaced
            return stop == Stop::none;
        }
        if (isType(chunk, "IEND"))
            stop = Stop::ended;
        else if (isType(chunk, "IDAT") && crcMatches(chunk))
            data.append(chunk);
        else if (isType(chunk, "IDAT"))
            stop = Stop::broken;
        else if (isType(chunk, "iCCP") || isType(chunk, "gAMA") || isType(chunk, "cHRM") ||
                 !(chunk.type[0] & 0x20)) // colour management, or an unknown critical chunk
            stop = Stop::notMine;
        return stop == Stop::none; // other ancillary chunks are skipped unread
    });
    if (stop == Stop::wrongSize)
        return Decoded::wrongSize;
    if (stop == Stop::notMine)
        return Decoded::notMine;
    if (!framed || stop != Stop::ended || data.isEmpty())
        return Decoded::corrupt;
    const qint64 rowBytes = width * 4;
    QByteArray joined;
    const char* stream = data.first().data;
    qint64 streamSize = data.first().size;
    if (data.size() > 1) {
        for (const Chunk& chunk : data)
            joined.append(chunk.data, chunk.size);
        stream = joined.constData();
        streamSize = joined.size();
    }
    QByteArray raw((rowBytes + 1) * height, Qt::Uninitialized);
    libdeflate_decompressor* inflater = decompressor();
    if (!inflater || libdeflate_zlib_decompress(inflater, stream, size_t(streamSize), raw.data(),
                                                size_t(raw.size()), nullptr) != LIBDEFLATE_SUCCESS)
        return Decoded::corrupt;
    auto* rows = reinterpret_cast<uchar*>(raw.data());
    for (qint64 y = 0; y < height; ++y) {
        uchar* filtered = rows + y * (rowBytes + 1);
        const uchar* above = y > 0 ? filtered - rowBytes : nullptr;
        if (!unfilterRow(filtered[0], filtered + 1, above, rowBytes))
            return Decoded::corrupt;
        fromRgba(filtered + 1, width, row(y));
    }
    return Decoded::done;
}

std::pair<qint64, qint64> size(const QByteArray& bytes) {
    if (bytes.size() < 24 || !bytes.startsWith(QByteArray(signature.data(), 8)) ||
        std::memcmp(bytes.constData() + 12, "IHDR", 4) != 0)
        return {-1, -1};
    return {bigEndian(bytes.constData() + 16), bigEndian(bytes.constData() + 20)};
}

QByteArray withoutExtras(const QByteArray& bytes) {
    QByteArray out(signature.data(), 8);
    const bool framed = forEachChunk(bytes, [&](const Chunk& chunk, qint64 at) {
        const bool ancillary = chunk.type[0] & 0x20;
        if (!ancillary || changesColours(chunk))
            out.append(bytes.constData() + at, chunk.size + 12);
        return !isType(chunk, "IEND");
    });
    return framed ? out : QByteArray();
}

} // namespace PngCodec
