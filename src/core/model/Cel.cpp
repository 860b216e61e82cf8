#include "Cel.h"

#include <cstring>

Cel::Cel(qint64 width, qint64 height) : width(width), height(height) {
    if (width > 0 && height > 0)
        pixels = QList<quint32>(width * height, 0u);
}

QList<quint32> Cel::extract(const PixelRect& rect) const {
    const PixelRect clipped = rect.intersection(bounds());
    if (clipped.isEmpty() || pixels.size() < width * height)
        return {};
    if (clipped == bounds() && pixels.size() == clipped.area())
        return pixels; // the whole cel: share its storage instead of copying it
    QList<quint32> words(clipped.area());
    quint32* out = words.data();
    const quint32* in = pixels.constData();
    for (qint64 row = 0; row < clipped.height; ++row)
        std::memcpy(out + row * clipped.width, in + (clipped.y + row) * width + clipped.x,
                    size_t(clipped.width) * sizeof(quint32));
    return words;
}

void Cel::replace(const PixelRect& rect, const QList<quint32>& words) {
    if (rect.isEmpty() || words.size() != rect.area() || !bounds().contains(rect) ||
        pixels.size() < width * height)
        return;
    quint32* out = pixels.data();
    const quint32* in = words.constData();
    for (qint64 row = 0; row < rect.height; ++row)
        std::memcpy(out + (rect.y + row) * width + rect.x, in + row * rect.width,
                    size_t(rect.width) * sizeof(quint32));
}
