#include "AppearancePalette.h"
#include "OutlinedIndicatorStyle.h"

#include <QCheckBox>
#include <QImage>
#include <QStyleOptionButton>
#include <cmath>
#include <gtest/gtest.h>

namespace {

double contrast(QColor a, QColor b) {
    const auto luminance = [](QColor color) {
        const auto channel = [](double value) {
            return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(color.redF()) + 0.7152 * channel(color.greenF()) +
               0.0722 * channel(color.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Text needs 4.5:1 against its background to be read, a control's edge 3:1 to be seen.
TEST(AppearanceContrast, TextAndCheckBoxesStandOutInBothAppearances) {
    OutlinedIndicatorStyle style;
    for (const QPalette& p : {AppearancePalette::light(), AppearancePalette::dark()}) {
        SCOPED_TRACE(p.color(QPalette::Window).name().toStdString());
        const QColor window = p.color(QPalette::Window);
        EXPECT_GE(contrast(p.color(QPalette::PlaceholderText), window), 4.5);
        EXPECT_GE(contrast(p.color(QPalette::WindowText), window), 4.5);
        EXPECT_GE(contrast(p.color(QPalette::Text), p.color(QPalette::Base)), 4.5);

        QCheckBox box(QStringLiteral("Pixel-perfect"));
        box.setStyle(&style);
        box.setPalette(p);
        box.resize(box.sizeHint());
        QImage shot(box.size(), QImage::Format_ARGB32);
        shot.fill(window);
        box.render(&shot, QPoint(), QRegion(), QWidget::DrawChildren);
        QStyleOptionButton option;
        option.initFrom(&box);
        const QRect indicator = style.subElementRect(QStyle::SE_CheckBoxIndicator, &option, &box);
        ASSERT_FALSE(indicator.isEmpty());
        double strongest = 0;
        for (int y = indicator.top(); y <= indicator.bottom(); ++y)
            strongest = std::max(strongest, contrast(shot.pixelColor(indicator.left(), y), window));
        EXPECT_GE(strongest, 3.0);
    }
}

} // namespace
