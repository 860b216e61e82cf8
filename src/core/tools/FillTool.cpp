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
    if (cel && cel->pixels.size() < sprite.width * sprite.height)
        return; // a cel that does not cover the canvas cannot be flooded by canvas rows
    const PixelColor replacement = paintColor(modifiers, editor);
    if ((cel ? cel->pixel(at.x, at.y) : 0u) == replacement.raw) // an empty slot is transparent
        return;
    editor.beginStroke(); // makes the cel when the slot was empty
    QList<quint32>* celWords = editor.strokeCelWords();
    if (!celWords)
        return; // no frame to paint in
    QList<quint32>& words = *celWords;
    if (editor.symmetry() == SymmetryMode::off) {
        // The changed pixels are exactly the flood's, all inside the canvas and the selection:
        // the cel itself is flooded, its stroke snapshot keeping what was there.
        PixelRect changed;
        for (const PixelRect& run : flood(words, sprite.width, bounds, at, replacement.raw))
            changed = changed.unionWith(run);
        if (!changed.isEmpty())
            editor.markDirty(changed);
    } else {
        // Flooded on a copy first: images painted while flooding would wall the flood in.
        QList<quint32> copy = words;
        paintMirrored(flood(copy, sprite.width, bounds, at, replacement.raw), replacement, editor);
    }
    editor.endStroke(tr("Fill"));
}

QList<PixelRect> FillTool::flood(QList<quint32>& pixels, qint64 width, const PixelRect& bounds,
                                 PixelPoint seed, quint32 replacement) {
    quint32* words = pixels.data();
    const quint32 target = words[seed.y * width + seed.x];
    QList<PixelRect> runs;
    if (target == replacement)
        return runs;
    std::vector<PixelPoint> seeds{seed};
    while (!seeds.empty()) {
        const PixelPoint point = seeds.back();
        seeds.pop_back();
        quint32* row = words + point.y * width;
        qint64 x = point.x;
        while (x > bounds.x && row[x - 1] == target)
            --x;
        const qint64 left = x;
        const bool hasAbove = point.y - 1 >= bounds.y;
        const bool hasBelow = point.y + 1 < bounds.bottom();
        RowScan above, below;
        for (; x < bounds.right() && row[x] == target; ++x) {
            row[x] = replacement;
            if (hasAbove)
                above.visit(row - width, x, point.y - 1, target, seeds);
            if (hasBelow)
                below.visit(row + width, x, point.y + 1, target, seeds);
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
