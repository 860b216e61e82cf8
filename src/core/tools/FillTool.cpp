#include "FillTool.h"

#include "Sprite.h"
#include "ToolHost.h"

#include <vector>

namespace {

// Pushes a seed at the first pixel of each run of target pixels along a neighbouring row.
struct RowScan {
    bool inRun = false;

    void visit(const quint32* row, qint64 x, qint64 y, quint32 target,
               std::vector<PixelPoint>& seeds) {
        const bool matches = row[x] == target;
        if (matches && !inRun)
            seeds.push_back({x, y});
        inRun = matches;
    }
};

} // namespace

void FillTool::pointerDown(PixelPoint at, ToolModifiers modifiers, ToolHost& editor) {
    if (!canPaint(editor))
        return;
    const Sprite& sprite = editor.sprite();
    const auto selection = editor.selection();
    const PixelRect bounds = selection ? selection->intersection(sprite.bounds()) : sprite.bounds();
    if (!bounds.contains(at))
        return;
    const qint64 layer = *sprite.activeLayerIndex();
    const Cel* cel = sprite.celPointer(layer, sprite.activeFrameIndex);
    if (cel && (cel->width < sprite.width || cel->height < sprite.height))
        return; // a cel that does not cover the canvas cannot be flooded by canvas rows
    const PixelColor replacement = paintColor(modifiers, editor);
    if ((cel ? cel->pixel(at.x, at.y) : 0u) == replacement.raw) // an empty slot is transparent
        return;
    editor.beginStroke(); // makes the cel when the slot was empty
    Cel* strokeCel = editor.strokeCel();
    if (!strokeCel)
        return; // no frame to paint in
    if (editor.symmetry() == SymmetryMode::off) {
        // The changed pixels are exactly the flood's, all inside the canvas and the selection:
        // the cel itself is flooded, its stroke snapshot keeping what was there.
        PixelRect changed;
        for (const PixelRect& run : flood(*strokeCel, bounds, at, replacement.raw))
            changed = changed.unionWith(run);
        if (!changed.isEmpty())
            editor.markDirty(changed);
    } else {
        // Flooded on a copy first: images painted while flooding would wall the flood in.
        Cel copy = *strokeCel;
        paintMirrored(flood(copy, bounds, at, replacement.raw), replacement, editor);
    }
    editor.endStroke(tr("Fill"));
}

QList<PixelRect> FillTool::flood(Cel& cel, const PixelRect& bounds, PixelPoint seed,
                                 quint32 replacement) {
    const quint32 target = cel.pixel(seed.x, seed.y);
    QList<PixelRect> runs;
    if (target == replacement)
        return runs;
    std::vector<PixelPoint> seeds{seed};
    while (!seeds.empty()) {
        const PixelPoint point = seeds.back();
        seeds.pop_back();
        // The neighbours are read, not written: their bands stay shared with the snapshot.
        quint32* row = cel.mutableRow(point.y);
        const quint32* rowAbove = point.y - 1 >= bounds.y ? cel.row(point.y - 1) : nullptr;
        const quint32* rowBelow = point.y + 1 < bounds.bottom() ? cel.row(point.y + 1) : nullptr;
        qint64 x = point.x;
        while (x > bounds.x && row[x - 1] == target)
            --x;
        const qint64 left = x;
        RowScan above, below;
        for (; x < bounds.right() && row[x] == target; ++x) {
            row[x] = replacement;
            if (rowAbove)
                above.visit(rowAbove, x, point.y - 1, target, seeds);
            if (rowBelow)
                below.visit(rowBelow, x, point.y + 1, target, seeds);
        }
        if (x > left)
            runs.append({left, point.y, x - left, 1});
    }
    return runs;
}

void FillTool::paintMirrored(const QList<PixelRect>& runs, PixelColor color, ToolHost& editor) {
    for (const PixelRect& run : runs)
        for (qint64 x = run.x; x < run.right(); ++x)
            editor.plot(x, run.y, color);
}
