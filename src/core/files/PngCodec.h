#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <functional>
#include <utility>

// Kestrin's own PNG writer and reader for straight 0xAARRGGBB pixels, around libdeflate:
// standard 8-bit RGBA PNG files, written and read several times faster than through a
// general-purpose image library. Safe to use on several threads at once.
namespace PngCodec {

// Pixels are reached row by row, so any row layout can be read or written in place. A reader
// may answer null for a row known to equal the one above it (never for the first), which
// spares converting and comparing it.
using RowReader = std::function<const quint32*(qint64 y)>;
using RowWriter = std::function<quint32*(qint64 y)>;

// The width words of each row as an 8-bit RGBA, non-interlaced sRGB PNG; empty when the size
// is impossible. Throws std::bad_alloc when memory runs out.
QByteArray encode(qint64 width, qint64 height, const RowReader& row);

enum class Decoded {
    done,      // the words hold the image
    notMine,   // a valid-looking PNG in a form only a general decoder handles
    wrongSize, // the header names another size; nothing was decoded
    corrupt,   // broken: bad structure, checksum or compressed data
};

// Decodes an 8-bit RGBA, non-interlaced PNG of exactly width × height into the rows. The size is
// checked from the header before anything is decompressed; ancillary chunks (text, times, unknown
// ones) are skipped without being decompressed, so the work is bounded by the pixel count. Files
// whose colours depend on a profile, a gamma or primaries are left to a general decoder (notMine).
// Throws std::bad_alloc when memory runs out.
Decoded decode(const QByteArray& bytes, qint64 width, qint64 height, const RowWriter& row);

// The width and height the header names, read without decoding; -1, -1 when the bytes do not
// start like a PNG.
std::pair<qint64, qint64> size(const QByteArray& bytes);

// The file with every ancillary chunk removed except those that change how its pixels look
// (transparency, gamma, primaries, profile, sRGB, significant bits), so that a general
// decoder never spends time decompressing text. Empty when the bytes are not a PNG.
QByteArray withoutExtras(const QByteArray& bytes);

} // namespace PngCodec
