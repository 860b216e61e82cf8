#include "AppearancePalette.h"
#include "OutlinedIndicatorStyle.h"

#include <QCheckBox>
#include <QImage>
#include <QStyleOptionButton>
#include <cmath>
#include <gtest/gtest.h>

namespace {

double luminance(QColor color) {
    const auto channel = [](double value) {
        return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(color.redF()) + 0.7152 * channel(color.greenF()) +
           0.0722 * channel(color.blueF());
}

double contrast(QColor a, QColor b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

struct Appearance {
    const char* name;
    QPalette palette;
};

QList<Appearance> appearances() {
    return {{"light", AppearancePalette::light()}, {"dark", AppearancePalette::dark()}};
}

TEST(AppearanceContrast, SecondaryTextIsReadableInBothAppearances) {
    for (const Appearance& appearance : appearances()) {
        SCOPED_TRACE(appearance.name);
        const QPalette& p = appearance.palette;
        EXPECT_GE(contrast(p.color(QPalette::PlaceholderText), p.color(QPalette::Window)), 4.5);
        EXPECT_GE(contrast(p.color(QPalette::WindowText), p.color(QPalette::Window)), 4.5);
        EXPECT_GE(contrast(p.color(QPalette::Text), p.color(QPalette::Base)), 4.5);
    }
}

TEST(AppearanceContrast, CheckBoxesStandOutFromTheWindow) {
    OutlinedIndicatorStyle style;
    for (const Appearance& appearance : appearances()) {
        SCOPED_TRACE(appearance.name);
        QCheckBox box(QStringLiteral("Pixel-perfect"));
        box.setStyle(&style);
        box.setPalette(appearance.palette);
        box.resize(box.sizeHint());
        QImage shot(box.size(), QImage::Format_ARGB32);
        shot.fill(appearance.palette.color(QPalette::Window));
        box.render(&shot, QPoint(), QRegion(), QWidget::DrawChildren);

        QStyleOptionButton option;
        option.initFrom(&box);
        const QRect indicator = style.subElementRect(QStyle::SE_CheckBoxIndicator, &option, &box);
        ASSERT_FALSE(indicator.isEmpty());
        // The strongest edge of the box against the window: a control needs 3:1 to be seen.
        double strongest = 0;
        for (int y = indicator.top(); y <= indicator.bottom(); ++y)
            strongest = std::max(strongest, contrast(shot.pixelColor(indicator.left(), y),
                                                     appearance.palette.color(QPalette::Window)));
        EXPECT_GE(strongest, 3.0);
    }
}

} // namespace
