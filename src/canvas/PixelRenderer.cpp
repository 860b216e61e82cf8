#include "PixelRenderer.h"

#include <QBuffer>
#include <QColorSpace>
#include <QImageWriter>
#include <QPainter>
#include <cmath>

namespace {

constexpr quint32 warmTint = 0xFFFF4060; // frames before
constexpr quint32 coolTint = 0xFF4898FF; // frames after

inline quint32 div255(quint32 x) {
    return (x * 32897u) >> 23;
}

// Source-over of one premultiplied pixel with alpha a (1…255) onto dst.
inline quint32 over(quint32 src, quint32 a, quint32 dst) {
    if (a == 255)
        return src | 0xFF000000u;
    const quint32 inverse = 255 - a;
    const quint32 da = dst >> 24;
    const quint32 outA = std::min<quint32>(255, a + div255(da * inverse));
    quint32 result = outA << 24;
    for (int shift = 0; shift <= 16; shift += 8) {
        const quint32 s = (src >> shift) & 0xFF;
        const quint32 d = (dst >> shift) & 0xFF;
        result |= std::min<quint32>(255, s + div255(d * inverse)) << shift;
    }
    return result;
}

inline quint32 premultiplied(quint32 straight, quint32 a) {
    const quint32 r = div255(((straight >> 16) & 0xFF) * a);
    const quint32 g = div255(((straight >> 8) & 0xFF) * a);
    const quint32 b = div255((straight & 0xFF) * a);
    return (a << 24) | (r << 16) | (g << 8) | b;
}

qint64 layerWeight(double opacity) {
    return qint64(std::round(opacity * 256));
}

// Composites one frame's layers over the region of dst (canvas-sized, premultiplied).
void compositeLayers(const Sprite& sprite, qint64 frame, const PixelRect& region, quint32* dst) {
    for (qint64 i = 0; i < sprite.layers.size(); ++i) {
        const Layer& layer = sprite.layers[i];
        const Cel* cel = sprite.celPointer(i, frame);
        if (!layer.isVisible || layer.opacity <= 0 || !cel || cel->width != sprite.width ||
            cel->height != sprite.height || cel->pixels.size() != sprite.width * sprite.height)
            continue;
        const qint64 weight = layerWeight(layer.opacity);
        if (weight <= 0)
            continue;
        const quint32* src = cel->pixels.constData();
        for (qint64 y = region.y; y < region.bottom(); ++y) {
            for (qint64 x = region.x; x < region.right(); ++x) {
                const qint64 index = y * sprite.width + x;
                const quint32 s = src[index];
                quint32 a = s >> 24;
                if (a == 0)
                    continue;
                if (weight < 256) {
                    if (a * weight < 256)
                        continue;
                    a = quint32((a * weight) / 256);
                }
                dst[index] = over(premultiplied(s, a), a, dst[index]);
            }
        }
    }
}

void clearRegion(quint32* buffer, qint64 width, const PixelRect& region) {
    for (qint64 y = region.y; y < region.bottom(); ++y)
        std::fill_n(buffer + y * width + region.x, region.width, 0u);
}

void drawGhost(const quint32* scratch, quint32* buffer, qint64 width, const PixelRect& region,
               quint32 tint, quint32 weight) {
    const quint32 tintChannels[3] = {tint & 0xFF, (tint >> 8) & 0xFF, (tint >> 16) & 0xFF};
    for (qint64 y = region.y; y < region.bottom(); ++y) {
        for (qint64 x = region.x; x < region.right(); ++x) {
            const qint64 index = y * width + x;
            const quint32 p = scratch[index];
            const quint32 A = p >> 24;
            if (A == 0)
                continue;
            const quint32 e = A * weight;
            if (e < 255)
                continue;
            const quint32 alpha = e / 255;
            quint32 ghost = alpha << 24;
            for (int c = 0; c < 3; ++c) {
                const quint32 channel = ((p >> (8 * c)) & 0xFF) * 255 / A;
                const quint32 tinted =
                    std::min<quint32>(255, (channel * 115 + tintChannels[c] * 140) / 255);
                ghost |= (tinted * alpha / 255) << (8 * c);
            }
            buffer[index] = over(ghost, alpha, buffer[index]);
        }
    }
}

QImage drawnNearest(const QImage& image, qint64 width, qint64 height) {
    QImage target(int(width), int(height), QImage::Format_ARGB32_Premultiplied);
    if (target.isNull())
        return {};
    target.fill(Qt::transparent);
    QPainter painter(&target);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QRect(0, 0, int(width), int(height)), image);
    return target;
}

} // namespace

