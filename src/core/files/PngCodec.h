#pragma once

#include <QByteArray>
#include <QtGlobal>

// Kestrin's own PNG writer and reader for straight 0xAARRGGBB pixels, around libdeflate:
// standard 8-bit RGBA PNG files, written and read several times faster than through a
// general-purpose image library. Safe to use on several threads at once.
namespace PngCodec {

// The pixels (rows `stride` words apart) as an 8-bit RGBA, non-interlaced sRGB PNG; empty
// when the size is impossible or memory runs out.
QByteArray encode(const quint32* words, qint64 width, qint64 height, qint64 stride);

enum class Decoded {
    done,      // the words hold the image
    notMine,   // a valid-looking PNG in a form only a general decoder handles
    wrongSize, // the header names another size; nothing was decoded
    corrupt,   // broken: bad structure, checksum or compressed data
};

// Decodes an 8-bit RGBA, non-interlaced PNG of exactly width × height into width × height
// words. The size is checked from the header before anything is decompressed; ancillary
// chunks (text, times, unknown ones) are skipped without being decompressed, so the work is
// bounded by the pixel count. Files whose colours depend on a profile, a gamma or primaries
// are left to a general decoder (notMine).
Decoded decode(const QByteArray& bytes, qint64 width, qint64 height, quint32* words);

// The file with every ancillary chunk removed except those that change how its pixels look
// (transparency, gamma, primaries, profile, sRGB, significant bits), so that a general
// decoder never spends time decompressing text. Empty when the bytes are not a PNG.
QByteArray withoutExtras(const QByteArray& bytes);

} // namespace PngCodec
