#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// The still-image formats an export can be written in.
enum class ExportFormat { png, jpeg, bmp, ico, svg };

namespace ExportFormats {

inline const QList<ExportFormat> all = {ExportFormat::png, ExportFormat::jpeg, ExportFormat::bmp,
                                        ExportFormat::ico, ExportFormat::svg};

QString rawValue(ExportFormat format);
// Case-sensitive raw value ("png", "jpeg", …); absent for anything else.
std::optional<ExportFormat> fromRawValue(const QString& raw);
// The format a file name's extension names ("jpg" and "jpeg" are both JPEG), case-insensitive.
std::optional<ExportFormat> fromFileName(const QString& fileName);

QString title(ExportFormat format);
// The title with its indefinite article ("a PNG", "an ICO").
QString titleWithArticle(ExportFormat format);
QString fileExtension(ExportFormat format);
QString mimeType(ExportFormat format);
// What the user should know before choosing the format; absent when nothing.
std::optional<QString> caveat(ExportFormat format);
// The QImageWriter format name; empty for SVG, which is never written through an image encoder.
QByteArray writerFormat(ExportFormat format);

} // namespace ExportFormats
