#include "FillTool.h"

#include "PixelBlocks.h"
#include "editing/EditorState.h"

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

void FillTool::pointerDown(PixelPoint at, ToolModifiers modifiers, EditorState& editor) {
    if (!canPaint(editor))
        return;
    const Sprite& sprite = editor.document()->sprite();
    const auto selection = editor.selection();
    const PixelRect bounds = selection ? selection->intersection(sprite.bounds()) : sprite.bounds();
    if (!bounds.contains(at))
        return;
    const Cel* cel = sprite.celPointer(*sprite.activeLayerIndex(), sprite.activeFrameIndex);
    QList<quint32> pixels = cel ? cel->pixels : QList<quint32>(sprite.width * sprite.height, 0u);
    if (pixels.size() < sprite.width * sprite.height)
        return; // a cel that does not cover the canvas cannot be flooded by canvas rows
    const PixelColor replacement = paintColor(modifiers, editor);
    if (pixels.constData()[at.y * sprite.width + at.x] == replacement.raw)
        return;
    const QList<PixelRect> runs = flood(pixels, sprite.width, bounds, at, replacement.raw);
    editor.beginStroke();
    paint(runs, replacement, editor);
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

void FillTool::paint(const QList<PixelRect>& runs, PixelColor color, EditorState& editor) {
    const auto layer = editor.document()->sprite().activeLayerIndex();
    if (editor.symmetry() == SymmetryMode::off) {
        // Every run lies inside the canvas and the selection, where plot is a plain write.
        for (const PixelRect& run : runs)
            PixelBlocks::fill(editor, *layer, run, color);
        return;
    }
    for (const PixelRect& run : runs)
        for (qint64 x = run.x; x < run.right(); ++x)
            editor.plot(x, run.y, color);
}
