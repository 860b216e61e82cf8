#pragma once

#include "Cel.h"
#include "PixelColor.h"
#include "PixelPatch.h"
#include "PixelPoint.h"
#include "PixelRect.h"

#include <QList>
#include <QString>
#include <QUuid>
#include <optional>

class EditorState;

// The one road by which tools write pixels: a stroke opens on the active cel, each write is
// clipped to the canvas and the selection and mirrored, and closing the stroke turns the
// changed rectangle into one undo step.
class StrokePipeline {
public:
    explicit StrokePipeline(EditorState& editor) : editor(editor) {}

    void begin();
    void plot(qint64 x, qint64 y, PixelColor color);
    void write(qint64 x, qint64 y, PixelColor color);
    void stamp(PixelPoint at, PixelColor color, std::optional<qint64> size);
    void writePixel(qint64 layerIndex, qint64 x, qint64 y, PixelColor color);
    void revert(qint64 x, qint64 y);
    void markDirty(const PixelRect& rect);
    // A stroke whose pixels ended as they began leaves no step, unless keepUnchanged (a move
    // that came back to where it started is still the user's move).
    void end(const QString& actionName, bool keepUnchanged);
    void cancel();
    // Drops the stroke without a step: its sprite was replaced.
    void abandon() { close(); }

    bool isOpen() const { return snapshot.has_value(); }
    const std::optional<Cel>& snapshotCel() const { return snapshot; }
    std::optional<QUuid> layerID() const { return m_layerID; }
    qint64 frame() const { return m_frame; }
    bool createdCel() const { return m_createdCel; }
    PixelRect dirtyRect() const { return m_dirtyRect; }
    Cel* cel();

private:
    // Clips to canvas and selection, then mirrors: the shared core of plot and stamp.
    void plotInto(qint64 layerIndex, PixelPoint point, PixelColor color);
    void writeInto(qint64 layerIndex, PixelPoint point, PixelColor color);
    bool insideSelection(PixelPoint point) const;
    std::optional<PixelPatch> patch(bool keepUnchanged) const;
    void close();

    EditorState& editor;
    std::optional<Cel> snapshot; // the cel at stroke begin, sharing every band not written since
    std::optional<QUuid> m_layerID;
    qint64 m_frame = 0;
    bool m_createdCel = false;
    PixelRect m_dirtyRect;
};
