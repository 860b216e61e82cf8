#include "GifReader.h"

#include "ImportError.h"
#include "MemoryError.h"

#include <cstring>
#include <gif_lib.h>
#include <memory>

namespace {

[[noreturn]] void unreadable() {
    throw ImportError(ImportError::unreadableImage);
}

struct Source {
    const QByteArray* bytes;
    qsizetype at = 0;
};

int readBytes(GifFileType* gif, GifByteType* into, int length) {
    auto* source = static_cast<Source*>(gif->UserData);
    const int count = int(std::min<qsizetype>(length, source->bytes->size() - source->at));
    std::memcpy(into, source->bytes->constData() + source->at, size_t(count));
    source->at += count;
    return count;
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};

// Reads the image's indices row by row, interlaced images in their four passes.
QList<GifByteType> imageIndices(GifFileType* gif) {
    const GifImageDesc& desc = gif->Image;
    QList<GifByteType> indices(qint64(desc.Width) * desc.Height);
    const auto readRow = [&](int row) {
        if (DGifGetLine(gif, indices.data() + qint64(row) * desc.Width, desc.Width) != GIF_OK)
            unreadable();
    };
    if (!desc.Interlace) {
        for (int row = 0; row < desc.Height; ++row)
            readRow(row);
        return indices;
    }
    static constexpr int starts[] = {0, 4, 2, 1}, steps[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int row = starts[pass]; row < desc.Height; row += steps[pass])
            readRow(row);
    return indices;
}

void drawImage(QList<quint32>& canvas, qint64 canvasWidth, qint64 canvasHeight,
               const GifImageDesc& desc, const ColorMapObject* map,
               const QList<GifByteType>& indices, int transparent) {
    for (qint64 y = 0; y < desc.Height; ++y) {
        const qint64 cy = desc.Top + y;
        for (qint64 x = 0; x < desc.Width && cy < canvasHeight; ++x) {
            const qint64 cx = desc.Left + x;
            const int index = indices[y * desc.Width + x];
            if (cx >= canvasWidth || index == transparent || index >= map->ColorCount)
                continue;
            const GifColorType c = map->Colors[index];
            canvas[cy * canvasWidth + cx] =
                0xFF000000u | (quint32(c.Red) << 16) | (quint32(c.Green) << 8) | c.Blue;
        }
    }
}

void clearImage(QList<quint32>& canvas, qint64 canvasWidth, qint64 canvasHeight,
                const GifImageDesc& desc, const QList<quint32>* restore) {
    for (qint64 y = desc.Top; y < std::min<qint64>(desc.Top + desc.Height, canvasHeight); ++y)
        for (qint64 x = desc.Left; x < std::min<qint64>(desc.Left + desc.Width, canvasWidth); ++x)
            canvas[y * canvasWidth + x] = restore ? (*restore)[y * canvasWidth + x] : 0u;
}

} // namespace

namespace GifReader {

bool isGif(const QByteArray& bytes) {
    return bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a");
}

ImportedFrames read(const QByteArray& bytes) {
    Source source{&bytes};
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&source, readBytes, &error));
    if (!gif)
        unreadable();
    const qint64 width = gif->SWidth, height = gif->SHeight;
    ImportedFrames::checkSize(width, height);
    ImportedFrames result{width, height, {}, {}};
    QList<quint32> canvas = MemoryError::allocatedWords(width * height);
    GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
    GifRecordType record = UNDEFINED_RECORD_TYPE;
    do {
        if (DGifGetRecordType(gif.get(), &record) != GIF_OK)
            unreadable();
        if (record == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif.get(), &code, &block) != GIF_OK)
                unreadable();
            if (code == GRAPHICS_EXT_FUNC_CODE && block &&
                DGifExtensionToGCB(block[0], block + 1, &control) != GIF_OK)
                unreadable();
            while (block)
                if (DGifGetExtensionNext(gif.get(), &block) != GIF_OK)
                    unreadable();
        } else if (record == IMAGE_DESC_RECORD_TYPE) {
            ImportedFrames::checkCount(result.images.size() + 1, width, height);
            if (DGifGetImageDesc(gif.get()) != GIF_OK)
                unreadable();
            const GifImageDesc desc = gif->Image;
            const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
            if (!map)
                unreadable();
            // An image may reach past the screen, where it is clipped, but never past what a
            // canvas holds: its indices are read whole.
            ImportedFrames::checkSize(desc.Width, desc.Height);
            const QList<GifByteType> indices = imageIndices(gif.get());
            const QList<quint32> before =
                control.DisposalMode == DISPOSE_PREVIOUS ? canvas : QList<quint32>();
            drawImage(canvas, width, height, desc, map, indices, control.TransparentColor);
            result.images.append(canvas);
            result.durations.append(ImportedFrames::frameDuration(qint64(control.DelayTime) * 10));
            if (control.DisposalMode == DISPOSE_BACKGROUND)
                clearImage(canvas, width, height, desc, nullptr);
            else if (control.DisposalMode == DISPOSE_PREVIOUS)
                clearImage(canvas, width, height, desc, &before);
            control = {DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
        }
    } while (record != TERMINATE_RECORD_TYPE);
    ImportedFrames::checkCount(result.images.size(), width, height);
    return result;
}

} // namespace GifReader
