#pragma once

#include "GIFFramePlanner.h"

#include <QByteArray>

struct GifFileType;

// An animated, endlessly looping GIF89a stream built in memory with giflib.
class GIFWriter {
public:
    // Throws ExportError when the stream cannot be started.
    GIFWriter(qint64 width, qint64 height);
    ~GIFWriter();
    GIFWriter(const GIFWriter&) = delete;
    GIFWriter& operator=(const GIFWriter&) = delete;

    // Reduces the image's colours and appends it. Throws ExportError.
    void add(const GIFFramePlanner::Image& image);
    // Closes the stream and returns its bytes. Throws ExportError.
    QByteArray finish();

private:
    void writeLoopForever();

    GifFileType* gif = nullptr;
    QByteArray bytes;
};
