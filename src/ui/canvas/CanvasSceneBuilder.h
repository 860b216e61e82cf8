#pragma once

#include "CanvasComposite.h"
#include "CanvasPainter.h"
#include "EditorState.h"

#include <QPalette>
#include <QRegion>
#include <optional>

// What the canvas shows, gathered from the editor, its document and the settings: the source
// of the composite and the scene the painter draws over it.
namespace CanvasSceneBuilder {

// What only the view knows.
struct ViewFacts {
    QPointF origin;
    qreal devicePixelRatio = 1;
    CanvasScene::Colors colors;
    bool drawsOwnCursor = false;
};

// The ghosts the settings ask for; none while playing or with fewer than two frames.
std::optional<OnionSkin> activeOnionSkin(const EditorState& editor);
CanvasComposite::Source compositeSource(const EditorState& editor);
std::optional<QRectF> selectionRect(const EditorState& editor, QPointF origin);
// The view rectangle of the pixels the next press would paint, under the pointer.
std::optional<QRectF> cursorTarget(const EditorState& editor, QPointF origin);
CanvasScene::Colors colors(const QPalette& palette);
CanvasScene scene(const EditorState& editor, const QImage& composite, const ViewFacts& view);
// The view area an outline around rect may touch; its inside is left alone.
QRegion outlineRegion(const QRectF& rect, const QRect& view);

} // namespace CanvasSceneBuilder
