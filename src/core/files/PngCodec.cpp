#include "PngCodec.h"

#include <QList>
#include <QtEndian>
#include <array>
#include <cstring>
#include <libdeflate.h>
#include <memory>
#include <new>

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

namespace {

constexpr std::array<char, 8> signature = {'\x89', 'P', 'N', 'G', '\r', '\n', '\x1a', '\n'};
// Fast while staying within a few per cent of zlib's default on pixel art.
constexpr int compressionLevel = 5;
// Keeps every chunk well below the format's 2³¹ − 1 byte limit.
constexpr qint64 maximumChunkData = qint64(1) << 30;

#ifdef __SSE2__
inline __m128i load(const void* bytes) {
    return _mm_loadu_si128(static_cast<const __m128i*>(bytes));
}
#endif

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

// A large buffer written once from end to end takes a page fault for every 4 KiB page it
// touches; on Linux, huge pages take one for every 2 MiB. A hint only, for buffers big enough
// to have a mapping of their own.
void preferHugePages(void* bytes, qint64 size) {
#if defined(Q_OS_LINUX) && defined(MADV_HUGEPAGE)
    constexpr qint64 worthwhile = qint64(64) << 20;
    constexpr quintptr page = 4096;
    if (size < worthwhile)
        return;
    const quintptr start = (quintptr(bytes) + page - 1) & ~(page - 1);
    const quintptr end = (quintptr(bytes) + quintptr(size)) & ~(page - 1);
    madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
#else
    Q_UNUSED(bytes);
    Q_UNUSED(size);
#endif
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

// The sum over i of |a[i] − b[i]|, the byte difference read as a signed value; b null stands
// for zeros.
quint64 signedDistance(const uchar* a, const uchar* b, qint64 count) {
    quint64 sum = 0;
    qint64 i = 0;
#ifdef __SSE2__
    const __m128i zero = _mm_setzero_si128();
    __m128i sums = zero;
    for (; i + 16 <= count; i += 16) {
        const __m128i difference = _mm_sub_epi8(load(a + i), b ? load(b + i) : zero);
        // min(d, 256 − d) per byte, then summed in two 64-bit halves.
        const __m128i distance = _mm_min_epu8(difference, _mm_sub_epi8(zero, difference));
        sums = _mm_add_epi64(sums, _mm_sad_epu8(distance, zero));
    }
    sum = quint64(_mm_cvtsi128_si64(sums)) +
          quint64(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums)));
#endif
    for (; i < count; ++i) {
        const uchar d = uchar(a[i] - (b ? b[i] : 0));
        sum += d < 128 ? d : 256 - d;
    }
    return sum;
}

// out[i] = a[i] − b[i] for count bytes.
void subtract(const uchar* a, const uchar* b, qint64 count, uchar* out) {
    qint64 i = 0;
#ifdef __SSE2__
    for (; i + 16 <= count; i += 16)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                         _mm_sub_epi8(load(a + i), load(b + i)));
#endif
    for (; i < count; ++i)
        out[i] = uchar(a[i] - b[i]);
}

// Filter type 1 (Sub) and 2 (Up) against 0 (None): the one with the smallest sum of absolute
// differences, the usual heuristic. Pixel art is mostly flat, where Sub and Up give zeros.
// The first pixel of a row has nothing to its left, the first row nothing above it.
void filterRow(const uchar* row, const uchar* above, qint64 bytes, uchar* out) {
    const quint64 none = signedDistance(row, nullptr, bytes);
    const quint64 sub = signedDistance(row, nullptr, 4) + signedDistance(row + 4, row, bytes - 4);
    const quint64 up = above ? signedDistance(row, above, bytes) : none;
    if (none <= sub && none <= up) {
        out[0] = 0;
        std::memcpy(out + 1, row, size_t(bytes));
    } else if (sub <= up) {
        out[0] = 1;
        std::memcpy(out + 1, row, 4);
        subtract(row + 4, row, bytes - 4, out + 5);
    } else {
        out[0] = 2;
        subtract(row, above, bytes, out + 1);
    }
}

// 0xAARRGGBB words to R, G, B, A bytes: red and blue trade places in each little-endian word.
void toRgba(const quint32* words, qint64 count, uchar* out) {
    const auto rgba = [](quint32 w) {
        return (w & 0xFF00FF00u) | ((w >> 16) & 0xFFu) | ((w & 0xFFu) << 16);
    };
    qint64 i = 0;
#ifdef __SSE2__
    const __m128i kept = _mm_set1_epi32(int(0xFF00FF00u));
    const __m128i lowByte = _mm_set1_epi32(0xFF);
    for (; i + 4 <= count; i += 4) {
        const __m128i w = load(words + i);
        const __m128i swapped = _mm_or_si128(
            _mm_and_si128(w, kept), _mm_or_si128(_mm_and_si128(_mm_srli_epi32(w, 16), lowByte),
                                                 _mm_slli_epi32(_mm_and_si128(w, lowByte), 16)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * i), swapped);
    }
#endif
    for (; i < count; ++i)
        qToLittleEndian(rgba(words[i]), out + 4 * i);
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
    preferHugePages(filtered.data(), filtered.size());
    QByteArray rgba(rowBytes * 2, Qt::Uninitialized);
    auto* current = reinterpret_cast<uchar*>(rgba.data());
    uchar* previous = current + rowBytes;
    for (qint64 y = 0; y < height; ++y) {
        const quint32* words = row(y);
        if (!words && y == 0)
            return {}; // the first row has none above it to repeat
        if (words)
            toRgba(words, width, current);
        uchar* out = reinterpret_cast<uchar*>(filtered.data()) + y * (rowBytes + 1);
        if (!words || (y > 0 && std::memcmp(current, previous, size_t(rowBytes)) == 0)) {
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
