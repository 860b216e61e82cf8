#pragma once

#include <QString>
#include <QtGlobal>

// What a sprite may be: the editor refuses to build beyond these limits, the writer refuses to
// save beyond them before it encodes anything, and the reader refuses a package beyond them
// before it decodes anything, so every sprite that is saved opens again on the same machine.
namespace SpriteLimits {

// Each side of the canvas; bounds every cel, undo snapshot and canvas buffer.
inline constexpr qint64 maximumSide = 4096;
// Layers × frames: every slot costs memory even when empty. 256 layers × 256 frames.
inline constexpr qint64 maximumLayerFrames = 65536;
// The manifest text.
inline constexpr qint64 maximumManifestBytes = qint64(32) << 20;

constexpr bool isAllowedSize(qint64 width, qint64 height) {
    return width >= 1 && height >= 1 && width <= maximumSide && height <= maximumSide;
}

// One cel file of a width × height canvas: twice its raw pixels leaves room for a PNG stored
// without compression and for any ancillary chunks a painting program may add.
constexpr qint64 maximumCelFileBytes(qint64 width, qint64 height) {
    return 8 * width * height + (qint64(1) << 20);
}

// Empty when layers × frames is within the cap, else the sentence that says it is not.
QString layerFramesRefusal(qint64 layers, qint64 frames);

// The bytes this machine can give to pixels: its physical memory, or the process's
// address-space limit when that is lower.
qint64 memoryBytes();

// Empty when cels distinct width × height cels fit in memoryBytes(), else the sentence that
// says they do not. doing is what needs them, e.g. "open this project".
QString celMemoryRefusal(qint64 cels, qint64 width, qint64 height, const QString& doing);

} // namespace SpriteLimits
