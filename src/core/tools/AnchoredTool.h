#pragma once

#include "PixelSpans.h"
#include "PixelTool.h"

#include <QList>
#include <QString>
#include <optional>

// The gesture shared by the line and shape tools: the press fixes an anchor, the drag shows a
// live preview, and the release stamps the brush on every pixel of the shape as one stroke.
class AnchoredTool : public PixelTool {
public:
    void pointerDown(PixelPoint at, ToolModifiers modifiers, ToolHost& editor) final;
    void pointerMoved(PixelPoint to, ToolModifiers modifiers, ToolHost& editor) final;
    void pointerUp(PixelPoint at, ToolModifiers modifiers, ToolHost& editor) final;
    void cancel(ToolHost& editor) final;

protected:
    // The pixels the gesture stamps, from the anchor to the pointer, read afresh at every move.
    virtual PixelSpans pixels(PixelPoint from, PixelPoint to, ToolModifiers modifiers,
                              const ToolHost& editor) const = 0;
    virtual QString actionName() const = 0;

private:
    std::optional<PixelPoint> anchor;
};
