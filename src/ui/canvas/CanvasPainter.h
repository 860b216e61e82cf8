#pragma once

#include "PixelRect.h"
#include "PixelSpans.h"
#include "SymmetryMode.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QRegion>
#include <optional>

// Everything the canvas shows, in view points, gathered by the view for one paint pass.
struct CanvasScene {
    struct Colors {
        QColor background;        // around the canvas
        QColor controlBackground; // behind transparent pixels when the pattern is off
        QColor label;             // grid lines
        QColor separator;         // the canvas border
        bool darkAppearance = false;
    };
    struct Floating {
        QImage image;
        QRectF rect;
    };
    struct Preview {
        PixelSpans pixels;
        QColor color;
    };

    QPointF origin;
    double zoom = 1;
    qint64 spriteWidth = 0;
    qint64 spriteHeight = 0;
    qreal devicePixelRatio = 1;
    Colors colors;
    bool checkerboard = true;
    QImage composite; // premultiplied, sprite-sized; null shows only the background
    std::optional<Floating> floating;
    std::optional<Preview> preview;
    bool grid = false;
    double gridOpacity = 0;
    SymmetryMode symmetry = SymmetryMode::off;
    std::optional<QRectF> selection;
    std::optional<QRectF> cursorTarget; // the footprint the drawn cursor outlines

    QRectF canvasRect() const;
};

// Draws a scene with antialiasing and interpolation off, touching only the exposed region.
// scratch is the caller's device-pixel work image, kept between paints.
namespace CanvasPainter {

void paint(QPainter& painter, const CanvasScene& scene, const QRegion& exposed, QImage& scratch);

} // namespace CanvasPainter
