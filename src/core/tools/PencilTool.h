#pragma once

#include "PixelTool.h"

#include <QList>
#include <QString>
#include <optional>

// Freehand drawing with the brush; with pixel-perfect at 1 px it drops the corner pixel where
// the line turns, so the stroke stays one pixel thick.
class PencilTool : public PixelTool {
public:
    void pointerDown(PixelPoint at, ToolModifiers modifiers, ToolHost& editor) override;
    void pointerMoved(PixelPoint to, ToolModifiers modifiers, ToolHost& editor) override;
    void pointerUp(PixelPoint at, ToolModifiers modifiers, ToolHost& editor) final;

protected:
    virtual void draw(const QList<PixelPoint>& points, PixelColor color, ToolHost& editor);
    virtual PixelColor color(ToolModifiers modifiers, const ToolHost& editor) const;
    virtual QString actionName() const;

private:
    void drawPixelPerfect(PixelPoint point, PixelColor color, ToolHost& editor);
    // Puts the corner and its mirror images back to what they were when the stroke began.
    void restoreCorner(PixelPoint corner, ToolHost& editor);

    std::optional<PixelPoint> last; // the last pixel the stroke reached; absent when idle
    QList<PixelPoint> trail;        // the kept pixels the corner test still looks at
};
