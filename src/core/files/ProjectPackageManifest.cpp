#include "ProjectPackageManifest.h"

#include "DecodingError.h"
#include "SpriteLimits.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace ProjectPackage {
namespace {

// Values are named by their path in the document, as in layers[2].cels[0].frame, so the
// message says exactly what was wrong.
[[noreturn]] void fail(const QString& path, const QString& problem) {
    throw DecodingError(QStringLiteral("\"%1\" %2").arg(path, problem));
}

QString member(const QString& path, const QString& key) {
    return path.isEmpty() ? key : path + '.' + key;
}

QString item(const QString& path, qint64 index) {
    return path + '[' + QString::number(index) + ']';
}

bool isPresent(const QJsonObject& object, const QString& key) {
    const QJsonValue value = object.value(key);
    return !value.isUndefined() && !value.isNull();
}

QJsonValue required(const QJsonObject& object, const QString& path, const QString& key) {
    if (!isPresent(object, key))
        fail(member(path, key), QStringLiteral("is missing."));
    return object.value(key);
}

QJsonObject objectValue(const QJsonValue& value, const QString& path) {
    if (!value.isObject())
        fail(path, QStringLiteral("should be an object."));
    return value.toObject();
}

QJsonArray arrayValue(const QJsonValue& value, const QString& path) {
    if (!value.isArray())
        fail(path, QStringLiteral("should be a list."));
    return value.toArray();
}

QString stringValue(const QJsonValue& value, const QString& path) {
    if (!value.isString())
        fail(path, QStringLiteral("should be a text."));
    return value.toString();
}

bool boolValue(const QJsonValue& value, const QString& path) {
    if (!value.isBool())
        fail(path, QStringLiteral("should be true or false."));
    return value.toBool();
}

double numberValue(const QJsonValue& value, const QString& path) {
    if (!value.isDouble() || !std::isfinite(value.toDouble()))
        fail(path, QStringLiteral("should be a number."));
    return value.toDouble();
}

qint64 integerValue(const QJsonValue& value, const QString& path) {
    const double number = numberValue(value, path);
    if (number != std::floor(number) || std::abs(number) >= 9.2e18)
        fail(path, QStringLiteral("should be a whole number."));
    return value.toInteger();
}

bool isHexDigit(QChar c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Exactly 8-4-4-4-12 hexadecimal digits, either case; braces and other forms are refused.
QUuid uuidValue(const QJsonValue& value, const QString& path) {
    const QString text = stringValue(value, path);
    bool valid = text.size() == 36;
    for (qsizetype i = 0; valid && i < text.size(); ++i)
        valid = (i == 8 || i == 13 || i == 18 || i == 23) ? text[i] == '-' : isHexDigit(text[i]);
    if (!valid)
        fail(path, QStringLiteral("is not a valid UUID."));
    return QUuid::fromString(text);
}

QString uuidText(const QUuid& id) {
    return id.toString(QUuid::WithoutBraces).toUpper();
}

template <typename Decode>
auto listValue(const QJsonValue& value, const QString& path, Decode decode) {
    QList<decltype(decode(QJsonValue(), QString()))> list;
    const QJsonArray array = arrayValue(value, path);
    list.reserve(array.size());
    for (qsizetype i = 0; i < array.size(); ++i)
        list.append(decode(array[i], item(path, i)));
    return list;
}

Manifest::Frame decodeFrame(const QJsonValue& value, const QString& path) {
    const QJsonObject object = objectValue(value, path);
    return {integerValue(required(object, path, "duration"), member(path, "duration"))};
}

Manifest::Cel decodeCel(const QJsonValue& value, const QString& path) {
    const QJsonObject object = objectValue(value, path);
    return {integerValue(required(object, path, "frame"), member(path, "frame")),
            stringValue(required(object, path, "file"), member(path, "file"))};
}

Manifest::Layer decodeLayer(const QJsonValue& value, const QString& path) {
    const QJsonObject object = objectValue(value, path);
    Manifest::Layer layer;
    layer.id = uuidValue(required(object, path, "id"), member(path, "id"));
    layer.name = stringValue(required(object, path, "name"), member(path, "name"));
    layer.visible = boolValue(required(object, path, "visible"), member(path, "visible"));
    layer.opacity = numberValue(required(object, path, "opacity"), member(path, "opacity"));
    if (isPresent(object, "cels"))
        layer.cels = listValue(object.value("cels"), member(path, "cels"), decodeCel);
    if (isPresent(object, "file"))
        layer.file = stringValue(object.value("file"), member(path, "file"));
    return layer;
}

Manifest decodeRoot(const QJsonObject& root) {
    Manifest manifest;
    manifest.version = integerValue(required(root, {}, "version"), "version");
    manifest.width = integerValue(required(root, {}, "width"), "width");
    manifest.height = integerValue(required(root, {}, "height"), "height");
    if (isPresent(root, "activeLayerID"))
        manifest.activeLayerID = uuidValue(root.value("activeLayerID"), "activeLayerID");
    if (isPresent(root, "activeFrameIndex"))
        manifest.activeFrameIndex =
            integerValue(root.value("activeFrameIndex"), "activeFrameIndex");
    if (isPresent(root, "frames"))
        manifest.frames = listValue(root.value("frames"), "frames", decodeFrame);
    manifest.palette = Palette::fromJson(required(root, {}, "palette"));
    manifest.layers = listValue(required(root, {}, "layers"), "layers", decodeLayer);
    return manifest;
}

void checkLimits(const Manifest& manifest) {
    if (!SpriteLimits::isAllowedSize(manifest.width, manifest.height))
        throw DecodingError(QStringLiteral("The canvas size %1 × %2 is not between 1 and %3 "
                                           "pixels on each side.")
                                .arg(manifest.width)
                                .arg(manifest.height)
                                .arg(SpriteLimits::maximumSide));
    const qint64 frames = manifest.frameCount();
    const QString tooMany = SpriteLimits::layerFramesRefusal(manifest.layers.size(), frames);
    if (!tooMany.isEmpty())
        throw DecodingError(tooMany);
    // A normal package has at most one reference per slot; the memory the referenced files
    // need is checked against this machine once their names are known.
    qint64 references = 0;
    for (const Manifest::Layer& layer : manifest.layers) {
        for (const Manifest::Cel& cel : Manifest::references(layer))
            references += cel.frame >= 0 && cel.frame < frames;
    }
    if (references > SpriteLimits::maximumLayerFrames)
        throw DecodingError(QStringLiteral("The project's %1 cel references are more than its "
                                           "%2 layers × frames allow.")
                                .arg(references)
                                .arg(SpriteLimits::maximumLayerFrames));
}

QJsonObject encodeLayer(const Manifest::Layer& layer) {
    QJsonObject object{{"id", uuidText(layer.id)},
                       {"name", layer.name},
                       {"visible", layer.visible},
                       {"opacity", layer.opacity}};
    if (layer.cels) {
        QJsonArray cels;
        for (const Manifest::Cel& cel : *layer.cels)
            cels.append(QJsonObject{{"frame", cel.frame}, {"file", cel.file}});
        object.insert("cels", cels);
    }
    if (layer.file)
        object.insert("file", *layer.file);
    return object;
}

} // namespace

qint64 Manifest::frameCount() const {
    return frames && !frames->isEmpty() ? frames->size() : 1;
}

QList<Manifest::Cel> Manifest::references(const Layer& layer) {
    if (layer.cels)
        return *layer.cels;
    if (layer.file)
        return {Cel{0, *layer.file}};
    return {};
}

QByteArray Manifest::toJson() const {
    QJsonObject root{
        {"version", version}, {"width", width}, {"height", height}, {"palette", palette.toJson()}};
    if (activeLayerID)
        root.insert("activeLayerID", uuidText(*activeLayerID));
    if (activeFrameIndex)
        root.insert("activeFrameIndex", *activeFrameIndex);
    if (frames) {
        QJsonArray list;
        for (const Frame& frame : *frames)
            list.append(QJsonObject{{"duration", frame.duration}});
        root.insert("frames", list);
    }
    QJsonArray layerList;
    for (const Layer& layer : layers)
        layerList.append(encodeLayer(layer));
    root.insert("layers", layerList);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

Manifest Manifest::fromJson(const QByteArray& json) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        throw DecodingError(QStringLiteral("The project file is not valid JSON (%1 at byte %2).")
                                .arg(error.errorString())
                                .arg(error.offset));
    if (!document.isObject())
        throw DecodingError(QStringLiteral("The project file does not hold a JSON object."));
    Manifest manifest = decodeRoot(document.object());
    checkLimits(manifest);
    return manifest;
}

} // namespace ProjectPackage
