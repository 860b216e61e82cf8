#include "ExportFormat.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

struct FormatInfo {
    const char* raw;
    const char* title;
    const char* titleWithArticle; // as it is read out: "an SVG", "a PNG"
    const char* extension;
    const char* mimeType;
    const char* writer;
};

const FormatInfo& info(ExportFormat format) {
    static const FormatInfo table[] = {
        {"png", "PNG", "a PNG", "png", "image/png", "png"},
        {"jpeg", "JPEG", "a JPEG", "jpg", "image/jpeg", "jpeg"},
        {"bmp", "BMP", "a BMP", "bmp", "image/bmp", "bmp"},
        {"ico", "ICO", "an ICO", "ico", "image/vnd.microsoft.icon", "ico"},
        {"svg", "SVG", "an SVG", "svg", "image/svg+xml", ""},
    };
    return table[int(format)];
}

} // namespace

namespace ExportFormats {

QString rawValue(ExportFormat format) {
    return QString::fromLatin1(info(format).raw);
}

std::optional<ExportFormat> fromRawValue(const QString& raw) {
    for (ExportFormat format : all) {
        if (raw == QLatin1String(info(format).raw))
            return format;
    }
    return std::nullopt;
}

std::optional<ExportFormat> fromFileName(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    for (ExportFormat format : all) {
        if (suffix == QLatin1String(info(format).extension) ||
            suffix == QLatin1String(info(format).raw))
            return format;
    }
    return std::nullopt;
}

QString title(ExportFormat format) {
    return QCoreApplication::translate("ExportFormat", info(format).title);
}

QString titleWithArticle(ExportFormat format) {
    return QCoreApplication::translate("ExportFormat", info(format).titleWithArticle);
}

QString fileExtension(ExportFormat format) {
    return QString::fromLatin1(info(format).extension);
}

QString mimeType(ExportFormat format) {
    return QString::fromLatin1(info(format).mimeType);
}

std::optional<QString> caveat(ExportFormat format) {
    switch (format) {
    case ExportFormat::jpeg:
        return QCoreApplication::translate(
            "ExportFormat", "JPEG has no transparency: anything see-through is flattened onto "
                            "white, and the encoder is lossy.");
    case ExportFormat::ico:
        return QCoreApplication::translate(
            "ExportFormat", "An icon has to be square, and 16, 24, 32, 48, 64, 128 or 256 px — so "
                            "only the scales that land on one of those are offered.");
    case ExportFormat::svg:
        return QCoreApplication::translate(
            "ExportFormat", "One rectangle per run of pixels, so it stays sharp at any size.");
    case ExportFormat::png:
    case ExportFormat::bmp:
        break;
    }
    return std::nullopt;
}

QByteArray writerFormat(ExportFormat format) {
    return QByteArray(info(format).writer);
}

} // namespace ExportFormats
