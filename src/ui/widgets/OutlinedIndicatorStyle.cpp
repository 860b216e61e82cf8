#include "OutlinedIndicatorStyle.h"

#include <QPainter>
#include <QStyleOption>

void OutlinedIndicatorStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                           QPainter* painter, const QWidget* widget) const {
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    const bool box = element == PE_IndicatorCheckBox;
    if (!box && element != PE_IndicatorRadioButton)
        return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, !box);
    painter->setPen(QPen(option->palette.color(QPalette::PlaceholderText), 1));
    painter->setBrush(Qt::NoBrush);
    const QRectF edge = QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5);
    if (box)
        painter->drawRect(edge);
    else
        painter->drawEllipse(edge);
    painter->restore();
}
