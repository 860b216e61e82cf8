#pragma once

#include "AnchoredTool.h"
#include "PixelRect.h"

// A shape fitted to the box dragged out from the press, outlined or filled as the editor's
// shapeFilled says. Its own operations draw a rectangle; subclasses change them.
class ShapeTool : public AnchoredTool {
public:
    // The box from the anchor to the pointer, both included; Shift applies the shape's constraint.
    PixelRect box(PixelPoint from, PixelPoint to, ToolModifiers modifiers) const;
    // The shape's pixels; filled shapes keep only those inside reach.
    PixelSpans shape(PixelPoint from, PixelPoint to, ToolModifiers modifiers, bool filled,
                     const PixelRect& reach) const;

    // The canvas widened by everything that can still paint onto it from outside: the brush
    // footprint and, on a canvas that is not square, diagonal mirror images.
    static PixelRect paintReach(const ToolHost& editor);

protected:
    PixelSpans pixels(PixelPoint from, PixelPoint to, ToolModifiers modifiers,
                      const ToolHost& editor) const final;
    QString actionName() const override;
    virtual PixelPoint constrained(PixelPoint point, PixelPoint anchor) const;
    virtual QList<PixelPoint> outline(const PixelRect& box) const;
    // Filled shapes go by rows straight to spans: never a list of every pixel they cover.
    virtual PixelSpans filled(const PixelRect& box, const PixelRect& reach) const;
};
