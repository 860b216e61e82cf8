#include "Clipboard.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImageReader>
#include <QMimeData>
#include <QPointer>
#include <algorithm>

namespace {

const QString pngType = QStringLiteral("image/png");

struct State {
    QPointer<QClipboard> watched;
    qint64 changes = 0;
    std::optional<PixelPoint> copiedFrom;
    qint64 stamp = -1;
};

State& state() {
    static State shared;
    return shared;
}

// The clipboard, counting its changes from the first time anyone asks for it. Qt has no
// change count of its own; a new application object brings a new clipboard to watch.
QClipboard* clipboard() {
    QClipboard* current = QGuiApplication::clipboard();
    State& s = state();
    if (current && s.watched != current) {
        s.watched = current;
        QObject::connect(current, &QClipboard::dataChanged, current, [] { ++state().changes; });
    }
    return current;
}

bool fits(QSize size) {
    return size.width() <= Clipboard::maximumSide && size.height() <= Clipboard::maximumSide;
}

// The image's size from its header alone.
QSize headerSize(QByteArray bytes, const QByteArray& format) {
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    return QImageReader(&device, format).size();
}

// Reads the header first, so an oversized image is refused without being decoded.
std::optional<PixelRenderer::Buffer> decode(QByteArray bytes, const QByteArray& format) {
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    QImageReader reader(&device, format);
    if (const QSize size = reader.size(); size.isValid() && !fits(size))
        return std::nullopt;
    const QImage image = reader.read();
    if (image.isNull() || !fits(image.size()))
        return std::nullopt;
    return PixelRenderer::buffer(image);
}

std::optional<PixelRenderer::Buffer> decodeOtherFormats(const QMimeData& data) {
    const QList<QByteArray> readable = QImageReader::supportedMimeTypes();
    for (const QString& type : data.formats()) {
        if (!type.startsWith(QLatin1String("image/")) || !readable.contains(type.toLatin1()))
            continue;
        if (auto buffer = decode(data.data(type), QByteArray())) // the format read from the bytes
            return buffer;
    }
    // An image handed over as an image object, already decoded.
    const QImage image = qvariant_cast<QImage>(data.imageData());
    if (image.isNull() || !fits(image.size()))
        return std::nullopt;
    return PixelRenderer::buffer(image);
}

} // namespace

namespace Clipboard {

qint64 changeCount() {
    clipboard();
    return state().changes;
}

std::optional<PixelPoint> copiedFrom() {
    return state().copiedFrom;
}

qint64 stamp() {
    return state().stamp;
}

bool write(const QImage& straightImage, PixelPoint from) {
    QClipboard* board = clipboard();
    const QByteArray png = PixelRenderer::pngData(straightImage);
    if (!board || png.isEmpty())
        return false;
    auto* data = new QMimeData;
    data->setData(pngType, png);
    data->setImageData(straightImage);
    board->setMimeData(data);
    State& s = state();
    s.copiedFrom = from;
    s.stamp = s.changes;
    return true;
}

bool hasImage() {
    const QClipboard* board = clipboard();
    const QMimeData* data = board ? board->mimeData() : nullptr;
    if (!data)
        return false;
    if (data->hasImage())
        return true;
    const QStringList formats = data->formats();
    return std::any_of(formats.begin(), formats.end(), [](const QString& type) {
        return type.startsWith(QLatin1String("image/"));
    });
}

std::optional<QSize> imageSize() {
    const QClipboard* board = clipboard();
    const QMimeData* data = board ? board->mimeData() : nullptr;
    if (!data)
        return std::nullopt;
    QSize size;
    if (data->hasFormat(pngType))
        size = headerSize(data->data(pngType), "png");
    else if (data->hasImage())
        size = qvariant_cast<QImage>(data->imageData()).size();
    return size.isValid() ? std::optional<QSize>(size) : std::nullopt;
}

std::optional<PixelRenderer::Buffer> read() {
    const QClipboard* board = clipboard();
    const QMimeData* data = board ? board->mimeData() : nullptr;
    if (!data)
        return std::nullopt;
    if (data->hasFormat(pngType))
        return decode(data->data(pngType), "png");
    return decodeOtherFormats(*data);
}

} // namespace Clipboard
