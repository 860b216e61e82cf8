#pragma once

#include "Palette.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUuid>
#include <optional>

namespace ProjectPackage {

// The shape of "project.json". Optional fields are absent in older packages; version 1 has no
// frames and gives each layer one image in `file` instead of `cels`.
struct Manifest {
    struct Frame {
        qint64 duration = 100;
    };
    struct Cel {
        qint64 frame = 0;
        QString file; // "layers/<name>"; only the last path component is used
    };
    struct Layer {
        QUuid id;
        QString name;
        bool visible = true;
        double opacity = 1.0;
        std::optional<QList<Cel>> cels;
        std::optional<QString> file;
    };

    qint64 version = 2;
    qint64 width = 0;
    qint64 height = 0;
    std::optional<QUuid> activeLayerID;
    std::optional<qint64> activeFrameIndex;
    std::optional<QList<Frame>> frames;
    Palette palette;
    QList<Layer> layers;

    // Frames the cel slots are made for: one when the list is absent or empty.
    qint64 frameCount() const;
    // A layer's cel references: its cels, else its single version 1 file in frame 0.
    static QList<Cel> references(const Layer& layer);

    // Pretty-printed, keys sorted at every level, UUIDs in upper case.
    QByteArray toJson() const;
    // Throws DecodingError naming the offending key for invalid JSON, a missing key, a value
    // of the wrong type, a bad UUID or colour, and for sizes beyond SpriteLimits.
    static Manifest fromJson(const QByteArray& json);
};

} // namespace ProjectPackage
