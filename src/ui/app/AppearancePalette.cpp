#include "AppearancePalette.h"

#include <QStyle>
#include <QStyleFactory>
#include <memory>

namespace AppearancePalette {

// Captions and placeholders use PlaceholderText: it keeps 4.5:1 against the window.
QPalette light() {
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette palette = fusion ? fusion->standardPalette() : QPalette(QColor(239, 239, 239));
    palette.setColor(QPalette::PlaceholderText, QColor(105, 105, 105));
    return palette;
}

QPalette dark() {
    const QColor window(45, 45, 48);
    const QColor base(30, 30, 32);
    const QColor text(230, 230, 230);
    const QColor disabledText(125, 125, 128);
    const QColor secondaryText(150, 150, 154);
    const QColor highlight(66, 133, 244);
    QPalette palette(window);
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, window);
    palette.setColor(QPalette::ToolTipBase, base);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::PlaceholderText, secondaryText);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, QColor(58, 58, 62));
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::BrightText, Qt::white);
    palette.setColor(QPalette::Light, QColor(75, 75, 80));
    palette.setColor(QPalette::Midlight, QColor(62, 62, 66));
    palette.setColor(QPalette::Mid, QColor(40, 40, 42));
    palette.setColor(QPalette::Dark, QColor(25, 25, 27));
    palette.setColor(QPalette::Shadow, Qt::black);
    palette.setColor(QPalette::Highlight, highlight);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Link, highlight.lighter(130));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, disabledText);
    return palette;
}

QPalette forMode(AppearanceMode mode, const QPalette& system) {
    switch (mode) {
    case AppearanceMode::light:
        return light();
    case AppearanceMode::dark:
        return dark();
    case AppearanceMode::system:
        break;
    }
    return system;
}

} // namespace AppearancePalette
