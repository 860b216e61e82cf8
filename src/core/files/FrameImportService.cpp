#include "FrameImportService.h"

#include "ApngReader.h"
#include "ExportScale.h"
#include "GifReader.h"
#include "ImportError.h"
#include "ImportService.h"
#include "MemoryError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QtEndian>

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("FrameImportService", text);
}

// Enough for the largest sheet Kestrin writes (16384 px a side) at 8 bits per channel.
constexpr int sheetAllocationLimitMiB = 1100;
// A GIF or APNG is compressed; a file larger than every frame it may hold is refused unread.
constexpr qint64 largestAnimationFile = ImportedFrames::maximumPixels * 4;

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > largestAnimationFile)
        throw ImportError(ImportError::unreadableImage);
    return file.readAll();
}

QSize checkedSize(const QString& path) {
    const QSize size = FrameImportService::imageSize(path);
    if (!size.isValid())
        throw ImportError(ImportError::unreadableImage);
    return size;
}

QList<quint32> decoded(QImageReader& reader) {
    const QImage image = reader.read();
    if (image.isNull())
        throw ImportError(ImportError::unreadableImage);
    return ImportedFrames::pixels(image);
}

QList<quint32> cellPixels(const QList<quint32>& sheet, qint64 sheetWidth, const PixelRect& cell) {
    QList<quint32> pixels = MemoryError::allocatedWords(cell.area());
    for (qint64 y = 0; y < cell.height; ++y)
        std::copy_n(sheet.constData() + (cell.y + y) * sheetWidth + cell.x, cell.width,
                    pixels.data() + y * cell.width);
    return pixels;
}

bool isBlank(const QList<quint32>& pixels) {
    return std::all_of(pixels.cbegin(), pixels.cend(), [](quint32 word) { return word == 0; });
}

} // namespace

namespace FrameImportService {

QSize imageSize(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray start = file.read(24);
    if (ApngReader::isPng(start)) {
        if (start.size() < 24 || start.mid(12, 4) != "IHDR")
            return {};
        const quint32 width = qFromBigEndian<quint32>(start.constData() + 16);
        const quint32 height = qFromBigEndian<quint32>(start.constData() + 20);
        if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF)
            return {};
        return QSize(int(width), int(height));
    }
    return QImageReader(path).size();
}

Sprite animation(const QString& path) {
    const QByteArray bytes = fileBytes(path);
    if (GifReader::isGif(bytes))
        return sprite(GifReader::read(bytes), ImportService::layerName(path));
    if (ApngReader::isPng(bytes))
        return sprite(ApngReader::read(bytes), ImportService::layerName(path));
    throw ImportError(tr("Only GIF and PNG animations can be imported as frames."));
}

Sprite sheet(const QString& path, const SheetCut& cut) {
    const QSize size = checkedSize(path);
    if (size.width() > ExportScale::largestSide || size.height() > ExportScale::largestSide)
        throw ImportError(
            tr("A sprite sheet can be at most %1 px on a side.").arg(ExportScale::largestSide));
    const QList<PixelRect> cells = cut.cells(size.width(), size.height());
    QImageReader reader(path);
    reader.setAllocationLimit(sheetAllocationLimitMiB);
    const QList<quint32> pixels = decoded(reader);
    if (pixels.size() != qint64(size.width()) * size.height())
        throw ImportError(ImportError::unreadableImage);
    ImportedFrames frames{cells.first().width, cells.first().height, {}, {}};
    for (const PixelRect& cell : cells) {
        QList<quint32> image = cellPixels(pixels, size.width(), cell);
        if (cut.skipEmpty && isBlank(image))
            continue;
        frames.images.append(std::move(image));
        frames.durations.append(Frame::defaultDuration);
    }
    if (frames.images.isEmpty())
        throw ImportError(tr("Every cell of the sheet is empty."));
    return sprite(frames, ImportService::layerName(path));
}

