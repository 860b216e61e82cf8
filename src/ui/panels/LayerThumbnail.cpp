#include "LayerThumbnail.h"

#include "CheckerboardBackground.h"
#include "PixelRenderer.h"

#include <QPainter>
#include <QPainterPath>

LayerThumbnail::LayerThumbnail(QWidget* parent) : QWidget(parent) {
    setFixedSize(side, side);
}

void LayerThumbnail::setCel(const std::optional<Cel>& cel) {
    if (cel == shown)
        return; // cels share their pixels until written, so an unchanged one compares at once
    shown = cel;
    picture = cel ? PixelRenderer::thumbnail(*cel, side) : QImage();
    update();
}

void LayerThumbnail::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    painter.save();
    painter.setClipPath(shape);
    CheckerboardBackground::paint(painter, rect());
    if (!picture.isNull()) {
        // Centred at its own aspect ratio, pixels kept square and sharp.
        QSize fitted = picture.size().scaled(size(), Qt::KeepAspectRatio);
        const QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2),
                           fitted);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(target, picture);
    }
    painter.restore();
    QColor edge = palette().color(QPalette::WindowText);
    edge.setAlphaF(0.15f);
    painter.setPen(QPen(edge, 1));
    painter.drawPath(shape);
}
