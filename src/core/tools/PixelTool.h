#pragma once

#include "ToolModifiers.h"
#include "PixelColor.h"
#include "PixelPoint.h"

#include <QCoreApplication>

class ToolHost;

// A tool: a long-lived object that keeps its own gesture state between pointer events and
// paints only through the editor's stroke pipeline.
class PixelTool {
    Q_DECLARE_TR_FUNCTIONS(PixelTool)

public:
    virtual ~PixelTool() = default;

    virtual void pointerDown(PixelPoint at, ToolModifiers modifiers, ToolHost& editor) = 0;
    virtual void pointerMoved(PixelPoint to, ToolModifiers modifiers, ToolHost& editor) = 0;
    virtual void pointerUp(PixelPoint at, ToolModifiers modifiers, ToolHost& editor) = 0;
    // Takes back the open stroke and any preview.
    virtual void cancel(ToolHost& editor);

protected:
    // Whether there is an active layer and it is shown: painting tools ignore presses otherwise.
    static bool canPaint(const ToolHost& editor);
    // The secondary colour for the right button, the primary one otherwise.
    static PixelColor paintColor(ToolModifiers modifiers, const ToolHost& editor);
};
