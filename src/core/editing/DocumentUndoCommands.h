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
                      const QString& actionName, QUndoCommand* parent = nullptr);
    void undo() override;
    void redo() override;
    const PixelPatch& patch() const { return record; }
    // The same step, to be pushed again without touching the sprite.
    PixelPatchCommand* copy(QUndoCommand* parent) const;

private:
    QPointer<PixelDocument> document;
    PixelPatch record;
    bool appliedAfter;
    bool alreadyApplied = true;
};

// A structural step: the whole sprite before and after. The two share every untouched band
// with each other and with the document, so a step costs what its edit changed.
class StructuralCommand : public QUndoCommand {
public:
    StructuralCommand(PixelDocument* document, Sprite before, Sprite after,
                      const QString& actionName, QUndoCommand* parent = nullptr);
    void undo() override;
    void redo() override;
    const Sprite& spriteBefore() const { return before; }
    const Sprite& spriteAfter() const { return after; }
    StructuralCommand* copy(QUndoCommand* parent) const;

private:
    QPointer<PixelDocument> document;
    Sprite before;
    Sprite after;
    bool alreadyApplied = true;
};
