#pragma once

#include <QtGlobal>

// Row kernels of the compositor. Words are 0xAARRGGBB; sources are straight, destinations
// premultiplied. Every division by 255 is an exact floor division, so the vector and scalar
// versions give the same bits. The vector versions are chosen at compile time (SSE2 on x86-64),
// and blendRow uses AVX2 where the CPU has it; the scalar ones serve other CPUs and the tails
// of rows.
namespace PixelBlending {

// The layer weight 0…256 of an opacity: round(opacity × 256), 256 when fully opaque.
quint32 layerWeight(double opacity);
// The ghost weight 0…255 of a frame |offset| frames away: trunc(255 × clamp(opacity / |offset|)).
quint32 ghostWeight(double opacity, qint64 offset);

// Draws count straight source words, their alpha scaled by weight (1…256), over destination.
void blendRow(const quint32* source, quint32* destination, qint64 count, quint32 weight);

// One layer's straight words in a stack, with its weight 1…256.
struct LayerRow {
    const quint32* words;
    quint32 weight;
};
// The layers, bottom first, drawn over transparency into count destination words, whatever
// they held: the same bits as clearing the destination and calling blendRow for each layer.
void compositeRow(const LayerRow* layers, qint64 layerCount, quint32* destination, qint64 count);
// Draws a premultiplied composite (whose channels never exceed its alpha) as a ghost: colours
// pulled towards the opaque tint, alpha scaled by weight (0…255).
void ghostRow(const quint32* composite, quint32* destination, qint64 count, quint32 tint,
              quint32 weight);
void premultiplyRow(const quint32* source, quint32* destination, qint64 count);
void unpremultiplyRow(const quint32* source, quint32* destination, qint64 count);

// Asks for the cache lines of count words ahead of use; a hint only.
void prefetch(const quint32* words, qint64 count);

#ifdef __SSE2__
// The kernels blendRow chooses from, each drawing a whole row, so they can be compared.
namespace sse2 {
void blendRow(const quint32* source, quint32* destination, qint64 count, quint32 weight);
} // namespace sse2
namespace avx2 {
bool isAvailable();
// Only where isAvailable().
void blendRow(const quint32* source, quint32* destination, qint64 count, quint32 weight);
void compositeRow(const LayerRow* layers, qint64 layerCount, quint32* destination, qint64 count);
} // namespace avx2
#endif

// The portable versions, also used for the last few words of a row.
namespace scalar {
void blendRow(const quint32* source, quint32* destination, qint64 count, quint32 weight);
void ghostRow(const quint32* composite, quint32* destination, qint64 count, quint32 tint,
              quint32 weight);
void premultiplyRow(const quint32* source, quint32* destination, qint64 count);
void unpremultiplyRow(const quint32* source, quint32* destination, qint64 count);
} // namespace scalar

} // namespace PixelBlending
