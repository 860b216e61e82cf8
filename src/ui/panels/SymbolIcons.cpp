#include "SymbolIcons.h"

#include "SymbolPainter.h"

#include <QHash>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmap>

namespace {

// Draws the symbol on demand at the exact size and pixel ratio asked for, and keeps what it
// drew: widgets ask for the same few pixmaps on every repaint.
class SymbolIconEngine : public QIconEngine {
public:
    SymbolIconEngine(const QString& name, const QPalette& palette, int pointSize)
        : name(name), pointSize(pointSize),
          normal(palette.color(QPalette::Active, QPalette::WindowText)),
          disabled(palette.color(QPalette::Disabled, QPalette::WindowText)),
          selected(palette.color(QPalette::Active, QPalette::HighlightedText)) {}

    QIconEngine* clone() const override { return new SymbolIconEngine(*this); }
    QString key() const override { return QStringLiteral("KestrinSymbol"); }
    QString iconName() override { return name; }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        return {QSize(pointSize, pointSize)};
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }

    // QIcon hands over the size in device pixels already and sets the pixel ratio itself.
    QPixmap scaledPixmap(const QSize& pixels, QIcon::Mode mode, QIcon::State,
                         qreal scale) override {
        const QString cacheKey =
            QStringLiteral("%1x%2/%3").arg(pixels.width()).arg(pixels.height()).arg(int(mode));
        auto cached = drawn.constFind(cacheKey);
        if (cached == drawn.constEnd())
            cached = drawn.insert(cacheKey, render(pixels, colorFor(mode)));
        QPixmap pixmap = *cached;
        pixmap.setDevicePixelRatio(scale);
        return pixmap;
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal scale = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(rect, scaledPixmap(rect.size() * scale, mode, state, scale));
    }

private:
    QColor colorFor(QIcon::Mode mode) const {
        if (mode == QIcon::Disabled)
            return disabled;
        return mode == QIcon::Selected ? selected : normal;
    }

    // Square symbols are centred in a size that is not square.
    QPixmap render(QSize pixels, const QColor& color) const {
        QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        const qreal side = qMin(pixels.width(), pixels.height());
        if (side > 0) {
            QPainter painter(&image);
            painter.translate((pixels.width() - side) / 2, (pixels.height() - side) / 2);
            painter.scale(side / SymbolPainter::gridSide, side / SymbolPainter::gridSide);
            SymbolPainter::draw(painter, name, color);
        }
        return QPixmap::fromImage(image);
    }

    QString name;
    int pointSize;
    QColor normal;
    QColor disabled;
    QColor selected;
    QHash<QString, QPixmap> drawn;
};

} // namespace

namespace SymbolIcons {

QIcon icon(const QString& symbolName, const QPalette& palette, int pointSize) {
    return QIcon(new SymbolIconEngine(symbolName, palette, pointSize));
}

} // namespace SymbolIcons
