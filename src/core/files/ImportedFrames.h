#pragma once

#include <QImage>
#include <QList>
#include <QString>
#include <QtGlobal>

// Frames read from an animation, a sheet or a numbered sequence, before they become a sprite:
// straight 0xAARRGGBB images of one size, each with its duration.
struct ImportedFrames {
    // More frames than this, or more pixels in all frames together than maximumPixels, are
    // refused before anything is decoded.
    static constexpr qint64 maximumFrames = 1024;
    static constexpr qint64 maximumPixels = qint64(1) << 28;

    qint64 width = 0;
    qint64 height = 0;
    QList<QList<quint32>> images;
    QList<qint64> durations; // milliseconds

    // Throws ImportError unless width × height fits a canvas.
    static void checkSize(qint64 width, qint64 height);
    // Throws ImportError when count frames of width × height are too many.
    static void checkCount(qint64 count, qint64 width, qint64 height);
    // A duration as read from a file, made one a frame can hold: 0 (meaning "no delay" to
    // most files) gives the default 100 ms, anything else at least the 10 ms minimum.
    static qint64 frameDuration(qint64 milliseconds);
    // A decoded image as straight sRGB words, exactly as stored for 8-bit RGBA; fully
    // transparent pixels become 0. Throws ImportError for a null image.
    static QList<quint32> pixels(const QImage& image);
};
