#include "LayerOperations.h"

#include "MemoryError.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>

namespace {

// Source-over of every painted pixel of upper onto lower inside area, at the layer opacity.
// Pixels that either cel does not reach are left alone.
void mergeCel(const Cel& upper, double opacity, Cel& lower, const PixelRect& area) {
    const PixelRect reached = area.intersection(upper.bounds()).intersection(lower.bounds());
    if (reached.isEmpty() || upper.pixels.size() < upper.width * upper.height ||
        lower.pixels.size() < lower.width * lower.height)
        return;
    const quint32* source = upper.pixels.constData();
    quint32* target = lower.pixels.data();
    for (qint64 y = reached.y; y < reached.bottom(); ++y) {
        const quint32* sourceRow = source + y * upper.width;
        quint32* targetRow = target + y * lower.width;
        for (qint64 x = reached.x; x < reached.right(); ++x) {
            const PixelColor pixel(sourceRow[x]);
            if (pixel.alpha() == 0)
                continue;
            const double alpha = pixel.alpha() / 255.0 * opacity;
            targetRow[x] = PixelColor::blend(pixel, alpha, PixelColor(targetRow[x])).raw;
        }
    }
}

} // namespace

namespace LayerOperations {

void addLayer(Sprite& sprite, const QString& name) {
    Layer layer(name, std::max<qint64>(sprite.frames.size(), 1));
    const auto active = sprite.activeLayerIndex();
    sprite.layers.insert(active ? *active + 1 : sprite.layers.size(), layer);
    sprite.activeLayerID = layer.id;
}

void duplicateLayer(Sprite& sprite, const QUuid& id) {
    const qint64 index = sprite.layerIndex(id);
    if (index < 0)
        return;
    Layer copy = sprite.layers[index];
    copy.id = QUuid::createUuid();
    copy.name = QCoreApplication::translate("LayerOperations", "%1 copy").arg(copy.name);
    sprite.layers.insert(index + 1, copy);
    sprite.activeLayerID = copy.id;
}

void mergeLayerDown(Sprite& sprite, const QUuid& id) {
    const qint64 index = sprite.layerIndex(id);
    if (index < 1)
        return;
    const Layer upper = sprite.layers[index];
    Layer& lower = sprite.layers[index - 1];
    for (qint64 frame = 0; frame < upper.cels.size(); ++frame) {
        if (!upper.cels[frame])
            continue;
        if (frame >= lower.cels.size())
            lower.cels.resize(frame + 1);
        std::optional<Cel>& slot = lower.cels[frame];
        if (!slot)
            slot = Cel(sprite.width, sprite.height,
                       MemoryError::allocatedWords(sprite.width * sprite.height));
        mergeCel(*upper.cels[frame], upper.opacity, *slot, sprite.bounds());
    }
    sprite.activeLayerID = lower.id;
    sprite.layers.removeAt(index);
}

void moveLayer(Sprite& sprite, const QUuid& id, qint64 step) {
    const qint64 index = sprite.layerIndex(id);
    // Compared as distances, so an absurd step cannot overflow.
    if (index < 0 || step < -index || step >= sprite.layers.size() - index)
        return;
    sprite.layers.move(index, index + step);
}

void deleteLayer(Sprite& sprite, const QUuid& id) {
    const qint64 index = sprite.layerIndex(id);
    if (sprite.layers.size() < 2 || index < 0)
        return;
    const bool wasActive = sprite.activeLayerID == id;
    sprite.layers.removeAt(index);
    if (wasActive)
        sprite.activeLayerID = sprite.layers[std::min<qint64>(index, sprite.layers.size() - 1)].id;
}

void renameLayer(Sprite& sprite, const QUuid& id, const QString& text) {
    const qint64 index = sprite.layerIndex(id);
    const QString name = text.trimmed();
    if (index >= 0 && !name.isEmpty())
        sprite.layers[index].name = name;
}

void setVisibility(Sprite& sprite, const QUuid& id, bool visible) {
    const qint64 index = sprite.layerIndex(id);
    if (index >= 0)
        sprite.layers[index].isVisible = visible;
}

void setOpacity(Sprite& sprite, const QUuid& id, double opacity) {
    const qint64 index = sprite.layerIndex(id);
    // NaN would never compare equal, so every later setting would look like a change.
    if (index >= 0 && !std::isnan(opacity))
        sprite.layers[index].opacity = std::clamp(opacity, 0.0, 1.0);
}

} // namespace LayerOperations
