#pragma once

#include <QProxyStyle>

// The platform style, with the boxes of check boxes and radio buttons outlined in the
// secondary text colour. The usual outline is a shade darker than the window, which a dark
// window swallows, leaving the box barely visible.
class OutlinedIndicatorStyle : public QProxyStyle {
    Q_OBJECT

public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
};
