#pragma once

#include "PixelPoint.h"

#include <QObject>
#include <QSizeF>
#include <functional>
#include <optional>

// What one document window shows and which of its sheets are up: zoom, pan, the pixel under
// the pointer, the grid toggle, the timeline, the export sheet and text editing. Nothing here
// changes the sprite.
class EditorViewState : public QObject {
    Q_OBJECT
    Q_PROPERTY(double zoom READ zoom WRITE setZoomFactor NOTIFY zoomChanged)
    Q_PROPERTY(QSizeF panOffset READ panOffset WRITE setPanOffset NOTIFY panOffsetChanged)
    Q_PROPERTY(std::optional<PixelPoint> cursorPixel READ cursorPixel WRITE setCursorPixel NOTIFY
                   cursorPixelChanged)
    Q_PROPERTY(
        bool showPixelGrid READ showPixelGrid WRITE setShowPixelGrid NOTIFY showPixelGridChanged)
    Q_PROPERTY(bool exportSheetPresented READ isExportSheetPresented WRITE setExportSheetPresented
                   NOTIFY exportSheetPresentedChanged)
    Q_PROPERTY(bool timelinePresented READ isTimelinePresented WRITE setTimelinePresented NOTIFY
                   timelinePresentedChanged)
    Q_PROPERTY(bool editingText READ isEditingText WRITE setEditingText NOTIFY editingTextChanged)
    Q_PROPERTY(qint64 clipboardGeneration READ clipboardGeneration WRITE setClipboardGeneration
                   NOTIFY clipboardGenerationChanged)

public:
    enum class ZoomIntent { zoomIn, zoomOut, actualSize, fit, center };

    using QObject::QObject;

    double zoom() const { return m_zoom; }
    void setZoomFactor(double zoom);
    // The menu zoom commands: through the canvas when one is attached (anchored on the
    // pointer), else straight to the next step or the clamped value.
    void zoomIn();
    void zoomOut();
    void setZoom(double zoom);
    // The canvas's zoom handler; without one the zoom commands change the factor directly.
    std::function<void(ZoomIntent)> performZoom;
    // Fits the canvas to the window when a canvas listens.
    void requestFit();

    QSizeF panOffset() const { return m_panOffset; }
    void setPanOffset(QSizeF offset);
    std::optional<PixelPoint> cursorPixel() const { return m_cursorPixel; }
    void setCursorPixel(std::optional<PixelPoint> pixel);
    bool showPixelGrid() const { return m_showPixelGrid; }
    void setShowPixelGrid(bool show);
    bool isExportSheetPresented() const { return m_exportSheetPresented; }
    void setExportSheetPresented(bool presented);
    bool isTimelinePresented() const { return m_timelinePresented; }
    void setTimelinePresented(bool presented);
    bool isEditingText() const { return m_editingText; }
    void setEditingText(bool editing);
    // Grows with every copy of this window's, so that paste commands re-check the clipboard.
    qint64 clipboardGeneration() const { return m_clipboardGeneration; }
    void setClipboardGeneration(qint64 generation);

signals:
    void zoomChanged(double zoom);
    void panOffsetChanged(QSizeF offset);
    void cursorPixelChanged(std::optional<PixelPoint> pixel);
    void showPixelGridChanged(bool show);
    void exportSheetPresentedChanged(bool presented);
    void timelinePresentedChanged(bool presented);
    void editingTextChanged(bool editing);
    void clipboardGenerationChanged(qint64 generation);

private:
    double m_zoom = 8.0;
    QSizeF m_panOffset{0, 0};
    std::optional<PixelPoint> m_cursorPixel;
    bool m_showPixelGrid = true;
    bool m_exportSheetPresented = false;
    bool m_timelinePresented = false;
    bool m_editingText = false;
    qint64 m_clipboardGeneration = 0;
};
