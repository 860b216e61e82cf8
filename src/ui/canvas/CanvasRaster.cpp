#include "CanvasRaster.h"

#include "CheckerboardColors.h"

#include <QList>
#include <algorithm>
#include <cmath>

namespace {

// x × alpha / 255 for the four channels of a word at once, two at a time.
inline quint32 scaled(quint32 x, quint32 alpha) {
    quint32 redBlue = (x & 0xFF00FF) * alpha;
    redBlue = ((redBlue + ((redBlue >> 8) & 0xFF00FF) + 0x800080) >> 8) & 0xFF00FF;
    quint32 alphaGreen = ((x >> 8) & 0xFF00FF) * alpha;
    alphaGreen = (alphaGreen + ((alphaGreen >> 8) & 0xFF00FF) + 0x800080) & 0xFF00FF00;
    return redBlue | alphaGreen;
}

// Source-over of premultiplied words.
inline quint32 over(quint32 source, quint32 destination) {
    return source + scaled(destination, 255 - (source >> 24));
}

quint32 premultipliedWord(const QColor& color) {
    return qPremultiply(color.rgba());
}

// Where the device pixels along one axis fall on the canvas.
struct Axis {
    QList<qint64> pixel;     // sprite column or row per device pixel; -1 off the canvas
    QList<quint8> parity;    // which pattern colour the square there contributes
    QList<qint64> runEnd;    // index one past the run of device pixels on the same sprite pixel
    QList<qint64> gridLines; // indices of first device pixels of every sprite pixel but the first
};

// The device positions from..from+count-1 along one axis.
Axis axisAlong(qint64 from, qint64 count, double deviceOrigin, double devicePerPixel,
               double devicePerSquare, qint64 pixels) {
    Axis axis{QList<qint64>(count, -1), QList<quint8>(count, 0), QList<qint64>(count, 0), {}};
    const auto pixelAt = [&](qint64 position) {
        return qint64(std::floor((double(position) + 0.5 - deviceOrigin) / devicePerPixel));
    };
    for (qint64 i = 0; i < count; ++i) {
        const qint64 position = from + i;
        const qint64 pixel = pixelAt(position);
        if (pixel < 0 || pixel >= pixels)
            continue;
        const double offset = double(position) + 0.5 - deviceOrigin;
        axis.pixel[i] = pixel;
        axis.parity[i] = quint8(qint64(std::floor(offset / devicePerSquare)) & 1);
        if (pixel >= 1 && pixelAt(position - 1) != pixel)
            axis.gridLines.append(i);
    }
    for (qint64 i = count - 1; i >= 0; --i) {
        const bool continues = i + 1 < count && axis.pixel[i + 1] == axis.pixel[i];
        axis.runEnd[i] = continues ? axis.runEnd[i + 1] : i + 1;
    }
    return axis;
}

struct Inks {
    quint32 background;
    quint32 pattern[2]; // light, dark (both the plain fill when the pattern is off)
    quint32 grid;       // premultiplied line colour; 0 without a grid
};

Inks inksOf(const CanvasScene& scene) {
    Inks inks{};
    inks.background = premultipliedWord(scene.colors.background);
    if (scene.checkerboard) {
        const auto colors = CheckerboardColors::forAppearance(scene.colors.darkAppearance);
        inks.pattern[0] = premultipliedWord(colors.light);
        inks.pattern[1] = premultipliedWord(colors.dark);
    } else {
        inks.pattern[0] = inks.pattern[1] = premultipliedWord(scene.colors.controlBackground);
    }
    if (scene.grid) {
        QColor line = scene.colors.label;
        const double opacity = std::isnan(scene.gridOpacity) ? 0.0 : scene.gridOpacity;
        line.setAlphaF(float(std::clamp(opacity, 0.0, 1.0)));
        inks.grid = premultipliedWord(line);
    }
    return inks;
}

void renderRow(quint32* out, const Axis& columns, qint64 row, quint8 rowParity, bool gridRow,
               const quint32* source, const Inks& inks) {
    const qint64 count = columns.pixel.size();
    const qint64* pixel = columns.pixel.constData();
    const quint8* parity = columns.parity.constData();
    for (qint64 i = 0; i < count;) {
        if (pixel[i] < 0) {
            out[i++] = inks.background;
            continue;
        }
        const qint64 end = columns.runEnd[i];
        const quint32 s = source ? source[pixel[i]] : 0;
        const quint32 alpha = s >> 24;
        if (alpha == 255) {
            std::fill(out + i, out + end, s);
            i = end;
            continue;
        }
        const quint32 shades[2] = {alpha == 0 ? inks.pattern[0] : over(s, inks.pattern[0]),
                                   alpha == 0 ? inks.pattern[1] : over(s, inks.pattern[1])};
        for (; i < end; ++i)
            out[i] = shades[parity[i] ^ rowParity];
    }
    if (inks.grid == 0 || row < 0)
        return;
    if (gridRow) {
        for (qint64 i = 0; i < count; ++i) {
            if (pixel[i] >= 0)
                out[i] = over(inks.grid, out[i]);
        }
        return;
    }
    for (qint64 i : columns.gridLines)
        out[i] = over(inks.grid, out[i]);
}

} // namespace

namespace CanvasRaster {

void render(QImage& target, const QRect& deviceArea, const CanvasScene& scene) {
    const QRect area = deviceArea.intersected(target.rect());
    if (area.isEmpty())
        return;
    const double scale = scene.devicePixelRatio;
    const double perPixel = scene.zoom * scale;
    const double perSquare = CheckerboardColors::squareSide * scale;
    const Axis columns = axisAlong(area.left(), area.width(), scene.origin.x() * scale, perPixel,
                                   perSquare, scene.spriteWidth);
    const Axis rows = axisAlong(area.top(), area.height(), scene.origin.y() * scale, perPixel,
                                perSquare, scene.spriteHeight);
    const Inks inks = inksOf(scene);
    const bool hasComposite = !scene.composite.isNull() &&
                              scene.composite.width() == scene.spriteWidth &&
                              scene.composite.height() == scene.spriteHeight;
    qint64 nextGridRow = 0;
    for (qint64 r = 0; r < area.height(); ++r) {
        auto* out = reinterpret_cast<quint32*>(target.scanLine(area.top() + int(r))) + area.left();
        const qint64 row = rows.pixel[r];
        if (row < 0) {
            std::fill_n(out, area.width(), inks.background);
            continue;
        }
        const bool gridRow =
            nextGridRow < rows.gridLines.size() && rows.gridLines[nextGridRow] == r;
        if (gridRow)
            ++nextGridRow;
        const auto* source =
            hasComposite ? reinterpret_cast<const quint32*>(scene.composite.constScanLine(int(row)))
                         : nullptr;
        renderRow(out, columns, row, rows.parity[r], gridRow, source, inks);
    }
}

} // namespace CanvasRaster
