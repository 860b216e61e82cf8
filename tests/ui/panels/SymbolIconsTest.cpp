#include "SymbolIcons.h"
#include "SymbolPainter.h"

#include <QImage>
#include <QSet>
#include <gtest/gtest.h>

namespace {

QImage rendered(const QIcon& icon, QIcon::Mode mode = QIcon::Normal) {
    return icon.pixmap(QSize(24, 24), mode).toImage().convertToFormat(QImage::Format_ARGB32);
}

// The colours of the fully opaque pixels: an icon follows the text colour of its palette.
QSet<QRgb> opaqueColours(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) == 255)
                colours.insert(image.pixel(x, y));
    return colours;
}

} // namespace

TEST(SymbolIcons, DrawInTheTextColourOfEachStateAndStaySharpWhenScaled) {
    QPalette palette;
    palette.setColor(QPalette::Active, QPalette::WindowText, Qt::black);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(128, 128, 128));
    const QIcon trash = SymbolIcons::icon("trash", palette, 15);
    EXPECT_EQ(opaqueColours(rendered(trash)), QSet<QRgb>{qRgb(0, 0, 0)});
    EXPECT_EQ(opaqueColours(rendered(trash, QIcon::Disabled)), QSet<QRgb>{qRgb(128, 128, 128)});
    palette.setColor(QPalette::Active, QPalette::WindowText, Qt::white);
    const QImage onDark = rendered(SymbolIcons::icon("trash", palette, 15));
    EXPECT_EQ(opaqueColours(onDark), QSet<QRgb>{qRgb(255, 255, 255)});
    EXPECT_NE(rendered(SymbolIcons::icon("eye", palette, 15)), onDark);

    const QPixmap doubled = trash.pixmap(QSize(15, 15), 2.0);
    EXPECT_EQ(doubled.size(), QSize(30, 30));
    EXPECT_EQ(doubled.devicePixelRatio(), 2.0);

    // A name the painter does not know still shows something rather than an empty button.
    EXPECT_TRUE(SymbolPainter::isKnown("trash"));
    EXPECT_FALSE(SymbolPainter::isKnown("no.such.symbol"));
    const QIcon unknown = SymbolIcons::icon("no.such.symbol", palette, 15);
    EXPECT_FALSE(opaqueColours(rendered(unknown)).isEmpty());
}
