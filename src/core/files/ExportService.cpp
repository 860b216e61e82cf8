#include "ExportService.h"

#include "ExportError.h"
#include "ExportScale.h"
#include "MemoryError.h"
#include "PixelRenderer.h"
#include "SVGService.h"

#include <QBuffer>
#include <QDir>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <memory>
#include <vector>

namespace {

QString baseOrUntitled(const QString& baseName) {
    return baseName.isEmpty() ? QStringLiteral("Untitled") : baseName;
}

bool isIconSize(const QImage& image) {
    return image.width() == image.height() && ExportScale::iconSides.contains(image.width());
}

bool offersIcon(qint64 width, qint64 height, qint64 percent) {
    const qint64 w = ExportScale::side(width, percent);
    return w == ExportScale::side(height, percent) && ExportScale::iconSides.contains(w);
}

// A buffered write that fails leaves Qt's message generic; the system's reason ("No space
// left on device") is what the user needs.
QString failureReason(const QFileDevice& file) {
    return errno != 0 ? qt_error_string(errno) : file.errorString();
}

} // namespace

namespace ExportService {

QList<qint64> percents(qint64 width, qint64 height, ExportFormat format) {
    QList<qint64> offered;
    for (qint64 percent : ExportScale::candidatePercents) {
        const bool fits = format == ExportFormat::ico ? offersIcon(width, height, percent)
                                                      : ExportScale::fits(width, height, percent);
        if (fits)
            offered.append(percent);
    }
    return offered;
}

QString scaleSuffix(qint64 percent) {
    if (percent == 100)
        return {};
    if (percent % 100 == 0)
        return QStringLiteral("@%1x").arg(percent / 100);
    return QStringLiteral("@%1x").arg(QString::number(double(percent) / 100.0, 'g', 6));
}

QString suggestedFileName(const QString& documentName, qint64 percent, ExportFormat format) {
    return baseOrUntitled(documentName) + scaleSuffix(percent) + u'.' +
           ExportFormats::fileExtension(format);
}

QByteArray encode(const QImage& image, ExportFormat format) {
    const QByteArray writerName = ExportFormats::writerFormat(format);
    if (image.isNull() || writerName.isEmpty() ||
        (format == ExportFormat::ico && !isIconSize(image)))
        return {};
    QByteArray bytes;
    QBuffer device(&bytes);
    device.open(QIODevice::WriteOnly);
    QImageWriter writer(&device, writerName);
    return writer.write(image) ? bytes : QByteArray();
}

QImage flattenedOntoWhite(const QImage& image) {
    if (image.isNull())
        return {};
    const QImage straight = MemoryError::checkedImage(image.convertToFormat(QImage::Format_ARGB32));
    QImage flat = MemoryError::allocatedImage(image.width(), image.height(), QImage::Format_RGB32);
    // Blended by hand: a painter would make full-size temporaries it cannot report failing.
    const auto over = [](int channel, int alpha) {
        return (channel * alpha + 255 * (255 - alpha) + 127) / 255;
    };
    for (int y = 0; y < straight.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(straight.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(flat.scanLine(y));
        for (int x = 0; x < straight.width(); ++x) {
            const int alpha = qAlpha(in[x]);
            out[x] = qRgb(over(qRed(in[x]), alpha), over(qGreen(in[x]), alpha),
                          over(qBlue(in[x]), alpha));
        }
    }
    return flat;
}

void checkOutputSize(qint64 width, qint64 height, qint64 percent) {
    if (width < 1 || height < 1 || percent < 1)
        throw ExportError::renderFailed();
    if (!ExportScale::fits(width, height, percent))
        throw ExportError::tooLarge();
}

QByteArray imageData(const QList<quint32>& straight, qint64 width, qint64 height, qint64 percent,
                     ExportFormat format) {
    checkOutputSize(width, height, percent);
    if (format == ExportFormat::svg)
        return SVGService::data(straight, width, height, percent);
    QImage image =
        PixelRenderer::scaled(PixelRenderer::makeStraightImage(straight, width, height), percent);
    if (format == ExportFormat::jpeg)
        image = flattenedOntoWhite(image);
    const QByteArray bytes = encode(image, format);
    if (bytes.isEmpty())
        throw ExportError::renderFailed();
    return bytes;
}

QByteArray frameData(const Sprite& sprite, qint64 frame, qint64 percent, ExportFormat format) {
    if (frame < 0 || frame >= sprite.frames.size())
        throw ExportError::renderFailed();
    return imageData(PixelRenderer::unpremultiply(PixelRenderer::composite(sprite, frame)),
                     sprite.width, sprite.height, percent, format);
}

void writeFile(const QByteArray& bytes, const QString& path) {
    writeFiles({{path, bytes}});
}

void writeFiles(const QList<FileContents>& files) {
    std::vector<std::unique_ptr<QSaveFile>> written;
    for (const FileContents& contents : files) {
        auto file = std::make_unique<QSaveFile>(contents.path);
        // An uncommitted QSaveFile removes its temporary file when destroyed.
        errno = 0;
        if (!file->open(QIODevice::WriteOnly) ||
            file->write(contents.bytes) != contents.bytes.size() || !file->flush())
            throw ExportError::writeFailed(contents.path, failureReason(*file));
        written.push_back(std::move(file));
    }
    for (const auto& file : written) {
        errno = 0;
        if (!file->commit())
            throw ExportError::writeFailed(file->fileName(), failureReason(*file));
    }
}

QString frameFileName(const QString& baseName, qint64 frame, ExportFormat format) {
    return baseOrUntitled(baseName) + QString::asprintf("_%03lld.", qlonglong(frame)) +
           ExportFormats::fileExtension(format);
}

QString layerFileName(const QString& baseName, qint64 layer, const QString& layerName,
                      ExportFormat format) {
    // Folder separators and control characters (a NUL would cut the path short) become "-".
    QString name = layerName;
    for (QChar& c : name) {
        if (c == u'/' || c.category() == QChar::Other_Control)
            c = u'-';
    }
    return baseOrUntitled(baseName) + QString::asprintf("_%02lld_", qlonglong(layer)) + name +
           u'.' + ExportFormats::fileExtension(format);
}

qint64 writeFrames(const Sprite& sprite, qint64 percent, ExportFormat format, const QString& folder,
                   const QString& baseName, const StepProgress& progress) {
    const QDir directory(folder);
    const qint64 count = sprite.frames.size();
    for (qint64 frame = 0; frame < count; ++frame) {
        writeFile(frameData(sprite, frame, percent, format),
                  directory.filePath(frameFileName(baseName, frame, format)));
        reportProgress(progress, frame + 1, count);
    }
    return count;
}

qint64 writeLayers(const Sprite& sprite, qint64 frame, qint64 percent, ExportFormat format,
                   const QString& folder, const QString& baseName, const StepProgress& progress) {
    const QDir directory(folder);
    const qint64 visible = std::count_if(sprite.layers.cbegin(), sprite.layers.cend(),
                                         [](const Layer& layer) { return layer.isVisible; });
    qint64 written = 0;
    for (qint64 index = 0; index < sprite.layers.size(); ++index) {
        if (!sprite.layers[index].isVisible)
            continue;
        Sprite alone = sprite;
        for (qint64 other = 0; other < alone.layers.size(); ++other)
            alone.layers[other].isVisible = other == index;
        writeFile(
            frameData(alone, frame, percent, format),
            directory.filePath(layerFileName(baseName, index, sprite.layers[index].name, format)));
        reportProgress(progress, ++written, visible);
    }
    return written;
}

} // namespace ExportService
