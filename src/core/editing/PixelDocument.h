#pragma once

#include "PixelPatch.h"
#include "Sprite.h"

#include <QObject>
#include <QUndoStack>
#include <functional>
#include <vector>

// The one object per open document: owns the sprite, its undo stack and the change counters.
class PixelDocument : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool hasUnsavedChanges READ hasUnsavedChanges NOTIFY hasUnsavedChangesChanged)
    Q_PROPERTY(qint64 revision READ revision NOTIFY revisionChanged)
    Q_PROPERTY(bool promptsForSize READ promptsForSize WRITE setPromptsForSize NOTIFY
                   promptsForSizeChanged)

public:
    explicit PixelDocument(Sprite sprite, QObject* parent = nullptr);

    const Sprite& sprite() const { return content; }
    // Direct access for the stroke pipeline, which writes into the active cel in place;
    // whoever writes must announce it through one of the notify operations.
    Sprite& sprite() { return content; }
    void setSprite(Sprite sprite) { content = std::move(sprite); }

    bool promptsForSize() const { return asksForSize; }
    void setPromptsForSize(bool prompts);
    bool hasUnsavedChanges() const { return unsaved; }
    void setHasUnsavedChanges(bool value);
    qint64 revision() const { return revisionCount; }
    QUndoStack* undoStack() { return &undo; }
    // The memory the undo history may keep; past it the oldest steps are dropped.
    qint64 undoBudget() const { return budget; }
    void setUndoBudget(qint64 bytes);
    // True while the history is rebuilt: its steps then leave the sprite alone.
    bool isReplayingHistory() const { return replaying; }

    std::function<void(PixelRect)> onPixelsChanged;
    std::function<void()> onStructureChanged;
    std::function<void()> willSnapshot;

    void notifyContentChanged(std::optional<PixelRect> rect = std::nullopt);
    void notifyStructureChanged();

    // Puts one side of a patch into the sprite (after when applyAfter) and, with an undo
    // stack, pushes a step that takes it back.
    void apply(const PixelPatch& patch, QUndoStack* undoStack, bool applyAfter,
               const QString& actionName);
    // Pushes the step for a patch whose after side is already in the sprite.
    void registerAppliedPatch(const PixelPatch& patch, QUndoStack* undoStack,
                              const QString& actionName);
    void registerStructuralUndo(const Sprite& before, const Sprite& after,
                                const QString& actionName, QUndoStack* undoStack);
    // Runs edit on a copy of the sprite; only a real change becomes a step and a notification.
    void performStructuralEdit(const QString& actionName, QUndoStack* undoStack,
                               const std::function<void(Sprite&)>& edit);

    struct Snapshot {
        Sprite sprite;
        qint64 revision = 0;
    };
    // Places floating pixels (through willSnapshot) and copies the sprite for a writer.
    Snapshot snapshotForSaving();
    // After a successful write of the snapshot taken at savedRevision: on the next turn of
    // the event loop, clears the unsaved flag unless the document changed since.
    void markSaved(qint64 savedRevision);

    // Replaces the sprite without an undo step (undo and redo of structural steps).
    void restoreSprite(const Sprite& sprite);

signals:
    void changed();
    void hasUnsavedChangesChanged(bool hasUnsavedChanges);
    void revisionChanged(qint64 revision);
    void promptsForSizeChanged(bool promptsForSize);

private:
    void countChange();
    void applyPatchSide(const PixelPatch& patch, bool applyAfter);
    void push(QUndoStack* undoStack, QUndoCommand* step);
    void trimHistory();

    Sprite content;
    QUndoStack undo;
    bool asksForSize = false;
    bool unsaved = false;
    qint64 revisionCount = 0;
    qint64 budget;
    bool replaying = false;
    // The undo steps' charges as last worked out, oldest first; only the unsettled tail is
    // worked out again when one step is added.
    std::vector<qint64> charges;
};
