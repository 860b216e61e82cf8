#pragma once

#include "AnchoredTool.h"
#include "ToolKind.h"

// A straight line from the press to the release; Shift keeps it to 45° steps.
class LineTool : public AnchoredTool {
public:
    static constexpr ToolKind kind = ToolKind::line;

protected:
    PixelSpans pixels(PixelPoint from, PixelPoint to, ToolModifiers modifiers,
                      const ToolHost& editor) const override;
    QString actionName() const override;
};
