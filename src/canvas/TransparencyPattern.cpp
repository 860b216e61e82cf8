#include "TransparencyPattern.h"

namespace TransparencyPattern {

Colors colors(bool darkAppearance) {
    if (darkAppearance)
        return {QColor::fromRgbF(0.26f, 0.26f, 0.26f), QColor::fromRgbF(0.2f, 0.2f, 0.2f)};
    return {QColor::fromRgbF(1, 1, 1), QColor::fromRgbF(0.87f, 0.87f, 0.87f)};
}

QImage tile(bool darkAppearance) {
    const Colors pair = colors(darkAppearance);
    QImage image(2 * square, 2 * square, QImage::Format_ARGB32_Premultiplied);
    image.fill(pair.light);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((x / square + y / square) % 2 == 1)
                row[x] = pair.dark.rgba();
        }
    }
    return image;
}

} // namespace TransparencyPattern
