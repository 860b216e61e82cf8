#pragma once

#include "Cel.h"
#include "PixelColor.h"
#include "PixelPoint.h"
#include "PixelRect.h"
#include "SymmetryMode.h"
#include "ToolPreview.h"

#include <QList>
#include <QString>
#include <QUuid>
#include <optional>

struct Sprite;

// The editor as a tool sees it: what it may read (sprite, colours, brush, selection) and the
// stroke pipeline through which it writes. Tools never reach the document or the undo stack.
class ToolHost {
public:
    virtual const Sprite& sprite() const = 0;
    virtual PixelColor primaryColor() const = 0;
    virtual PixelColor secondaryColor() const = 0;
    virtual qint64 brushSize() const = 0;
    virtual bool pixelPerfect() const = 0;
    virtual bool shapeFilled() const = 0;
    virtual SymmetryMode symmetry() const = 0;
    virtual std::optional<PixelRect> selection() const = 0;
    virtual void setSelection(std::optional<PixelRect> rect) = 0;
    virtual void pickColor(PixelPoint at, bool intoSecondary) = 0;

    virtual void setPreview(std::optional<ToolPreview> preview) = 0;
    virtual void clearPreview() = 0;
    // Asks the canvas to redraw the rectangle, or everything.
    virtual void invalidate(std::optional<PixelRect> rect = std::nullopt) = 0;

    // The stroke pipeline: beginStroke, any writes, then endStroke or cancelStroke.
    virtual void beginStroke() = 0;
    // One pixel and its mirror images, clipped to the canvas and the selection.
    virtual void plot(qint64 x, qint64 y, PixelColor color) = 0;
    // The brush square (or the given side) at a point, mirrored.
    virtual void stamp(PixelPoint at, PixelColor color, std::optional<qint64> size = {}) = 0;
    // Stamps the brush at every pixel of the set, mirrored: the same pixels as one stamp per
    // point, worked out by spans.
    virtual void stampSpans(const PixelSpans& pixels, PixelColor color) = 0;
    virtual void writePixel(qint64 layerIndex, qint64 x, qint64 y, PixelColor color) = 0;
    // Puts back what the pixel held when the stroke began.
    virtual void revert(qint64 x, qint64 y) = 0;
    // The open stroke's cel, for tools that write a whole region in place; they report what
    // they changed through markDirty.
    virtual Cel* strokeCel() = 0;
    virtual void markDirty(const PixelRect& rect) = 0;
    virtual void endStroke(const QString& actionName, bool keepUnchanged = false) = 0;
    virtual void cancelStroke() = 0;
    virtual const std::optional<Cel>& strokeSnapshot() const = 0;
    virtual std::optional<QUuid> strokeLayerID() const = 0;

    // Moving the selected pixels, or the whole layer, as one stroke.
    virtual void beginContentDrag() = 0;
    virtual void updateContentDrag(qint64 dx, qint64 dy) = 0;
    virtual void endContentDrag() = 0;
    virtual void cancelContentDrag() = 0;

protected:
    ~ToolHost() = default;
};
