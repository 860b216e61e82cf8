#include "AtlasMetadata.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

// A JSON string literal, escaped by Qt's writer.
QString quoted(const QString& text) {
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

QString rect(const PixelRect& r) {
    return QStringLiteral("{\"x\": %1, \"y\": %2, \"w\": %3, \"h\": %4}")
        .arg(r.x)
        .arg(r.y)
        .arg(r.width)
        .arg(r.height);
}

QString size(qint64 width, qint64 height) {
    return QStringLiteral("{\"w\": %1, \"h\": %2}").arg(width).arg(height);
}

} // namespace

QString AtlasMetadata::frameName(const QString& spriteName, qint64 index) {
    return QStringLiteral("%1 %2.png")
        .arg(spriteName.isEmpty() ? QStringLiteral("Untitled") : spriteName)
        .arg(index);
}

// Written by hand rather than through QJsonObject, which sorts keys: frames keep their order,
// and each frame's keys read in the order loaders document them.
QByteArray AtlasMetadata::jsonData(SheetMetadataStyle style) const {
    const bool hash = style == SheetMetadataStyle::hash;
    QString text = hash ? QStringLiteral("{\"frames\": {\n") : QStringLiteral("{\"frames\": [\n");
    for (qint64 i = 0; i < frames.size(); ++i) {
        const Frame& f = frames[i];
        const QString name = quoted(frameName(spriteName, i));
        text += hash ? QStringLiteral("\t%1: {\n").arg(name)
                     : QStringLiteral("\t{\n\t\t\"filename\": %1,\n").arg(name);
        text += QStringLiteral("\t\t\"frame\": %1,\n"
                               "\t\t\"rotated\": false,\n"
                               "\t\t\"trimmed\": %2,\n"
                               "\t\t\"spriteSourceSize\": %3,\n"
                               "\t\t\"sourceSize\": %4,\n"
                               "\t\t\"duration\": %5\n\t}")
                    .arg(rect(f.frame), trimmed ? QStringLiteral("true") : QStringLiteral("false"),
                         rect(f.spriteSource), size(sourceWidth, sourceHeight))
                    .arg(f.duration);
        text += i + 1 < frames.size() ? QStringLiteral(",\n") : QStringLiteral("\n");
    }
    text += hash ? QStringLiteral("},\n") : QStringLiteral("],\n");
    text +=
        QStringLiteral("\"meta\": {\n"
                       "\t\"app\": \"Kestrin\",\n"
                       "\t\"version\": %1,\n"
                       "\t\"image\": %2,\n"
                       "\t\"format\": \"RGBA8888\",\n"
                       "\t\"size\": %3,\n"
                       "\t\"scale\": \"%4\"\n"
                       "}\n}\n")
            .arg(quoted(QStringLiteral(KESTRIN_VERSION)), quoted(image),
                 size(sheetWidth, sheetHeight), QString::number(double(percent) / 100.0, 'g', 6));
    return text.toUtf8();
}
