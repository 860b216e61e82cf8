#pragma once

#include "PencilTool.h"

// The pencil painting fully transparent pixels, with the same brush, symmetry and clip.
class EraserTool : public PencilTool {
protected:
    PixelColor color(ToolModifiers modifiers, const ToolHost& editor) const override;
    QString actionName() const override;
};
