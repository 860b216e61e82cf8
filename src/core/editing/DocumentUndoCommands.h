#pragma once

#include "PixelPatch.h"
#include "Sprite.h"

#include <QPointer>
#include <QUndoCommand>

class PixelDocument;

// A pixel step. Pushed after its change is already in the sprite, so the first redo is skipped.
class PixelPatchCommand : public QUndoCommand {
public:
    PixelPatchCommand(PixelDocument* document, PixelPatch patch, bool appliedAfter,
                      const QString& actionName);
    void undo() override;
    void redo() override;
    const PixelPatch& patch() const { return record; }

private:
    QPointer<PixelDocument> document;
    PixelPatch record;
    bool appliedAfter;
    bool alreadyApplied = true;
};

// A structural step: the whole sprite before and after.
class StructuralCommand : public QUndoCommand {
public:
    StructuralCommand(PixelDocument* document, Sprite before, Sprite after,
                      const QString& actionName);
    void undo() override;
    void redo() override;

private:
    QPointer<PixelDocument> document;
    Sprite before;
    Sprite after;
    bool alreadyApplied = true;
};
