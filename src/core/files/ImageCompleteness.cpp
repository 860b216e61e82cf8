#include "ImageCompleteness.h"

#include <QtEndian>

namespace {

quint8 byteAt(const QByteArray& bytes, qsizetype at) {
    return quint8(bytes[at]);
}

// Chunks from the signature to IEND.
bool pngComplete(const QByteArray& bytes) {
    qsizetype at = 8;
    while (at + 12 <= bytes.size()) {
        const quint32 length = qFromBigEndian<quint32>(bytes.constData() + at);
        if (bytes.mid(at + 4, 4) == "IEND")
            return true;
        at += 12 + qsizetype(length);
    }
    return false;
}

// Marker segments from SOI to the first scan, then an EOI after it. Inside scan data a 0xFF
// is always followed by 0x00 or a restart marker, so FF D9 there can only be the end.
bool jpegComplete(const QByteArray& bytes) {
    qsizetype at = 2;
    while (at + 4 <= bytes.size()) {
        if (byteAt(bytes, at) != 0xFF)
            return false;
        const quint8 marker = byteAt(bytes, at + 1);
        if (marker == 0xFF) { // fill byte
            ++at;
            continue;
        }
        if (marker == 0xD9)
            return false;                                           // ended before any scan
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) { // no length
            at += 2;
            continue;
        }
        at += 2 + qFromBigEndian<quint16>(bytes.constData() + at + 2);
        if (marker == 0xDA)
            return at <= bytes.size() && bytes.indexOf("\xFF\xD9", at) >= 0;
    }
    return false;
}

// Skips a chain of data sub-blocks; false when the bytes end before its zero terminator.
bool skipSubBlocks(const QByteArray& bytes, qsizetype& at) {
    while (at < bytes.size()) {
        const quint8 length = byteAt(bytes, at++);
        if (length == 0)
            return true;
        at += length;
    }
    return false;
}

qsizetype colorTableLength(quint8 flags) {
    return (flags & 0x80) ? 3 * (qsizetype(1) << ((flags & 0x07) + 1)) : 0;
}

// Every block from the screen descriptor to the trailer.
bool gifComplete(const QByteArray& bytes) {
    if (bytes.size() < 13)
        return false;
    qsizetype at = 13 + colorTableLength(byteAt(bytes, 10));
    while (at < bytes.size()) {
        switch (byteAt(bytes, at)) {
        case 0x3B: // trailer
            return true;
        case 0x21: // extension: label, then sub-blocks
            at += 2;
            if (!skipSubBlocks(bytes, at))
                return false;
            break;
        case 0x2C: // image: descriptor, local colours, LZW code size, sub-blocks
            at += 10;
            if (at > bytes.size())
                return false;
            at += colorTableLength(byteAt(bytes, at - 1)) + 1;
            if (!skipSubBlocks(bytes, at))
                return false;
            break;
        default:
            return false;
        }
    }
    return false;
}

} // namespace

namespace ImageCompleteness {

bool isComplete(const QByteArray& bytes) {
    if (bytes.startsWith("\x89PNG\r\n\x1A\n"))
        return pngComplete(bytes);
    if (bytes.startsWith("\xFF\xD8"))
        return jpegComplete(bytes);
    if (bytes.startsWith("GIF8"))
        return gifComplete(bytes);
    return true;
}

} // namespace ImageCompleteness
