#include "PixelDocument.h"

#include "DocumentUndoCommands.h"
#include "UndoMemory.h"

#include <algorithm>
#include <vector>

PixelDocument::PixelDocument(Sprite sprite, QObject* parent)
    : QObject(parent), content(std::move(sprite)), budget(UndoMemory::defaultBudget()) {}

void PixelDocument::setPromptsForSize(bool prompts) {
    if (asksForSize == prompts)
        return;
    asksForSize = prompts;
    emit promptsForSizeChanged(asksForSize);
}

void PixelDocument::setHasUnsavedChanges(bool value) {
    if (unsaved == value)
        return;
    unsaved = value;
    emit hasUnsavedChangesChanged(unsaved);
}

void PixelDocument::countChange() {
    ++revisionCount;
    emit revisionChanged(revisionCount);
    setHasUnsavedChanges(true);
}

void PixelDocument::notifyContentChanged(std::optional<PixelRect> rect) {
    countChange();
    if (onPixelsChanged)
        onPixelsChanged(rect.value_or(content.bounds()));
    emit changed();
}

void PixelDocument::notifyStructureChanged() {
    countChange();
    if (onStructureChanged)
        onStructureChanged();
    if (onPixelsChanged)
        onPixelsChanged(content.bounds());
    emit changed();
}

void PixelDocument::applyPatchSide(const PixelPatch& patch, bool applyAfter) {
    const qint64 layerIndex = content.layerIndex(patch.layerID);
    if (applyAfter) {
        if (!content.ensureCel(layerIndex, patch.frame))
            return;
        Cel& cel = *content.layers[layerIndex].cels[patch.frame];
        if (patch.celAfter)
            cel = *patch.celAfter;
        else
            cel.replace(patch.runs, patch.after);
        return;
    }
    auto& celSlots = content.layers[layerIndex].cels;
    if (patch.frame < 0 || patch.frame >= celSlots.size())
        return;
    if (patch.createdCel)
        celSlots[patch.frame].reset();
    else if (celSlots[patch.frame] && patch.celBefore)
        *celSlots[patch.frame] = *patch.celBefore;
    else if (celSlots[patch.frame])
        celSlots[patch.frame]->replace(patch.runs, patch.before);
}

void PixelDocument::apply(const PixelPatch& patch, QUndoStack* undoStack, bool applyAfter,
                          const QString& actionName) {
    if (content.layerIndex(patch.layerID) < 0)
        return; // the layer is gone: nothing to put back, nothing to register
    applyPatchSide(patch, applyAfter);
    if (undoStack)
        push(undoStack, new PixelPatchCommand(this, patch, applyAfter, actionName));
    notifyContentChanged(patch.rect);
}

void PixelDocument::registerAppliedPatch(const PixelPatch& patch, QUndoStack* undoStack,
                                         const QString& actionName) {
    if (undoStack)
        push(undoStack, new PixelPatchCommand(this, patch, true, actionName));
}

void PixelDocument::registerStructuralUndo(const Sprite& before, const Sprite& after,
                                           const QString& actionName, QUndoStack* undoStack) {
    if (undoStack)
        push(undoStack, new StructuralCommand(this, before, after, actionName));
}

void PixelDocument::performStructuralEdit(const QString& actionName, QUndoStack* undoStack,
                                          const std::function<void(Sprite&)>& edit) {
    const Sprite before = content;
    Sprite after = content;
    edit(after);
    if (after == before)
        return;
    content = after;
    registerStructuralUndo(before, after, actionName, undoStack);
    notifyStructureChanged();
}

void PixelDocument::push(QUndoStack* undoStack, QUndoCommand* step) {
    undoStack->push(step);
    if (undoStack == &undo)
        trimHistory();
}

void PixelDocument::setUndoBudget(qint64 bytes) {
    budget = std::max<qint64>(bytes, 0);
    trimHistory();
}

void PixelDocument::trimHistory() {
    // Not while a group of steps is open: the stack cannot be rebuilt around it.
    if (undo.index() > 0 && !undo.canUndo())
        return;
    const bool oneStepAdded =
        undo.count() == qsizetype(charges.size()) + 1 && undo.index() == undo.count();
    const int from = oneStepAdded ? UndoMemory::unsettledFrom(undo) : 0;
    std::vector<qint64> recent = UndoMemory::stepCharges(undo, content, from);
    charges.resize(size_t(from));
    charges.insert(charges.end(), recent.begin(), recent.end());
    const int drop = UndoMemory::stepsToDrop(charges, undo.index(), budget);
    if (drop == 0)
        return;
    charges.erase(charges.begin(), charges.begin() + drop);
    // The stack can only lose its oldest steps by being rebuilt from copies of the others.
    std::vector<QUndoCommand*> kept;
    for (int i = drop; i < undo.count(); ++i)
        kept.push_back(UndoMemory::copyStep(*undo.command(i)));
    const int index = undo.index() - drop;
    replaying = true;
    undo.clear();
    for (QUndoCommand* step : kept)
        undo.push(step);
    undo.setIndex(index);
    replaying = false;
}

void PixelDocument::restoreSprite(const Sprite& sprite) {
    content = sprite;
    notifyStructureChanged();
}

PixelDocument::Snapshot PixelDocument::snapshotForSaving() {
    if (willSnapshot)
        willSnapshot();
    return {content, revisionCount};
}

void PixelDocument::markSaved(qint64 savedRevision) {
    QMetaObject::invokeMethod(
        this,
        [this, savedRevision] {
            if (revisionCount != savedRevision || !unsaved)
                return;
            setHasUnsavedChanges(false);
            emit changed();
        },
        Qt::QueuedConnection);
}
