#include "GIFWriter.h"

#include "ExportError.h"
#include "GIFQuantizer.h"

#include <gif_lib.h>

namespace {

int appendToBytes(GifFileType* gif, const GifByteType* data, int length) {
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

void check(int status) {
    if (status != GIF_OK)
        throw ExportError::renderFailed();
}

// A colour map holds a power of two of at least two entries.
int mapSize(qsizetype colors) {
    int size = 2;
    while (size < colors)
        size *= 2;
    return size;
}

ColorMapObject* makeColorMap(const QList<quint32>& colors) {
    ColorMapObject* map = GifMakeMapObject(mapSize(colors.size()), nullptr);
    if (!map)
        throw ExportError::renderFailed();
    for (int i = 0; i < map->ColorCount; ++i) {
        const quint32 color = i < colors.size() ? colors[i] : 0;
        map->Colors[i] = {GifByteType(color >> 16), GifByteType(color >> 8), GifByteType(color)};
    }
    return map;
}

} // namespace

GIFWriter::GIFWriter(qint64 width, qint64 height) {
    int error = 0;
    gif = EGifOpen(&bytes, appendToBytes, &error);
    if (!gif)
        throw ExportError::renderFailed();
    EGifSetGifVersion(gif, true);
    check(EGifPutScreenDesc(gif, int(width), int(height), 8, 0, nullptr));
    writeLoopForever();
}

GIFWriter::~GIFWriter() {
    if (gif)
        EGifCloseFile(gif, nullptr);
}

void GIFWriter::writeLoopForever() {
    static const GifByteType loopForever[3] = {1, 0, 0};
    check(EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE));
    check(EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0"));
    check(EGifPutExtensionBlock(gif, 3, loopForever));
    check(EGifPutExtensionTrailer(gif));
}

void GIFWriter::add(const GIFFramePlanner::Image& image) {
    const PixelRect& rect = image.rect;
    // Some decoders clear a disposed image to the background colour unless the image has a
    // transparent index; with one, every decoder clears it to transparency.
    const bool disposedToBackground = image.disposal == GIFFramePlanner::Disposal::clear;
    GIFQuantizer::Indexed indexed =
        GIFQuantizer::indexed(image.pixels, rect.width, rect.height, disposedToBackground);

    GraphicsControlBlock control{};
    control.DisposalMode = int(image.disposal);
    control.UserInputFlag = false;
    control.DelayTime = int(image.delay);
    control.TransparentColor = indexed.transparentIndex;
    GifByteType extension[4];
    const size_t length = EGifGCBToExtension(&control, extension);
    check(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(length), extension));

    // giflib copies the map into the image description.
    ColorMapObject* map = makeColorMap(indexed.colors);
    const int status = EGifPutImageDesc(gif, int(rect.x), int(rect.y), int(rect.width),
                                        int(rect.height), false, map);
    GifFreeMapObject(map);
    check(status);
    check(EGifPutLine(gif, reinterpret_cast<GifPixelType*>(indexed.indices.data()),
                      int(indexed.indices.size())));
}

QByteArray GIFWriter::finish() {
    GifFileType* closing = gif;
    gif = nullptr;
    check(EGifCloseFile(closing, nullptr));
    return bytes;
}
