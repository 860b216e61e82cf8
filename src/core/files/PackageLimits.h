#pragma once

#include <QtGlobal>

// How much a project package may ask of the reader. A hostile file could otherwise name a
// billion frames or reference one tiny, highly compressed cel thousands of times. The writer
// refuses sprites beyond these limits, so every saved package opens again.
namespace PackageLimits {

// Layers × frames: every slot costs memory even when empty. 256 layers × 256 frames.
inline constexpr qint64 maximumCelSlots = 65536;
// Cel references inside the frames; a normal package has at most one per slot.
inline constexpr qint64 maximumCelReferences = maximumCelSlots;
// Decoded pixels of all referenced cels together (4 GiB of pixel words).
inline constexpr qint64 maximumCelPixels = qint64(1) << 30;
// The manifest text.
inline constexpr qint64 maximumManifestBytes = qint64(32) << 20;
// One cel file of a width × height canvas: twice its raw pixels leaves room for a PNG stored
// without compression and for any ancillary chunks a painting program may add.
constexpr qint64 maximumCelFileBytes(qint64 width, qint64 height) {
    return 8 * width * height + (qint64(1) << 20);
}

} // namespace PackageLimits
