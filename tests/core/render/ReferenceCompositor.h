#pragma once

#include "OnionSkin.h"
#include "Sprite.h"

#include <algorithm>
#include <cmath>

// The compositing rules pixel by pixel with plain divisions, to hold the fast compositor against.
namespace reference {

inline quint32 channel(quint32 word, int shift) {
    return (word >> shift) & 0xFF;
}

// Draws a premultiplied source word with alpha a (1…255) over dst.
inline void drawOver(quint32& dst, quint32 source, quint32 a) {
    quint32 result = std::min<quint32>(255, a + channel(dst, 24) * (255 - a) / 255) << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        const quint32 c = channel(source, shift) + channel(dst, shift) * (255 - a) / 255;
        result |= std::min<quint32>(255, c) << shift;
    }
    dst = result;
}

inline quint32 premultiplied(quint32 straight, quint32 a) {
    quint32 result = a << 24;
    for (int shift = 0; shift < 24; shift += 8)
        result |= (channel(straight, shift) * a / 255) << shift;
    return result;
}

inline void blendPixel(quint32& dst, quint32 s, qint64 weight) {
    quint32 a = s >> 24;
    if (a == 0)
        return;
    if (weight < 256) {
        if (a * weight < 256)
            return;
        a = quint32(a * weight / 256);
    }
    drawOver(dst, premultiplied(s, a), a);
}

inline void ghostPixel(quint32& dst, quint32 p, quint32 tint, qint64 g) {
    const quint32 A = p >> 24;
    if (A == 0)
        return;
    const quint32 e = A * quint32(g);
    if (e < 255)
        return;
    const quint32 alpha = e / 255;
    quint32 ghost = alpha << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        const quint32 c = channel(p, shift) * 255 / A;
        const quint32 tinted = std::min<quint32>(255, (c * 115 + channel(tint, shift) * 140) / 255);
        ghost |= (tinted * alpha / 255) << shift;
    }
    drawOver(dst, ghost, alpha);
}

inline void compositeLayers(const Sprite& sprite, qint64 frame, const PixelRect& region,
                            QList<quint32>& dst) {
    for (const Layer& layer : sprite.layers) {
        if (!layer.isVisible || layer.opacity <= 0 || frame < 0 || frame >= layer.cels.size() ||
            !layer.cels[frame] || layer.cels[frame]->width != sprite.width ||
            layer.cels[frame]->height != sprite.height)
            continue;
        const qint64 weight = qint64(std::round(layer.opacity * 256));
        const Cel& cel = *layer.cels[frame];
        for (qint64 y = region.y; y < region.bottom(); ++y)
            for (qint64 x = region.x; x < region.right(); ++x)
                blendPixel(dst[y * sprite.width + x], cel.pixel(x, y), weight);
    }
}

inline QList<quint32> composite(const Sprite& sprite, qint64 frame) {
    QList<quint32> buffer(sprite.width * sprite.height, 0u);
    compositeLayers(sprite, frame, sprite.bounds(), buffer);
    return buffer;
}

inline void clear(QList<quint32>& buffer, qint64 width, const PixelRect& region) {
    for (qint64 y = region.y; y < region.bottom(); ++y)
        for (qint64 x = region.x; x < region.right(); ++x)
            buffer[y * width + x] = 0;
}

inline void composite(const Sprite& sprite, QList<quint32>& buffer, const PixelRect& rect,
                      qint64 frame, const std::optional<OnionSkin>& skin) {
    const PixelRect region = rect.intersection(sprite.bounds());
    if (region.isEmpty() || buffer.size() != sprite.width * sprite.height)
        return;
    clear(buffer, sprite.width, region);
    if (skin && skin->opacity > 0) {
        for (qint64 o : skin->offsets()) {
            const qint64 f = frame + o;
            if (f < 0 || f >= sprite.frames.size())
                continue;
            QList<quint32> scratch(buffer.size(), 0u);
            compositeLayers(sprite, f, region, scratch);
            const quint32 tint = o < 0 ? 0xFFFF4060 : 0xFF4898FF;
            const qint64 g =
                qint64(255 * std::clamp(skin->opacity / std::abs(double(o)), 0.0, 1.0));
            for (qint64 y = region.y; y < region.bottom(); ++y)
                for (qint64 x = region.x; x < region.right(); ++x)
                    ghostPixel(buffer[y * sprite.width + x], scratch[y * sprite.width + x], tint,
                               g);
        }
    }
    compositeLayers(sprite, frame, region, buffer);
}

} // namespace reference
