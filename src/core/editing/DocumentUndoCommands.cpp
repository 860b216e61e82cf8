#include "DocumentUndoCommands.h"

#include "PixelDocument.h"

PixelPatchCommand::PixelPatchCommand(PixelDocument* document, PixelPatch patch, bool appliedAfter,
                                     const QString& actionName, QUndoCommand* parent)
    : QUndoCommand(actionName, parent), document(document), record(std::move(patch)),
      appliedAfter(appliedAfter) {}

void PixelPatchCommand::undo() {
    if (document && !document->isReplayingHistory())
        document->apply(record, nullptr, !appliedAfter, text());
}

void PixelPatchCommand::redo() {
    if (std::exchange(alreadyApplied, false))
        return;
    if (document && !document->isReplayingHistory())
        document->apply(record, nullptr, appliedAfter, text());
}

PixelPatchCommand* PixelPatchCommand::copy(QUndoCommand* parent) const {
    return new PixelPatchCommand(document, record, appliedAfter, text(), parent);
}

StructuralCommand::StructuralCommand(PixelDocument* document, Sprite before, Sprite after,
                                     const QString& actionName, QUndoCommand* parent)
    : QUndoCommand(actionName, parent), document(document), before(std::move(before)),
      after(std::move(after)) {}

void StructuralCommand::undo() {
    if (document && !document->isReplayingHistory())
        document->restoreSprite(before);
}

void StructuralCommand::redo() {
    if (std::exchange(alreadyApplied, false))
        return;
    if (document && !document->isReplayingHistory())
        document->restoreSprite(after);
}

StructuralCommand* StructuralCommand::copy(QUndoCommand* parent) const {
    return new StructuralCommand(document, before, after, text(), parent);
}
