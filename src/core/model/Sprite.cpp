#include "Sprite.h"

#include "MemoryError.h"

#include <algorithm>

Sprite Sprite::blank(qint64 width, qint64 height) {
    Sprite sprite;
    sprite.width = width;
    sprite.height = height;
    sprite.frames = {Frame{}};
    sprite.layers = {Layer(QStringLiteral("Layer 1"), 1)};
    sprite.palette = Palette::defaultPalette();
    sprite.activeLayerID = sprite.layers.first().id;
    return sprite;
}

qint64 Sprite::layerIndex(const QUuid& id) const {
    for (qint64 i = 0; i < layers.size(); ++i) {
        if (layers[i].id == id)
            return i;
    }
    return -1;
}

std::optional<qint64> Sprite::activeLayerIndex() const {
    if (!activeLayerID)
        return std::nullopt;
    const qint64 index = layerIndex(*activeLayerID);
    return index < 0 ? std::nullopt : std::optional<qint64>(index);
}

std::optional<Layer> Sprite::activeLayer() const {
    const auto index = activeLayerIndex();
    return index ? std::optional<Layer>(layers[*index]) : std::nullopt;
}

std::optional<Cel> Sprite::activeCel() const {
    const auto index = activeLayerIndex();
    return index ? cel(*index, activeFrameIndex) : std::nullopt;
}

const Cel* Sprite::celPointer(qint64 layerIndex, qint64 frame) const {
    if (layerIndex < 0 || layerIndex >= layers.size())
        return nullptr;
    const auto& celSlots = layers[layerIndex].cels;
    if (frame < 0 || frame >= celSlots.size() || !celSlots[frame])
        return nullptr;
    return &*celSlots[frame];
}

std::optional<Cel> Sprite::cel(qint64 layerIndex, qint64 frame) const {
    const Cel* found = celPointer(layerIndex, frame);
    return found ? std::optional<Cel>(*found) : std::nullopt;
}

bool Sprite::ensureCel(qint64 layerIndex, qint64 frame) {
    if (layerIndex < 0 || layerIndex >= layers.size() || frame < 0 || frame >= frames.size())
        return false;
    auto& celSlots = layers[layerIndex].cels;
    if (frame >= celSlots.size())
        celSlots.resize(frames.size());
    if (!celSlots[frame])
        celSlots[frame] = Cel(width, height, MemoryError::allocatedWords(width * height));
    return true;
}

PixelColor Sprite::compositedColor(PixelPoint point, qint64 frame) const {
    if (!bounds().contains(point))
        return PixelColor();
    PixelColor result;
    for (qint64 i = 0; i < layers.size(); ++i) {
        const Layer& layer = layers[i];
        const Cel* found = celPointer(i, frame);
        if (!layer.isVisible || layer.opacity <= 0 || !found || !found->bounds().contains(point))
            continue;
        const PixelColor pixel(found->pixel(point.x, point.y));
        if (pixel.alpha() == 0)
            continue;
        result = PixelColor::blend(pixel, layer.opacity * pixel.alpha() / 255.0, result);
    }
    return result;
}

QString Sprite::uniqueLayerName(const QString& base) const {
    for (qint64 n = layers.size() + 1;; ++n) {
        const QString candidate = base + ' ' + QString::number(n);
        const bool taken = std::any_of(layers.begin(), layers.end(),
                                       [&](const Layer& layer) { return layer.name == candidate; });
        if (!taken)
            return candidate;
    }
}

void Sprite::insertFrame(qint64 position, std::optional<qint64> copying) {
    position = std::clamp<qint64>(position, 0, frames.size());
    const bool hasSource = copying && *copying >= 0 && *copying < frames.size();
    const qint64 duration = hasSource ? frames[*copying].duration : Frame::defaultDuration;
    frames.insert(position, Frame{std::max(duration, Frame::minimumDuration)});
    for (Layer& layer : layers) {
        std::optional<Cel> slot;
        if (copying && *copying >= 0 && *copying < layer.cels.size())
            slot = layer.cels[*copying];
        layer.cels.insert(std::min<qint64>(position, layer.cels.size()), slot);
    }
    normalize();
}

void Sprite::removeFrame(qint64 index) {
    if (index < 0 || index >= frames.size() || frames.size() == 1)
        return;
    frames.removeAt(index);
    for (Layer& layer : layers) {
        if (index < layer.cels.size())
            layer.cels.removeAt(index);
    }
    if (activeFrameIndex >= frames.size())
        activeFrameIndex = frames.size() - 1;
    normalize();
}

void Sprite::moveFrame(qint64 from, qint64 to) {
    const qint64 target = std::clamp<qint64>(to, 0, frames.size() - 1);
    if (from < 0 || from >= frames.size() || from == target)
        return;
    frames.move(from, target);
    for (Layer& layer : layers) {
        layer.cels.resize(frames.size());
        layer.cels.move(from, target);
    }
    normalize();
}

void Sprite::normalize() {
    if (frames.isEmpty())
        frames = {Frame{}};
    for (Layer& layer : layers) {
        if (layer.cels.size() != frames.size())
            layer.cels.resize(frames.size());
    }
    activeFrameIndex = std::clamp<qint64>(activeFrameIndex, 0, frames.size() - 1);
    if (!activeLayerIndex())
        activeLayerID = layers.isEmpty() ? std::nullopt : std::optional<QUuid>(layers.last().id);
}