QStringList sequenceFiles(const QString& path) {
    static const QRegularExpression numbered(QStringLiteral("^(.*?)(\\d+)\\.png$"),
                                             QRegularExpression::CaseInsensitiveOption);
    const QFileInfo info(path);
    const QRegularExpressionMatch match = numbered.match(info.fileName());
    if (!match.hasMatch())
        throw ImportError(
            tr("“%1” has no number before “.png”, so it starts no sequence.").arg(info.fileName()));
    const QString prefix = match.captured(1);
    QMap<qint64, QString> files;
    const QDir folder = info.absoluteDir();
    for (const QString& name : folder.entryList(QDir::Files, QDir::Name)) {
        const QRegularExpressionMatch other = numbered.match(name);
        if (!other.hasMatch() || other.captured(1) != prefix)
            continue;
        bool ok = false;
        const qint64 number = other.captured(2).toLongLong(&ok);
        if (!ok)
            continue;
        if (files.contains(number))
            throw ImportError(tr("“%1” and “%2” carry the same number.")
                                  .arg(QFileInfo(files.value(number)).fileName(), name));
        files.insert(number, folder.filePath(name));
    }
    return files.values();
}

Sprite sequence(const QString& path) {
    const QStringList files = sequenceFiles(path);
    QList<QSize> sizes;
    for (const QString& file : files)
        sizes.append(checkedSize(file));
    ImportedFrames frames{sizes.first().width(), sizes.first().height(), {}, {}};
    ImportedFrames::checkSize(frames.width, frames.height);
    ImportedFrames::checkCount(files.size(), frames.width, frames.height);
    for (qsizetype i = 0; i < files.size(); ++i) {
        if (sizes[i] != sizes.first())
            throw ImportError(tr("“%1” is %2 × %3 but the sequence's first image is %4 × %5.")
                                  .arg(QFileInfo(files[i]).fileName())
                                  .arg(sizes[i].width())
                                  .arg(sizes[i].height())
                                  .arg(frames.width)
                                  .arg(frames.height));
    }
    for (const QString& file : files) {
        QImageReader reader(file);
        const QList<quint32> image = decoded(reader);
        if (image.size() != frames.width * frames.height)
            throw ImportError(ImportError::unreadableImage);
        frames.images.append(image);
        frames.durations.append(Frame::defaultDuration);
    }
    QString name = QFileInfo(files.first()).completeBaseName();
    name.remove(QRegularExpression(QStringLiteral("[_\\- ]*\\d+$")));
    return sprite(frames, name);
}

Sprite import(const FrameImportRequest& request) {
    switch (request.kind) {
    case FrameImportRequest::Kind::sheet:
        return sheet(request.path, request.cut);
    case FrameImportRequest::Kind::sequence:
        return sequence(request.path);
    case FrameImportRequest::Kind::animation:
        break;
    }
    return animation(request.path);
}

Sprite sprite(const ImportedFrames& frames, const QString& layerName) {
    ImportedFrames::checkSize(frames.width, frames.height);
    ImportedFrames::checkCount(frames.images.size(), frames.width, frames.height);
    const qint64 count = frames.images.size();
    Layer layer(layerName.isEmpty() ? QStringLiteral("Layer 1") : layerName, count);
    Sprite result;
    result.width = frames.width;
    result.height = frames.height;
    // The palette takes the first colours met across the frames, as a still import does.
    QList<quint32> firstColours;
    QSet<quint32> seen;
    for (qint64 i = 0; i < count; ++i) {
        if (frames.images[i].size() != frames.width * frames.height)
            throw ImportError(ImportError::unreadableImage);
        layer.cels[i] = Cel(frames.width, frames.height, frames.images[i]);
        result.frames.append(Frame{ImportedFrames::frameDuration(frames.durations.value(i))});
        for (quint32 word : frames.images[i]) {
            if (firstColours.size() == ImportService::importedPaletteLimit)
                break;
            if ((word >> 24) != 0 && !seen.contains(word)) {
                seen.insert(word);
                firstColours.append(word);
            }
        }
    }
    result.palette = ImportService::palette(firstColours, ImportService::importedPaletteLimit);
    result.activeLayerID = layer.id;
    result.layers = {layer};
    result.normalize();
    return result;
}

} // namespace FrameImportService
