#include "FrameOperations.h"

#include <algorithm>

namespace FrameOperations {

void addEmptyFrame(Sprite& sprite) {
    const qint64 position = sprite.activeFrameIndex + 1;
    sprite.insertFrame(position);
    sprite.activeFrameIndex = position;
}

void duplicateFrame(Sprite& sprite) {
    const qint64 position = sprite.activeFrameIndex + 1;
    sprite.insertFrame(position, sprite.activeFrameIndex);
    sprite.activeFrameIndex = position;
}

void clearFrame(Sprite& sprite) {
    const auto layerIndex = sprite.activeLayerIndex();
    if (!layerIndex)
        return;
    auto& celSlots = sprite.layers[*layerIndex].cels;
    if (sprite.activeFrameIndex >= 0 && sprite.activeFrameIndex < celSlots.size())
        celSlots[sprite.activeFrameIndex].reset();
}

void deleteFrame(Sprite& sprite, qint64 index) {
    if (sprite.frames.size() >= 2 && index >= 0 && index < sprite.frames.size())
        sprite.removeFrame(index);
}

void moveFrame(Sprite& sprite, qint64 from, qint64 to) {
    if (sprite.frames.isEmpty())
        return;
    sprite.moveFrame(from, to);
    sprite.activeFrameIndex = std::clamp<qint64>(to, 0, sprite.frames.size() - 1);
}

void setFrameDuration(Sprite& sprite, qint64 milliseconds, qint64 index) {
    if (index >= 0 && index < sprite.frames.size())
        sprite.frames[index].duration = std::max(milliseconds, Frame::minimumDuration);
}

} // namespace FrameOperations
