#pragma once

#include "PixelTool.h"
#include "ToolKind.h"
#include "Cel.h"
#include "PixelRect.h"

#include <QList>

// Floods the touching run of one exact colour: pixels sharing an edge (never only a corner)
// with the pressed one, inside the selection, and their mirror images.
class FillTool : public PixelTool {
public:
    static constexpr ToolKind kind = ToolKind::fill;

    void pointerDown(PixelPoint at, ToolModifiers modifiers, ToolHost& editor) override;
    void pointerMoved(PixelPoint, ToolModifiers, ToolHost&) override {}
    void pointerUp(PixelPoint, ToolModifiers, ToolHost&) override {}

    // The one-row runs a scanline flood from seed fills in the cel within bounds; the cel is
    // changed to show the flood. The target colour is the seed's.
    static QList<PixelRect> flood(Cel& cel, const PixelRect& bounds, PixelPoint seed,
                                  quint32 replacement);

private:
    static void paintMirrored(const QList<PixelRect>& runs, PixelColor color, ToolHost& editor);
};