namespace PixelRenderer {

QList<quint32> composite(const Sprite& sprite, qint64 frame) {
    if (sprite.width <= 0 || sprite.height <= 0)
        return {};
    QList<quint32> buffer(sprite.width * sprite.height, 0u);
    compositeLayers(sprite, frame, sprite.bounds(), buffer.data());
    return buffer;
}

void composite(const Sprite& sprite, QList<quint32>& buffer, const PixelRect& rect, qint64 frame,
               const std::optional<OnionSkin>& onionSkin, QList<quint32>& scratch) {
    const PixelRect region = rect.intersection(sprite.bounds());
    const qint64 count = sprite.width * sprite.height;
    if (region.isEmpty() || buffer.size() != count)
        return;
    quint32* out = buffer.data();
    clearRegion(out, sprite.width, region);
    const bool ghosts = onionSkin && (onionSkin->framesBefore > 0 || onionSkin->framesAfter > 0) &&
                        onionSkin->opacity > 0 && sprite.frames.size() >= 2;
    if (ghosts) {
        if (scratch.size() != count)
            scratch = QList<quint32>(count, 0u);
        quint32* work = scratch.data();
        for (qint64 offset : onionSkin->offsets()) {
            const qint64 ghostFrame = frame + offset;
            if (ghostFrame < 0 || ghostFrame >= sprite.frames.size())
                continue;
            const auto weight =
                quint32(255 * std::clamp(onionSkin->opacity / std::abs(offset), 0.0, 1.0));
            if (weight == 0)
                continue;
            clearRegion(work, sprite.width, region);
            compositeLayers(sprite, ghostFrame, region, work);
            drawGhost(work, out, sprite.width, region, offset < 0 ? warmTint : coolTint, weight);
        }
    }
    compositeLayers(sprite, frame, region, out);
}

QList<quint32> premultiply(const QList<quint32>& pixels) {
    QList<quint32> result(pixels.size());
    quint32* out = result.data();
    const quint32* in = pixels.constData();
    for (qint64 i = 0; i < pixels.size(); ++i) {
        const quint32 a = in[i] >> 24;
        out[i] = a == 0 ? 0 : a == 255 ? in[i] : premultiplied(in[i], a);
    }
    return result;
}

QList<quint32> unpremultiply(const QList<quint32>& pixels) {
    QList<quint32> result(pixels.size());
    quint32* out = result.data();
    const quint32* in = pixels.constData();
    for (qint64 i = 0; i < pixels.size(); ++i) {
        const quint32 p = in[i];
        const quint32 a = p >> 24;
        if (a == 0 || a == 255) {
            out[i] = a == 0 ? 0 : p;
            continue;
        }
        quint32 word = a << 24;
        for (int shift = 0; shift <= 16; shift += 8)
            word |= std::min<quint32>(255, ((p >> shift) & 0xFF) * 255 / a) << shift;
        out[i] = word;
    }
    return result;
}

static QImage wrap(const QList<quint32>& words, qint64 width, qint64 height,
                   QImage::Format format) {
    if (width <= 0 || height <= 0 || words.size() != width * height || width > INT_MAX ||
        height > INT_MAX)
        return {};
    // Wrap the shared storage and detach into the image's own copy once.
    QImage image(reinterpret_cast<const uchar*>(words.constData()), int(width), int(height),
                 int(width * 4), format);
    QImage owned = image.copy();
    owned.setColorSpace(QColorSpace::SRgb);
    return owned;
}

QImage makeImage(const QList<quint32>& premultiplied, qint64 width, qint64 height) {
    return wrap(premultiplied, width, height, QImage::Format_ARGB32_Premultiplied);
}

QImage makeStraightImage(const QList<quint32>& straight, qint64 width, qint64 height) {
    return wrap(straight, width, height, QImage::Format_ARGB32);
}

std::optional<Buffer> buffer(const QImage& image) {
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        return std::nullopt;
    QImage converted = image;
    if (converted.colorSpace().isValid() && converted.colorSpace() != QColorSpace::SRgb)
        converted.convertToColorSpace(QColorSpace::SRgb);
    converted = converted.convertToFormat(QImage::Format_ARGB32);
    if (converted.isNull())
        return std::nullopt;
    Buffer result{QList<quint32>(qint64(converted.width()) * converted.height()), converted.width(),
                  converted.height()};
    quint32* out = result.pixels.data();
    for (int y = 0; y < converted.height(); ++y) {
        const auto* row = reinterpret_cast<const quint32*>(converted.constScanLine(y));
        std::copy_n(row, converted.width(), out + qint64(y) * converted.width());
    }
    return result;
}

QByteArray pngData(const QImage& image) {
    if (image.isNull())
        return {};
    QByteArray bytes;
    QBuffer device(&bytes);
    device.open(QIODevice::WriteOnly);
    QImageWriter writer(&device, "png");
    return writer.write(image) ? bytes : QByteArray();
}

QImage scaled(const QImage& image, qint64 percent) {
    if (percent <= 0 || percent == 100 || image.isNull())
        return image;
    const auto side = [percent](qint64 length) {
        return std::max<qint64>(1, qint64(std::round(double(length) * double(percent) / 100.0)));
    };
    return drawnNearest(image, side(image.width()), side(image.height()));
}

QImage thumbnail(const Cel& cel, qint64 maxSide) {
    const QImage image = makeStraightImage(cel.pixels, cel.width, cel.height);
    const qint64 longer = std::max(cel.width, cel.height);
    if (image.isNull() || longer <= maxSide)
        return image;
    const double scale = double(maxSide) / double(longer);
    const auto side = [scale](qint64 length) {
        return std::max<qint64>(1, qint64(std::round(double(length) * scale)));
    };
    return drawnNearest(image, side(cel.width), side(cel.height));
}

} // namespace PixelRenderer
