#pragma once

#include "Cel.h"
#include "Frame.h"
#include "Layer.h"
#include "Palette.h"
#include "PixelColor.h"

#include <QList>
#include <QUuid>
#include <optional>

// The whole content of a document. A plain value: copies share pixel storage until written,
// and comparing a sprite with its unmodified copy never compares pixels word by word.
struct Sprite {
    qint64 width = 0;
    qint64 height = 0;
    QList<Layer> layers; // bottom to top
    QList<Frame> frames;
    Palette palette;
    std::optional<QUuid> activeLayerID;
    qint64 activeFrameIndex = 0;

    // The sprite of a new document: "Layer 1", one 100 ms frame, the "Default" palette.
    static Sprite blank(qint64 width, qint64 height);

    PixelRect bounds() const { return PixelRect::canvas(width, height); }

    std::optional<qint64> activeLayerIndex() const;
    std::optional<Layer> activeLayer() const;
    std::optional<Cel> activeCel() const;
    std::optional<Cel> cel(qint64 layerIndex, qint64 frame) const;
    // The cel itself, or null; for hot paths that must not copy.
    const Cel* celPointer(qint64 layerIndex, qint64 frame) const;
    qint64 layerIndex(const QUuid& id) const; // -1 when no layer has that id

    // Makes sure the slot holds a cel (a blank one when it was empty); false when out of range.
    bool ensureCel(qint64 layerIndex, qint64 frame);

    // The colour one sees at a pixel of a frame, with the model's one-pixel blending.
    PixelColor compositedColor(PixelPoint point, qint64 frame) const;
    QString uniqueLayerName(const QString& base) const;

    void insertFrame(qint64 position, std::optional<qint64> copying = std::nullopt);
    void removeFrame(qint64 index);
    void moveFrame(qint64 from, qint64 to);
    void normalize();

    friend bool operator==(const Sprite& a, const Sprite& b) = default;
};
