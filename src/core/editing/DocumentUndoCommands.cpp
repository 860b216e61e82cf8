#include "DocumentUndoCommands.h"

#include "PixelDocument.h"

PixelPatchCommand::PixelPatchCommand(PixelDocument* document, PixelPatch patch, bool appliedAfter,
                                     const QString& actionName)
    : QUndoCommand(actionName), document(document), record(std::move(patch)),
      appliedAfter(appliedAfter) {}

void PixelPatchCommand::undo() {
    if (document)
        document->apply(record, nullptr, !appliedAfter, text());
}

void PixelPatchCommand::redo() {
    if (std::exchange(alreadyApplied, false))
        return;
    if (document)
        document->apply(record, nullptr, appliedAfter, text());
}

StructuralCommand::StructuralCommand(PixelDocument* document, Sprite before, Sprite after,
                                     const QString& actionName)
    : QUndoCommand(actionName), document(document), before(std::move(before)),
      after(std::move(after)) {}

void StructuralCommand::undo() {
    if (document)
        document->restoreSprite(before);
}

void StructuralCommand::redo() {
    if (std::exchange(alreadyApplied, false))
        return;
    if (document)
        document->restoreSprite(after);
}
