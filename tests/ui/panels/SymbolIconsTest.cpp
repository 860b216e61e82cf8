#include "SymbolIcons.h"
#include "SymbolPainter.h"
#include "SymmetryMode.h"
#include "ToolKind.h"

#include <QImage>
#include <QSet>
#include <gtest/gtest.h>

namespace {

// Every symbol name the program shows somewhere.
QStringList usedSymbolNames() {
    QStringList names = {"square",
                         "square.fill",
                         "minus.magnifyingglass",
                         "plus.magnifyingglass",
                         "arrow.up.left.and.arrow.down.right",
                         "sidebar.right",
                         "play.fill",
                         "pause.fill",
                         "stop.fill",
                         "circle.fill",
                         "plus",
                         "minus",
                         "eye",
                         "eye.slash",
                         "arrow.up",
                         "arrow.down",
                         "plus.square",
                         "folder",
                         "square.grid.2x2",
                         "backward.frame.fill",
                         "forward.frame.fill",
                         "square.on.square",
                         "plus.square.on.square",
                         "trash",
                         "chevron.up",
                         "chevron.down",
                         "square.dashed",
                         "arrow.left.and.right"};
    for (ToolKind kind : ToolKinds::all)
        names.append(ToolKinds::systemImage(kind));
    for (SymmetryMode mode : SymmetryModes::all)
        names.append(SymmetryModes::systemImage(mode));
    return names;
}

QPalette paletteWithText(const QColor& text) {
    QPalette palette;
    palette.setColor(QPalette::Active, QPalette::WindowText, text);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(128, 128, 128));
    return palette;
}

QImage rendered(const QIcon& icon, QIcon::Mode mode = QIcon::Normal) {
    return icon.pixmap(QSize(24, 24), mode).toImage().convertToFormat(QImage::Format_ARGB32);
}

qint64 inkedPixels(const QImage& image) {
    qint64 count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) > 0;
    return count;
}

// Pixels drawn at full strength carry exactly the ink colour.
bool drawnIn(const QImage& image, const QColor& color) {
    bool sawOpaque = false;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) < 255)
                continue;
            sawOpaque = true;
            if (QColor(pixel).rgb() != color.rgb())
                return false;
        }
    }
    return sawOpaque;
}

} // namespace

TEST(SymbolIcons, EveryUsedNameHasItsOwnVisibleDrawingInTheTextColour) {
    const QPalette light = paletteWithText(Qt::black);
    const QPalette dark = paletteWithText(Qt::white);
    QSet<QByteArray> seenImages;
    for (const QString& name : usedSymbolNames()) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_TRUE(SymbolPainter::isKnown(name));
        const QImage onLight = rendered(SymbolIcons::icon(name, light, 15));
        EXPECT_GT(inkedPixels(onLight), 10);
        EXPECT_TRUE(drawnIn(onLight, Qt::black));
        EXPECT_TRUE(drawnIn(rendered(SymbolIcons::icon(name, dark, 15)), Qt::white));
        const QByteArray bytes(reinterpret_cast<const char*>(onLight.constBits()),
                               onLight.sizeInBytes());
        seenImages.insert(bytes);
    }
    // Two names sharing one drawing would show the same icon for different things; the tool
    // list and the standalone list name "square" twice, which is the one expected repeat.
    const QStringList names = usedSymbolNames();
    EXPECT_EQ(seenImages.size(), QSet<QString>(names.begin(), names.end()).size());
}

TEST(SymbolIcons, UnknownNamesDisabledStateAndSharpScaling) {
    const QPalette palette = paletteWithText(Qt::black);
    EXPECT_FALSE(SymbolPainter::isKnown("no.such.symbol"));
    const QIcon unknown = SymbolIcons::icon("no.such.symbol", palette, 15);
    EXPECT_GT(inkedPixels(rendered(unknown)), 10);

    const QIcon trash = SymbolIcons::icon("trash", palette, 15);
    EXPECT_TRUE(drawnIn(rendered(trash, QIcon::Disabled), QColor(128, 128, 128)));

    const QPixmap doubled = trash.pixmap(QSize(15, 15), 2.0);
    EXPECT_EQ(doubled.size(), QSize(30, 30));
    EXPECT_EQ(doubled.devicePixelRatio(), 2.0);
}
