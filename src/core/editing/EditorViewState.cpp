#include "EditorViewState.h"

#include "CanvasGeometry.h"
#include "ObservedField.h"

#include <cmath>

void EditorViewState::setZoomFactor(double zoom) {
    assignObserved(this, m_zoom, zoom, &EditorViewState::zoomChanged);
}

void EditorViewState::zoomIn() {
    if (performZoom)
        performZoom(ZoomIntent::zoomIn);
    else
        setZoomFactor(CanvasGeometry::stepUp(m_zoom));
}

void EditorViewState::zoomOut() {
    if (performZoom)
        performZoom(ZoomIntent::zoomOut);
    else
        setZoomFactor(CanvasGeometry::stepDown(m_zoom));
}

void EditorViewState::setZoom(double zoom) {
    if (std::isnan(zoom))
        return;
    if (zoom == 1 && performZoom)
        performZoom(ZoomIntent::actualSize);
    else
        setZoomFactor(CanvasGeometry::clampedZoom(zoom));
}

void EditorViewState::requestFit() {
    if (performZoom)
        performZoom(ZoomIntent::fit);
}

void EditorViewState::setPanOffset(QSizeF offset) {
    assignObserved(this, m_panOffset, offset, &EditorViewState::panOffsetChanged);
}

void EditorViewState::setCursorPixel(std::optional<PixelPoint> pixel) {
    assignObserved(this, m_cursorPixel, pixel, &EditorViewState::cursorPixelChanged);
}

void EditorViewState::setShowPixelGrid(bool show) {
    assignObserved(this, m_showPixelGrid, show, &EditorViewState::showPixelGridChanged);
}

void EditorViewState::setExportSheetPresented(bool presented) {
    assignObserved(this, m_exportSheetPresented, presented,
                   &EditorViewState::exportSheetPresentedChanged);
}

void EditorViewState::setTimelinePresented(bool presented) {
    assignObserved(this, m_timelinePresented, presented,
                   &EditorViewState::timelinePresentedChanged);
}

void EditorViewState::setEditingText(bool editing) {
    assignObserved(this, m_editingText, editing, &EditorViewState::editingTextChanged);
}

void EditorViewState::setClipboardGeneration(qint64 generation) {
    assignObserved(this, m_clipboardGeneration, generation,
                   &EditorViewState::clipboardGenerationChanged);
}
