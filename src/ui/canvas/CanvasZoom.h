#pragma once

#include "EditorViewState.h"
#include "PixelDocument.h"

#include <QPointF>
#include <QSizeF>
#include <optional>

class QWheelEvent;

// Zoom and pan of one canvas of a given size: steps that keep the point under the pointer in
// place, fit, and what a wheel turn or a pinch does. It changes only the view state.
class CanvasZoom {
public:
    CanvasZoom(EditorViewState& view, const PixelDocument& document)
        : view(view), document(document) {}

    // Clamped to the zoom range; with a focus the canvas point under it stays under it.
    // False when the zoom stays as it was.
    bool setZoom(double zoom, std::optional<QPointF> focus, QSizeF bounds);
    // The largest zoom step that shows the whole sprite with a margin, centred.
    void fit(QSizeF bounds);
    void perform(EditorViewState::ZoomIntent intent, QPointF focus, QSizeF bounds);
    // Zooms or pans as the settings say a wheel turn or touchpad scroll should.
    void scroll(const QWheelEvent& event, QSizeF bounds);
    void pinch(double magnification, QPointF focus, QSizeF bounds);
    void panBy(QPointF delta);

private:
    EditorViewState& view;
    const PixelDocument& document;
};
