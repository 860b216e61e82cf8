#include "UndoMemory.h"

#include "DocumentUndoCommands.h"

#include <QSet>
#include <algorithm>
#include <unistd.h>
#include <unordered_set>

namespace {

class Accounting {
public:
    explicit Accounting(const Sprite& live) : live(live) {
        for (const Layer& layer : live.layers)
            for (const std::optional<Cel>& cel : layer.cels)
                if (cel && cel->storageIdentity())
                    liveStorage.insert(cel->storageIdentity());
    }

    qint64 charge(const QUndoCommand& step) {
        qint64 bytes = 0;
        if (const auto* patch = dynamic_cast<const PixelPatchCommand*>(&step))
            bytes += charge(patch->patch());
        else if (const auto* structural = dynamic_cast<const StructuralCommand*>(&step))
            bytes += charge(structural->spriteBefore()) + charge(structural->spriteAfter());
        for (int i = 0; i < step.childCount(); ++i)
            bytes += charge(*step.child(i));
        return bytes;
    }

private:
    qint64 charge(const PixelPatch& patch) {
        qint64 bytes = patch.pixelBytes();
        const Cel* twin = live.celPointer(live.layerIndex(patch.layerID), patch.frame);
        for (const std::optional<Cel>& cel : {patch.celBefore, patch.celAfter}) {
            if (cel)
                bytes += charge(*cel, twin);
        }
        return bytes;
    }

    qint64 charge(const Sprite& sprite) {
        qint64 bytes = 0;
        for (const Layer& layer : sprite.layers) {
            const qint64 liveLayer = live.layerIndex(layer.id);
            for (qint64 frame = 0; frame < layer.cels.size(); ++frame) {
                const std::optional<Cel>& cel = layer.cels[frame];
                if (cel)
                    bytes += charge(*cel, live.celPointer(liveLayer, frame));
            }
        }
        return bytes;
    }

    // Bands the document holds at the same place (in twin) are its, not the step's.
    qint64 charge(const Cel& cel, const Cel* twin) {
        if (!cel.storageIdentity() || liveStorage.contains(cel.storageIdentity()))
            return 0; // blank, or wholly the document's
        qint64 bytes = 0;
        cel.forEachBand(
            [&](const void* band, qint64 size) {
                if (counted.insert(band).second)
                    bytes += size;
            },
            twin);
        return bytes;
    }

    const Sprite& live;
    QSet<const void*> liveStorage;
    std::unordered_set<const void*> counted;
};

// Steps that keep whole cels: their charge grows as the document moves away from them.
bool holdsCels(const QUndoCommand& step) {
    if (dynamic_cast<const StructuralCommand*>(&step))
        return true;
    if (const auto* patch = dynamic_cast<const PixelPatchCommand*>(&step);
        patch && patch->patch().celBefore)
        return true;
    for (int i = 0; i < step.childCount(); ++i) {
        if (holdsCels(*step.child(i)))
            return true;
    }
    return false;
}

} // namespace

namespace UndoMemory {

qint64 defaultBudget() {
    constexpr qint64 ceiling = qint64(2) << 30;
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0)
        return ceiling;
    return std::min(ceiling, qint64(pages) * qint64(pageSize) / 4);
}

std::vector<qint64> stepCharges(const QUndoStack& stack, const Sprite& live, int from) {
    from = std::clamp(from, 0, stack.count());
    std::vector<qint64> charges(size_t(stack.count() - from), 0);
    Accounting accounting(live);
    // Newest first: a band two steps share is charged to the newer one, which outlives it.
    for (int i = stack.count() - 1; i >= from; --i)
        charges[size_t(i - from)] = accounting.charge(*stack.command(i));
    return charges;
}

int unsettledFrom(const QUndoStack& stack) {
    int found = 0;
    for (int i = stack.count() - 1; i >= 0; --i) {
        if (holdsCels(*stack.command(i)) && ++found == 2)
            return i;
    }
    return 0;
}

int stepsToDrop(const std::vector<qint64>& charges, int index, qint64 budget) {
    qint64 total = 0;
    for (qint64 charge : charges)
        total += charge;
    int dropped = 0;
    while (total > budget && dropped < index - 1) {
        total -= charges[size_t(dropped)];
        ++dropped;
    }
    return dropped;
}

QUndoCommand* copyStep(const QUndoCommand& step, QUndoCommand* parent) {
    if (const auto* patch = dynamic_cast<const PixelPatchCommand*>(&step))
        return patch->copy(parent);
    if (const auto* structural = dynamic_cast<const StructuralCommand*>(&step))
        return structural->copy(parent);
    auto* group = new QUndoCommand(step.text(), parent);
    for (int i = 0; i < step.childCount(); ++i)
        copyStep(*step.child(i), group);
    return group;
}

} // namespace UndoMemory
